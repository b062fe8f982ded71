#include "workspace/pages/TunePage.h"

#include "workspace/pages/OperationButton.h"

#include <QtWidgets/QGroupBox>

TunePage::TunePage(ImageOperations& operations, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("tsTune"));
    auto* brightness = new QGroupBox(QStringLiteral(" 明るさ補整 "), this);
    brightness->setGeometry(4, 4, 209, 60);
    operationButton(brightness, "btDownLi", QStringLiteral("暗く"), {10, 22, 90, 28}, operations, OperationId::Darken);
    operationButton(brightness, "btUpLi", QStringLiteral("明るく"), {108, 22, 90, 28}, operations,
                    OperationId::Brighten);
    auto* quality = new QGroupBox(QStringLiteral(" 画質調整 "), this);
    quality->setGeometry(4, 72, 209, 130);
    operationButton(quality, "btRemoveNoise", QStringLiteral("ノイズを除去"), {10, 22, 189, 28}, operations,
                    OperationId::RemoveNoise);
    operationButton(quality, "btAntiAlias", QStringLiteral("輪郭をなめらかにする"), {10, 56, 189, 28}, operations,
                    OperationId::Smooth);
    operationButton(quality, "btSharp", QStringLiteral("画質をくっきりさせる"), {10, 90, 189, 28}, operations,
                    OperationId::Sharpen);
}

#include "moc_TunePage.cpp"
