#pragma once
// An error meant for the user's eyes: its text is shown as it stands in the error box.
#include <QtCore/QString>
#include <stdexcept>

class ProgramError : public std::runtime_error
{
  public:
    explicit ProgramError(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}
    const QString& text() const { return text_; }

  private:
    QString text_;
};

// A text that should have been a whole number.
class ConversionError : public ProgramError
{
  public:
    explicit ConversionError(const QString& value);
};

// Whole-number conversion as the settings and catalogue files need it: optional blanks before,
// an optional sign, decimal digits, within 32 bits. Anything else raises ConversionError.
int textToInt(const QString& text);
// The same, giving the fallback instead of raising.
int textToIntOr(const QString& text, int fallback);
