#include "foundation/ProgramError.h"

#include <limits>
#include <optional>

ConversionError::ConversionError(const QString& value)
    : ProgramError(QStringLiteral("'%1' は整数ではありません").arg(value))
{
}

namespace {

std::optional<int> parseInt(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).unicode() <= 32 && text.at(i).unicode() > 0)
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+')))
        negative = text.at(i++) == QLatin1Char('-');
    if (i == text.size())
        return std::nullopt;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            return std::nullopt;
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
        return std::nullopt;
    return int(value);
}

} // namespace

int textToInt(const QString& text)
{
    const std::optional<int> value = parseInt(text);
    if (!value)
        throw ConversionError(text);
    return *value;
}

int textToIntOr(const QString& text, int fallback)
{
    return parseInt(text).value_or(fallback);
}
