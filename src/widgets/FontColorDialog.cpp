#include "widgets/FontColorDialog.h"

#include <QtGui/QPainter>
#include <QtGui/QPixmap>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QFontDialog>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLayout>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

namespace {

struct NamedColor
{
    QRgb rgb;
    const char16_t* name;
};

const NamedColor namedColors[] = {
    {0x000000, u"黒"},   {0x800000, u"茶"},   {0x008000, u"緑"},   {0x808000, u"オリーブ"},
    {0x000080, u"紺"},   {0x800080, u"紫"},   {0x008080, u"青緑"}, {0x808080, u"灰色"},
    {0xC0C0C0, u"銀色"}, {0xFF0000, u"赤"},   {0x00FF00, u"黄緑"}, {0xFFFF00, u"黄"},
    {0x0000FF, u"青"},   {0xFF00FF, u"赤紫"}, {0x00FFFF, u"水色"}, {0xFFFFFF, u"白"},
};

QIcon swatch(const QColor& color)
{
    QPixmap picture(24, 12);
    picture.fill(color);
    QPainter painter(&picture);
    painter.setPen(Qt::black);
    painter.drawRect(picture.rect().adjusted(0, 0, -1, -1));
    return QIcon(picture);
}

} // namespace

FontColorDialog::FontColorDialog(const QFont& font, const QColor& color, QWidget* parent)
    : QDialog(parent), cbColor(new QComboBox(this)), fonts_(new QFontDialog(font, this))
{
    setWindowTitle(QStringLiteral("フォント"));
    // The standard font chooser, shown inside this dialog, which adds the colour and the buttons.
    fonts_->setWindowFlags(Qt::Widget);
    fonts_->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    fonts_->setSizeGripEnabled(false);
    fonts_->layout()->setContentsMargins(0, 0, 0, 0); // lined up with the colour row below
    cbColor->setObjectName(QStringLiteral("cbColor"));
    for (const NamedColor& c : namedColors)
        cbColor->addItem(swatch(QColor::fromRgb(c.rgb)), QString::fromUtf16(c.name), QColor::fromRgb(c.rgb));
    setColor(color);

    auto* colorRow = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("色(&C):"), this);
    label->setBuddy(cbColor);
    colorRow->addWidget(label);
    colorRow->addWidget(cbColor);
    colorRow->addStretch();
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fonts_);
    layout->addLayout(colorRow);
    layout->addWidget(buttons);
}

QFont FontColorDialog::font() const
{
    return fonts_->currentFont();
}

QColor FontColorDialog::color() const
{
    return cbColor->currentData().value<QColor>();
}

void FontColorDialog::setColor(const QColor& color)
{
    const QColor opaque = QColor::fromRgb(color.rgb());
    int index = cbColor->findData(opaque);
    if (index < 0) {
        const int custom = int(std::size(namedColors));
        if (cbColor->count() == custom)
            cbColor->addItem(QString(), QColor());
        cbColor->setItemIcon(custom, swatch(opaque));
        cbColor->setItemText(custom, QStringLiteral("カスタム"));
        cbColor->setItemData(custom, opaque);
        index = custom;
    }
    cbColor->setCurrentIndex(index);
}

#include "moc_FontColorDialog.cpp"
