// The numeric fields' rule: whatever is typed, stepping and leaving give a number the field takes,
// leaving never widens the range, and reading saturates instead of overflowing.
#include "FuzzCheck.h"

#include "foundation/NumericRule.h"

#include <climits>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(fuzzBytes(data, size));
    const std::optional<int> number = NumericRule::read(text);
    for (const NumericRule& rule : {NumericRules::ScreenSide, NumericRules::ColourBits, NumericRules::SizeLimit,
                                    NumericRule(INT_MIN, INT_MAX), NumericRule(0, 0)}) {
        const QString left = rule.left(text);
        const std::optional<int> leftNumber = NumericRule::read(left);
        FUZZ_CHECK(leftNumber.has_value());
        FUZZ_CHECK(*leftNumber >= rule.minimum() && *leftNumber <= rule.maximum());
        FUZZ_CHECK(!number || *number < rule.minimum() || *number > rule.maximum() || left == text);
        FUZZ_CHECK(rule.left(left) == left); // leaving twice changes nothing more
        for (const StepDirection direction : {StepDirection::Up, StepDirection::Down}) {
            const std::optional<int> stepped = NumericRule::read(rule.stepped(text, direction));
            FUZZ_CHECK(stepped.has_value());
            if (number && direction == StepDirection::Up && *number < rule.maximum())
                FUZZ_CHECK(*stepped == *number + 1);
            if (number && direction == StepDirection::Down && *number > rule.minimum())
                FUZZ_CHECK(*stepped == *number - 1);
        }
        const int value = rule.value(text);
        FUZZ_CHECK(number ? value == *number : value == rule.minimum());
        FUZZ_CHECK(NumericRule::read(rule.settled(text)).has_value());
    }
    return 0;
}
