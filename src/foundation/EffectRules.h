#pragma once
// The range of each effect parameter, as the options dialog's fields take them.
#include "foundation/NumericRule.h"

namespace EffectRules {
inline constexpr NumericRule OilBrush{1, 100};
inline constexpr NumericRule CanvasDepth{0, 255};
inline constexpr NumericRule LensPower{1, 64};
inline constexpr NumericRule MosaicSize{1, 255};
inline constexpr NumericRule BlurStrength{1, 20};
inline constexpr NumericRule Sharpness{0, 100};
inline constexpr NumericRule RippleAmplitude{1, 100};
inline constexpr NumericRule RippleWavelength{1, 255};
inline constexpr NumericRule RipplePhase{0, 100};
inline constexpr NumericRule WavesAmplitude{1, 255};
inline constexpr NumericRule WavesWavelength{1, 255};
inline constexpr NumericRule WavesPhase{0, 100};
} // namespace EffectRules
