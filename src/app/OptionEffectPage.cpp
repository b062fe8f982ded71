#include "app/OptionEffectPage.h"

#include "foundation/EffectRules.h"
#include "widgets/NumericField.h"

#include <QtWidgets/QLabel>
#include <QtWidgets/QRadioButton>

#include <algorithm>

namespace {

struct EffectField
{
    const char* name;
    const char* stepper;
    const char16_t* label;
    bool indented;
    NumericRule rule;
    int EffectOptions::*value;
};

// In the order the page shows them.
const EffectField effectFields[OptionEffectPage::FieldCount] = {
    {"csOil", "udOil", u"油絵：筆の大きさ (1～100)", false, EffectRules::OilBrush, &EffectOptions::oilBrush},
    {"csCanvas", "udCanvas", u"カンバス：目地の深さ (0～255)", false, EffectRules::CanvasDepth,
     &EffectOptions::canvasDepth},
    {"csLens", "udLens", u"レンズ：レンズの倍率 (1～64)", false, EffectRules::LensPower, &EffectOptions::lensPower},
    {"csMosaic", "udMosaic", u"モザイク：モザイクの大きさ (1～255)", false, EffectRules::MosaicSize,
     &EffectOptions::mosaicSize},
    {"csBlur", "udBlur", u"ぼかし：ぼかしの強さ (1～20)", false, EffectRules::BlurStrength,
     &EffectOptions::blurStrength},
    {"csSharp", "udSharp", u"シャープ：シャープネスの強さ (0～100)", false, EffectRules::Sharpness,
     &EffectOptions::sharpness},
    {"csRipple1", "udRipple1", u"波紋：波の振幅の大きさ (1～100)", false, EffectRules::RippleAmplitude,
     &EffectOptions::rippleAmplitude},
    {"csRipple2", "udRipple2", u"波長の長さ(1～255)", true, EffectRules::RippleWavelength,
     &EffectOptions::rippleWavelength},
    {"csRipple3", "udRipple3", u"波の位相 (0～100)", true, EffectRules::RipplePhase, &EffectOptions::ripplePhase},
    {"csWaves2", "udWaves2", u"さざ波：波の振幅の大きさ (1～255)", false, EffectRules::WavesAmplitude,
     &EffectOptions::wavesAmplitude},
    {"csWaves1", "udWaves1", u"波長の長さ(1～255)", true, EffectRules::WavesWavelength,
     &EffectOptions::wavesWavelength},
    {"csWaves3", "udWaves3", u"波の位相 (0～100)", true, EffectRules::WavesPhase, &EffectOptions::wavesPhase},
};

constexpr int rowHeight = 27;
constexpr int fieldLeft = 300;

int clamped(const NumericRule& rule, int value)
{
    return std::clamp(value, rule.minimum(), rule.maximum());
}

} // namespace

OptionEffectPage::OptionEffectPage(QWidget* parent) : OptionPage("tsEffect", parent)
{
    for (int i = 0; i < FieldCount; ++i) {
        const EffectField& f = effectFields[i];
        const int y = 10 + i * rowHeight;
        auto* label = new QLabel(QString::fromUtf16(f.label), this);
        label->setGeometry(f.indented ? 40 : 12, y, fieldLeft - (f.indented ? 44 : 16), 22);
        fields[i] = new NumericField(f.rule, f.name, f.stepper, this);
        fields[i]->place({fieldLeft, y, 60, 22});
        label->setBuddy(fields[i]);
        fields[i]->setValue(EffectOptions{}.*f.value);
        connect(fields[i], &QLineEdit::textChanged, this, &OptionPage::changed);
    }
    const int y = 10 + FieldCount * rowHeight;
    auto* direction = new QLabel(QStringLiteral("波の方向"), this);
    direction->setGeometry(40, y, 120, 22);
    rbWaves0 = new QRadioButton(QStringLiteral("縦"), this);
    rbWaves0->setObjectName(QStringLiteral("rbWaves0"));
    rbWaves0->setGeometry(fieldLeft - 100, y, 60, 22);
    rbWaves0->setChecked(true);
    rbWaves1 = new QRadioButton(QStringLiteral("横"), this);
    rbWaves1->setObjectName(QStringLiteral("rbWaves1"));
    rbWaves1->setGeometry(fieldLeft, y, 60, 22);
    connect(rbWaves1, &QRadioButton::toggled, this, &OptionPage::changed);
}

void OptionEffectPage::show(const ProgramOptions& o)
{
    for (int i = 0; i < FieldCount; ++i) {
        const EffectField& f = effectFields[i];
        const QString text = QString::number(clamped(f.rule, o.effects.*f.value));
        if (fields[i]->text() != text)
            fields[i]->setText(text);
    }
    (o.effects.wavesHorizontal ? rbWaves1 : rbWaves0)->setChecked(true);
}

void OptionEffectPage::collect(ProgramOptions& o) const
{
    // A field holds what was typed; the effects get a value inside its range.
    for (int i = 0; i < FieldCount; ++i)
        o.effects.*effectFields[i].value = clamped(effectFields[i].rule, fields[i]->value());
    o.effects.wavesHorizontal = rbWaves1->isChecked();
}

#include "moc_OptionEffectPage.cpp"
