#include "foundation/NumericRule.h"

#include <limits>

std::optional<int> NumericRule::read(const QString& text)
{
    const QString trimmed = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < trimmed.size() && (trimmed.at(i) == QLatin1Char('-') || trimmed.at(i) == QLatin1Char('+')))
        negative = trimmed.at(i++) == QLatin1Char('-');
    if (i == trimmed.size())
        return std::nullopt;
    constexpr qint64 limit = qint64(std::numeric_limits<int>::max()) + 1;
    qint64 magnitude = 0;
    for (; i < trimmed.size(); ++i) {
        const char16_t c = trimmed.at(i).unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        magnitude = std::min(magnitude * 10 + (c - u'0'), limit); // saturates, never overflows
    }
    if (negative)
        return int(-magnitude);
    return int(std::min<qint64>(magnitude, std::numeric_limits<int>::max()));
}

QString NumericRule::stepped(const QString& text, StepDirection direction) const
{
    const std::optional<int> number = read(text);
    if (!number)
        return QString::number(minimum_);
    if (direction == StepDirection::Up && *number < maximum_)
        return QString::number(*number + 1);
    if (direction == StepDirection::Down && *number > minimum_)
        return QString::number(*number - 1);
    return text;
}

QString NumericRule::left(const QString& text) const
{
    const std::optional<int> number = read(text);
    if (number && *number > maximum_)
        return QString::number(maximum_);
    if (!number || *number < minimum_)
        return QString::number(minimum_);
    return text;
}

QString NumericRule::settled(const QString& text) const
{
    return read(text) ? text : QString::number(minimum_);
}

int NumericRule::value(const QString& text) const
{
    return read(text).value_or(minimum_);
}
