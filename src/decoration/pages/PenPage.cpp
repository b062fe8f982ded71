#include "decoration/pages/PenPage.h"

#include "decoration/KeySafeColor.h"
#include "decoration/pages/ColorSwatch.h"
#include "foundation/Prompts.h"
#include "widgets/NumericField.h"

#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QToolButton>

namespace {

constexpr NumericRule LineWidthRule{1, 50};

} // namespace

PenPage::PenPage(DrawingLayers& layers, Prompts& prompts, QWidget* parent)
    : QWidget(parent), prompts_(prompts), tool_(layers, [this] { return settings(); })
{
    setObjectName(QStringLiteral("tsPen"));
    buildModes();
    buildPen();
}

QToolButton* PenPage::modeButton(const char* name, const QString& hint, int index)
{
    auto* b = new QToolButton(this);
    b->setObjectName(QLatin1String(name));
    b->setText(hint);
    b->setToolTip(hint);
    b->setCheckable(true);
    b->setGeometry(4 + (index % 2) * 106, 4 + (index / 2) * 30, 102, 26);
    return b;
}

void PenPage::buildModes()
{
    sbDrawDot = modeButton("sbDrawDot", QStringLiteral("点を描く"), 0);
    sbDrawLine = modeButton("sbDrawLine", QStringLiteral("連続直線を描く"), 1);
    sbDrawRect = modeButton("sbDrawRect", QStringLiteral("四角を描く"), 2);
    sbDrawCircle = modeButton("sbDrawCircle", QStringLiteral("円を描く"), 3);
    auto* group = new QButtonGroup(this);
    group->setExclusive(true);
    for (QToolButton* b : {sbDrawDot, sbDrawLine, sbDrawRect, sbDrawCircle})
        group->addButton(b);
    sbDrawDot->setChecked(true);
    connect(sbDrawLine, &QToolButton::clicked, this, [this](bool) { tool_.sbDrawLineClick(); });
    lbPenNote = new QLabel(QStringLiteral("※右クリックで連続描画解除"), this);
    lbPenNote->setObjectName(QStringLiteral("lbPenNote"));
    lbPenNote->setGeometry(4, 66, 209, 18);
}

void PenPage::buildPen()
{
    auto* widthLabel = new QLabel(QStringLiteral("線の太さ(1～50)"), this);
    widthLabel->setGeometry(4, 94, 120, 22);
    csLineWidth = new NumericField(LineWidthRule, "csLineWidth", "udLineWidth", this);
    csLineWidth->place({128, 94, 60, 22});
    csLineWidth->setValue(3);

    stLineColor = new ColorSwatch("stLineColor", 0xFF000000, this);
    stLineColor->setGeometry(4, 126, 40, 25);
    btChangeLineColor = new QPushButton(QStringLiteral("線の色"), this);
    btChangeLineColor->setObjectName(QStringLiteral("btChangeLineColor"));
    btChangeLineColor->setGeometry(52, 126, 161, 25);

    cbCheckFill = new QCheckBox(QStringLiteral("指定した色で塗りつぶす"), this);
    cbCheckFill->setObjectName(QStringLiteral("cbCheckFill"));
    cbCheckFill->setGeometry(4, 160, 209, 22);
    cbCheckFill->setChecked(true);
    stFillColor = new ColorSwatch("stFillColor", 0xFFC0C0C0, this);
    stFillColor->setGeometry(4, 188, 40, 25);
    btChangeFillColor = new QPushButton(QStringLiteral("塗りつぶしの色"), this);
    btChangeFillColor->setObjectName(QStringLiteral("btChangeFillColor"));
    btChangeFillColor->setGeometry(52, 188, 161, 25);

    connect(btChangeLineColor, &QPushButton::clicked, this, [this](bool) { btChangeLineColorClick(); });
    connect(btChangeFillColor, &QPushButton::clicked, this, [this](bool) { btChangeFillColorClick(); });
    connect(cbCheckFill, &QCheckBox::clicked, this, [this](bool) { cbCheckFillClick(); });
}

PenSettings PenPage::settings() const
{
    PenSettings s;
    s.mode = sbDrawLine->isChecked()     ? PenMode::Line
             : sbDrawRect->isChecked()   ? PenMode::Rectangle
             : sbDrawCircle->isChecked() ? PenMode::Ellipse
                                         : PenMode::Dot;
    s.lineWidth = std::clamp(csLineWidth->value(), LineWidthRule.minimum(), LineWidthRule.maximum());
    s.lineColor = stLineColor->color();
    s.fillColor = stFillColor->color();
    s.fill = cbCheckFill->isChecked();
    return s;
}

void PenPage::chooseInto(ColorSwatch* swatch)
{
    // The swatch is also the dialog's preset, so a key colour turned white stays white next time.
    if (const std::optional<QColor> chosen = prompts_.chooseColor(QColor::fromRgb(swatch->color())))
        swatch->setColor(keySafeColor(*chosen));
}

void PenPage::btChangeLineColorClick()
{
    chooseInto(stLineColor);
}

void PenPage::btChangeFillColorClick()
{
    chooseInto(stFillColor);
}

void PenPage::cbCheckFillClick()
{
    btChangeFillColor->setEnabled(cbCheckFill->isChecked());
}

#include "moc_PenPage.cpp"
