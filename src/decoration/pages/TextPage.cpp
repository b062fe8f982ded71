#include "decoration/pages/TextPage.h"

#include "decoration/DrawingLayers.h"
#include "decoration/KeySafeColor.h"
#include "decoration/TextItems.h"
#include "decoration/pages/ColorSwatch.h"
#include "foundation/Prompts.h"
#include "widgets/ImageDisplay.h"
#include "widgets/NumericField.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

#include <cmath>

namespace {

constexpr NumericRule ShadowDistanceRule{1, 50};

} // namespace

TextPage::TextPage(DrawingLayers& layers, Prompts& prompts, QWidget* parent)
    : QWidget(parent), layers_(layers), prompts_(prompts), tool_(layers, [this] { return settings(); })
{
    setObjectName(QStringLiteral("tsText"));
    buildText();
    buildShadow();
    buildColours();
}

QLabel* TextPage::label(const QString& text, QRect geometry)
{
    auto* l = new QLabel(text, this);
    l->setGeometry(geometry);
    return l;
}

QComboBox* TextPage::comboBox(const char* name, const QStringList& items, const QString& initial, QRect geometry)
{
    auto* box = new QComboBox(this);
    box->setObjectName(QLatin1String(name));
    box->setEditable(true); // typed text is accepted, as the boxes always did
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(items);
    box->setCurrentText(initial);
    box->setGeometry(geometry);
    return box;
}

void TextPage::buildText()
{
    label(QStringLiteral("文字入力エリア(改行不可)"), {4, 2, 209, 18});
    edDrawText = new QLineEdit(this);
    edDrawText->setObjectName(QStringLiteral("edDrawText"));
    edDrawText->setGeometry(4, 20, 209, 22);
    label(QStringLiteral("文字列の方向"), {4, 46, 100, 18});
    cbTextDirection =
        comboBox("cbTextDirection", TextItems::directions(), QStringLiteral("左から右(→)"), {4, 64, 102, 22});
    label(QStringLiteral("文字の角度"), {112, 46, 100, 18});
    cbTextAngle = comboBox("cbTextAngle", TextItems::angles(), QStringLiteral("0度"), {112, 64, 101, 22});
    connect(edDrawText, &QLineEdit::textChanged, this, [this](const QString&) { edDrawTextChange(); });
    connect(cbTextAngle, &QComboBox::currentTextChanged, this, [this](const QString&) { edDrawTextChange(); });
}

void TextPage::buildShadow()
{
    cbTextShadow = new QCheckBox(QStringLiteral("文字に影を付ける"), this);
    cbTextShadow->setObjectName(QStringLiteral("cbTextShadow"));
    cbTextShadow->setGeometry(4, 92, 209, 20);
    cbTextShadow->setChecked(true);
    label(QStringLiteral("影の方向"), {4, 114, 100, 18});
    cbShadowPos = comboBox("cbShadowPos", TextItems::shadowPositions(), QStringLiteral("右下"), {4, 132, 102, 22});
    label(QStringLiteral("文字と影の距離"), {112, 114, 101, 18});
    csShadowDistance = new NumericField(ShadowDistanceRule, "csShadowDistance", "udShadowDistance", this);
    csShadowDistance->place({112, 132, 60, 22});
    csShadowDistance->setValue(3);
    connect(cbTextShadow, &QCheckBox::clicked, this, [this](bool) { cbTextShadowClick(); });
    connect(cbShadowPos, &QComboBox::currentTextChanged, this, [this](const QString&) { edDrawTextChange(); });
    connect(csShadowDistance, &QLineEdit::textChanged, this, [this](const QString&) { edDrawTextChange(); });
}

void TextPage::buildColours()
{
    stFontColor = new ColorSwatch("stFontColor", 0xFF000000, this);
    stFontColor->setGeometry(4, 162, 30, 25);
    btChandeFontColor = new QPushButton(QStringLiteral("文字色の変更"), this);
    btChandeFontColor->setObjectName(QStringLiteral("btChandeFontColor"));
    btChandeFontColor->setGeometry(38, 162, 175, 25);
    stShadowColor = new ColorSwatch("stShadowColor", 0xFFC0C0C0, this);
    stShadowColor->setGeometry(4, 192, 30, 25);
    btChandeShadowColor = new QPushButton(QStringLiteral("影色の変更"), this);
    btChandeShadowColor->setObjectName(QStringLiteral("btChandeShadowColor"));
    btChandeShadowColor->setGeometry(38, 192, 175, 25);
    btChandeDrawFonts = new QPushButton(QStringLiteral("フォントの変更"), this);
    btChandeDrawFonts->setObjectName(QStringLiteral("btChandeDrawFonts"));
    btChandeDrawFonts->setGeometry(4, 222, 209, 25);
    lbPreview = label(QStringLiteral("プレビュー(文字列の方向を除く)"), {4, 252, 209, 18});
    lbPreview->setObjectName(QStringLiteral("lbPreview"));
    IkDispText = new ImageDisplay(this);
    IkDispText->setObjectName(QStringLiteral("IkDispText"));
    IkDispText->setGeometry(4, 270, 209, 90);
    IkDispText->setBackColor(Qt::white);
    connect(btChandeFontColor, &QPushButton::clicked, this, [this](bool) { btChandeFontColorClick(); });
    connect(btChandeShadowColor, &QPushButton::clicked, this, [this](bool) { btChandeShadowColorClick(); });
    connect(btChandeDrawFonts, &QPushButton::clicked, this, [this](bool) { btChandeDrawFontsClick(); });
}

TextSettings TextPage::settings() const
{
    TextSettings s;
    s.text = edDrawText->text();
    s.direction = TextItems::direction(cbTextDirection->currentText());
    s.angle = TextItems::angle(cbTextAngle->currentText());
    s.shadow = cbTextShadow->isChecked();
    const int distance =
        std::clamp(csShadowDistance->value(), ShadowDistanceRule.minimum(), ShadowDistanceRule.maximum());
    s.shadowOffset = TextItems::shadowOffset(cbShadowPos->currentText(), distance);
    s.textColor = stFontColor->color();
    s.shadowColor = stShadowColor->color();
    s.font = font_;
    return s;
}

void TextPage::setTextFont(const TextFont& font)
{
    font_ = font;
    edDrawTextChange();
}

void TextPage::edDrawTextChange()
{
    if (edDrawText->text().isEmpty())
        return; // the preview keeps the last text
    IkDispText->setImage(TextTool::renderPreview(layers_.canvasSize(), settings()));
}

void TextPage::btChandeDrawFontsClick()
{
    QFont initial(font_.name);
    initial.setPointSize(font_.size);
    initial.setBold(font_.bold);
    initial.setItalic(font_.italic);
    QColor color = QColor::fromRgb(stFontColor->color());
    const std::optional<QFont> chosen = prompts_.chooseFont(initial, &color);
    if (!chosen)
        return;
    stFontColor->setColor(keySafeColor(color));
    // Underline and strike-out are the dialog's, not the drawing's: they are not kept.
    TextFont f;
    f.name = chosen->family();
    f.size = chosen->pointSize() > 0 ? chosen->pointSize() : int(std::lround(chosen->pixelSize() * 72.0 / 96.0));
    f.bold = chosen->bold();
    f.italic = chosen->italic();
    setTextFont(f);
}

void TextPage::btChandeFontColorClick()
{
    if (const std::optional<QColor> chosen = prompts_.chooseColor(QColor::fromRgb(stFontColor->color()))) {
        stFontColor->setColor(keySafeColor(*chosen));
        edDrawTextChange();
    }
}

void TextPage::btChandeShadowColorClick()
{
    if (const std::optional<QColor> chosen = prompts_.chooseColor(QColor::fromRgb(stShadowColor->color()))) {
        stShadowColor->setColor(keySafeColor(*chosen));
        edDrawTextChange();
    }
}

void TextPage::cbTextShadowClick()
{
    btChandeShadowColor->setEnabled(cbTextShadow->isChecked());
    edDrawTextChange();
}

#include "moc_TextPage.cpp"
