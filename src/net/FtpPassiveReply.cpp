#include "net/FtpPassiveReply.h"

#include <QtCore/QStringList>

std::optional<quint16> FtpPassiveReply::port(const QString& text)
{
    const qsizetype open = text.indexOf(QLatin1Char('('));
    const qsizetype close = text.indexOf(QLatin1Char(')'), open + 1);
    if (open < 0 || close < 0)
        return std::nullopt;
    const QStringList parts = text.mid(open + 1, close - open - 1).split(QLatin1Char(','));
    if (parts.size() != 6)
        return std::nullopt;
    int numbers[6] = {};
    for (int i = 0; i < 6; ++i) {
        bool ok = false;
        const QString part = parts[i].trimmed();
        numbers[i] = part.toInt(&ok);
        if (!ok || part.size() > 3 || numbers[i] < 0 || numbers[i] > 255)
            return std::nullopt;
    }
    const int value = numbers[4] * 256 + numbers[5];
    if (value == 0)
        return std::nullopt;
    return static_cast<quint16>(value);
}
