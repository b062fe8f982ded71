#pragma once
// Range, stepping and clamping of a numeric entry field with its up/down stepper. Works on the
// field's text, since a field may hold a value the rule never produced (a catalogue limit outside
// the range, or text that is no number at all).
#include <QtCore/QString>
#include <optional>

enum class StepDirection { Up, Down };

class NumericRule
{
  public:
    constexpr NumericRule(int minimum, int maximum) : minimum_(minimum), maximum_(maximum) {}

    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }

    // The number the text stands for: optional blanks, an optional sign and decimal digits.
    // Digits beyond the 32-bit range saturate; anything else gives no number.
    static std::optional<int> read(const QString& text);

    // The text after one arrow click: up adds one while the value is below the maximum, down
    // subtracts one while it is above the minimum. A field without a number takes the minimum.
    QString stepped(const QString& text, StepDirection direction) const;
    // The text after leaving the field: above the maximum takes the maximum, then below the
    // minimum (or no number at all) takes the minimum; anything else is kept as typed.
    QString left(const QString& text) const;
    // The text kept unless it holds no number, which takes the minimum.
    QString settled(const QString& text) const;
    // The value the field stands for: its number, or the minimum when it holds none.
    int value(const QString& text) const;

  private:
    int minimum_;
    int maximum_;
};

// The ranges of the screen-size and size-limit fields.
namespace NumericRules {
inline constexpr NumericRule ScreenSide{8, 4096};
inline constexpr NumericRule ColourBits{4, 32};
inline constexpr NumericRule SizeLimit{256, 7372800};
} // namespace NumericRules
