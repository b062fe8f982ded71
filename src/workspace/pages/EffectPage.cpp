#include "workspace/pages/EffectPage.h"

#include "workspace/pages/OperationButton.h"

#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>

EffectPage::EffectPage(ImageOperations& operations, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("tsEffect"));
    struct Entry
    {
        const char* name;
        const char* caption;
        OperationId id;
    };
    const Entry entries[] = {
        {"btGray", "モノクロ", OperationId::Mono}, {"btSepia", "セピア", OperationId::Sepia},
        {"btOil", "油絵", OperationId::Oil},       {"btCanvas", "カンバス", OperationId::Canvas},
        {"btLens", "レンズ", OperationId::Lens},   {"btMosaic", "モザイク", OperationId::Mosaic},
        {"btBlur", "ぼかし", OperationId::Blur},   {"btRipple", "波紋", OperationId::Ripple},
        {"btWave", "さざ波", OperationId::Wave},
    };
    auto* group = new QGroupBox(QStringLiteral(" 画像効果 "), this);
    group->setGeometry(4, 4, 209, 200);
    int index = 0;
    for (const Entry& e : entries) {
        const QRect at(10 + (index % 2) * 98, 22 + (index / 2) * 34, 92, 28);
        operationButton(group, e.name, QString::fromUtf8(e.caption), at, operations, e.id);
        ++index;
    }
    auto* note = new QLabel(
        QStringLiteral("※表示画面上をドラッグして範囲を選ぶと、油絵からぼかしまでの効果はその範囲だけにかかります。"),
        this);
    note->setWordWrap(true);
    note->setGeometry(8, 210, 205, 60);
}

#include "moc_EffectPage.cpp"
