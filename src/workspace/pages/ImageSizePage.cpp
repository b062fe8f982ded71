#include "workspace/pages/ImageSizePage.h"

#include "workspace/pages/OperationButton.h"

#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>

ImageSizePage::ImageSizePage(Workspace& workspace, OperationLog& log, QWidget* parent)
    : QWidget(parent), fits_(workspace, log)
{
    setObjectName(QStringLiteral("tsImageSize"));
    build();
    const auto on = [this](QPushButton* b, auto handler) {
        connect(b, &QPushButton::clicked, this, [handler](bool) { handler(); });
    };
    on(btJustFit, [this] { btJustFitClick(); });
    on(btWJustFit, [this] { btWJustFitClick(); });
    on(btHJustFit, [this] { btHJustFitClick(); });
    on(btXdown, [this] { resizeWorking(-1, 0); });
    on(btXup, [this] { resizeWorking(1, 0); });
    on(btYdown, [this] { resizeWorking(0, -1); });
    on(btYup, [this] { resizeWorking(0, 1); });
    on(btResetSize, [this] { btResetSizeClick(); });
    // The picture moves the way the arrow points, so the offset moves the other way.
    on(btLeft, [this] { moveCanvas(1, 0); });
    on(btRight, [this] { moveCanvas(-1, 0); });
    on(btUp, [this] { moveCanvas(0, 1); });
    on(btDown, [this] { moveCanvas(0, -1); });
}

QPushButton* ImageSizePage::button(QWidget* parent, const char* name, const QString& caption, QRect geometry)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(geometry);
    return b;
}

void ImageSizePage::build()
{
    auto* fits = new QGroupBox(QStringLiteral(" 画像サイズ・ジャストフィット "), this);
    fits->setGeometry(4, 4, 209, 56);
    btWJustFit = button(fits, "btWJustFit", QStringLiteral("横"), {8, 22, 60, 26});
    btHJustFit = button(fits, "btHJustFit", QStringLiteral("縦"), {74, 22, 60, 26});
    btJustFit = button(fits, "btJustFit", QStringLiteral("同時"), {140, 22, 60, 26});

    auto* nudges = new QGroupBox(QStringLiteral("サイズ・位置の微調整"), this);
    nudges->setGeometry(4, 66, 209, 176);
    (new QLabel(QStringLiteral("サイズの微調整"), nudges))->move(8, 20);
    btYdown = button(nudges, "btYdown", QStringLiteral("↑"), {38, 38, 28, 24});
    btXdown = button(nudges, "btXdown", QStringLiteral("←"), {8, 64, 28, 24});
    btXup = button(nudges, "btXup", QStringLiteral("→"), {68, 64, 28, 24});
    btYup = button(nudges, "btYup", QStringLiteral("↓"), {38, 90, 28, 24});
    (new QLabel(QStringLiteral("位置の微調整"), nudges))->move(112, 20);
    btUp = button(nudges, "btUp", QStringLiteral("↑"), {142, 38, 28, 24});
    btLeft = button(nudges, "btLeft", QStringLiteral("←"), {112, 64, 28, 24});
    btRight = button(nudges, "btRight", QStringLiteral("→"), {172, 64, 28, 24});
    btDown = button(nudges, "btDown", QStringLiteral("↓"), {142, 90, 28, 24});
    btResetSize = button(nudges, "btResetSize", QStringLiteral("元の縦横比に戻す"), {8, 126, 193, 28});
    btResetSize->setEnabled(false);

    rotationGroup = new QGroupBox(QStringLiteral(" 画像の回転・反転 "), this);
    rotationGroup->setObjectName(QStringLiteral("gbRotation"));
    rotationGroup->setGeometry(4, 248, 209, 90);
}

void ImageSizePage::addRotationButtons(ImageOperations& operations)
{
    QWidget* group = rotationGroup;
    operationButton(group, "btRotLeft", QStringLiteral("左回転"), {10, 22, 92, 28}, operations,
                    OperationId::RotateLeft);
    operationButton(group, "btRotRight", QStringLiteral("右回転"), {108, 22, 92, 28}, operations,
                    OperationId::RotateRight);
    operationButton(group, "btUpDown", QStringLiteral("上下反転"), {10, 54, 92, 28}, operations,
                    OperationId::FlipVertical);
    operationButton(group, "btLR", QStringLiteral("左右反転"), {108, 54, 92, 28}, operations,
                    OperationId::FlipHorizontal);
}

void ImageSizePage::btJustFitClick()
{
    btResetSize->setEnabled(fits_.fitBoth());
}

void ImageSizePage::btWJustFitClick()
{
    btResetSize->setEnabled(fits_.fitWidth());
}

void ImageSizePage::btHJustFitClick()
{
    btResetSize->setEnabled(fits_.fitHeight());
}

void ImageSizePage::resizeWorking(int dx, int dy)
{
    btResetSize->setEnabled(fits_.resizeWorking(dx, dy));
}

void ImageSizePage::moveCanvas(int dx, int dy)
{
    fits_.moveCanvas(dx, dy);
}

void ImageSizePage::btResetSizeClick()
{
    btResetSize->setEnabled(fits_.restoreAspect(subWindowSize_ ? subWindowSize_() : QSize()));
}

#include "moc_ImageSizePage.cpp"
