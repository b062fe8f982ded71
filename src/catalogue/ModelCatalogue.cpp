#include "catalogue/ModelCatalogue.h"

#include "catalogue/CommaText.h"
#include "foundation/Cp932.h"
#include "foundation/ErrorDetail.h"
#include "foundation/FileKind.h"
#include "foundation/NumericRule.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QSet>

#include <climits>

namespace {

const QString mainVariant = QStringLiteral("メイン");
constexpr int fieldsPerLine = 8;
// A model's screen takes the sides the direct size entry takes, so every canvas the program makes
// has the same bounds however it was chosen.
const NumericRule side = NumericRules::ScreenSide;
// The deepest a screen shows; the field shows it and the direct entry takes it. A listed screen may
// be shallower than the direct entry's least (a one-bit sub-display, say).
const int largestColorBits = NumericRules::ColourBits.maximum();

// A number of the line, with the line named when it is not an integer or lies outside min … max.
int boundedField(const QString& text, int min, int max, const QString& path, int lineNumber)
{
    int value = 0;
    try {
        value = textToInt(text);
    } catch (const ConversionError& e) {
        throw CatalogueLineError(e.text(), path, lineNumber);
    }
    if (value < min || value > max)
        throw CatalogueLineError(
            max == INT_MAX ? QStringLiteral("'%1' は %2 以上でなければなりません").arg(text).arg(min)
                           : QStringLiteral("'%1' は %2 から %3 まででなければなりません").arg(text).arg(min).arg(max),
            path, lineNumber);
    return value;
}

// Lines end with CR LF, CR or LF; a last line without a line end counts; a NUL ends the text.
QStringList catalogueLines(const QByteArray& bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    const QString text = Cp932::decode(nul >= 0 ? bytes.left(nul) : bytes);
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines << text.mid(start, i - start);
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines << text.mid(start);
    return lines;
}

TModelEntry entryFromLine(const QString& line, const QString& path, int lineNumber)
{
    const QStringList fields = splitCommaText(line);
    if (fields.size() < fieldsPerLine)
        throw CatalogueLineError(QStringLiteral("項目が %1 個しかありません（8 個必要です）").arg(fields.size()), path,
                                 lineNumber);
    TModelEntry entry;
    entry.Carrier = fields.at(0);
    entry.Variant = fields.at(2);
    entry.Name = entry.Variant == mainVariant ? fields.at(1)
                                              : fields.at(1) + QLatin1Char('(') + entry.Variant + QLatin1Char(')');
    entry.Extra = fields.at(3);
    entry.Width = boundedField(fields.at(4), side.minimum(), side.maximum(), path, lineNumber);
    entry.Height = boundedField(fields.at(5), side.minimum(), side.maximum(), path, lineNumber);
    entry.ColorBits = boundedField(fields.at(6), 1, largestColorBits, path, lineNumber);
    entry.SizeLimit = boundedField(fields.at(7), 1, INT_MAX, path, lineNumber);
    return entry;
}

} // namespace

CatalogueLineError::CatalogueLineError(const QString& reason, const QString& path, int lineNumber)
    : ProgramError(QStringLiteral("%1\n（%2 の %3 行目）").arg(reason, QFileInfo(path).fileName()).arg(lineNumber))
{
}

bool ModelCatalogue::load(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return false;
    if (FileKind::isSpecial(path))
        throw ProgramError(QStringLiteral("%1 を読み込めませんでした。\n%2")
                               .arg(path, QStringLiteral("通常のファイルではありません。")));
    if (!file.open(QIODevice::ReadOnly)) {
        writeErrorDetail(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
        throw ProgramError(QStringLiteral("%1 を読み込めませんでした。").arg(QFileInfo(path).fileName()));
    }
    parse(file.readAll(), path);
    return true;
}

void ModelCatalogue::parse(const QByteArray& bytes, const QString& pathForMessages)
{
    entries_.clear();
    carriers_.clear();
    const QStringList lines = catalogueLines(bytes);
    QSet<QString> seen; // keeps the load linear in the number of carriers
    for (qsizetype i = 1; i < lines.size(); ++i) {
        TModelEntry entry = entryFromLine(lines.at(i), pathForMessages, int(i + 1));
        if (!seen.contains(entry.Carrier)) {
            seen.insert(entry.Carrier);
            carriers_ << entry.Carrier;
        }
        entries_.push_back(std::move(entry));
    }
}

bool ModelCatalogue::append(const QString& path)
{
    ModelCatalogue more;
    if (!more.load(path))
        return false;
    for (const QString& carrier : std::as_const(more.carriers_))
        if (!carriers_.contains(carrier))
            carriers_ << carrier;
    entries_.insert(entries_.end(), more.entries_.begin(), more.entries_.end());
    return true;
}

TModelEntry ModelCatalogue::FindModel(const QString& name) const
{
    for (const TModelEntry& entry : entries_)
        if (entry.Name == name)
            return entry;
    return defaultModel();
}

QStringList ModelCatalogue::modelNamesOf(const QString& carrier) const
{
    QStringList names;
    for (const TModelEntry& entry : entries_)
        if (entry.Carrier == carrier)
            names << entry.Name;
    return names;
}
