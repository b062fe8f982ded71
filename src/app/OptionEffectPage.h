#pragma once
// "効果": the parameters the effects read when they run.
#include "app/OptionPage.h"

#include <array>

class NumericField;
class QRadioButton;

class OptionEffectPage : public OptionPage
{
    Q_OBJECT
  public:
    static constexpr int FieldCount = 12;

    explicit OptionEffectPage(QWidget* parent = nullptr);

    void show(const ProgramOptions& options) override;
    void collect(ProgramOptions& options) const override;

    // csOil, csCanvas, csLens, csMosaic, csBlur, csSharp, csRipple1..3, csWaves2, csWaves1, csWaves3.
    std::array<NumericField*, FieldCount> fields{};
    QRadioButton* rbWaves0;
    QRadioButton* rbWaves1;
};
