#include "catalogue/CommaText.h"

namespace {

bool isSkippable(QChar c)
{
    return c.unicode() >= 1 && c.unicode() <= 32;
}

bool endsUnquoted(QChar c)
{
    return c == QLatin1Char(',') || c.unicode() <= 32;
}

void skipBlanks(QStringView line, qsizetype& i)
{
    while (i < line.size() && isSkippable(line[i]))
        ++i;
}

QString quotedField(QStringView line, qsizetype& i)
{
    QString field;
    ++i; // opening quote
    while (i < line.size()) {
        const QChar c = line[i++];
        if (c != QLatin1Char('"')) {
            field += c;
        } else if (i < line.size() && line[i] == QLatin1Char('"')) {
            field += c;
            ++i;
        } else {
            break;
        }
    }
    return field;
}

} // namespace

QStringList splitCommaText(QStringView line)
{
    if (const qsizetype nul = line.indexOf(QChar(0)); nul >= 0)
        line = line.left(nul);
    QStringList fields;
    qsizetype i = 0;
    skipBlanks(line, i);
    while (i < line.size()) {
        if (line[i] == QLatin1Char('"')) {
            fields << quotedField(line, i);
        } else {
            // Stops at once on a comma, which gives the empty field between two commas.
            const qsizetype start = i;
            while (i < line.size() && !endsUnquoted(line[i]))
                ++i;
            fields << line.mid(start, i - start).toString();
        }
        skipBlanks(line, i);
        if (i < line.size() && line[i] == QLatin1Char(',')) {
            ++i;
            skipBlanks(line, i);
        }
    }
    return fields;
}
