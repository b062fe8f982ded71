#include "foundation/IniFile.h"

#include "foundation/Cp932.h"
#include "foundation/FileReplacer.h"
#include "foundation/ProgramError.h"

#include <QtCore/QFile>

#include <cstdio>
#include <optional>

namespace {

char16_t asciiLower(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? char16_t(c + (u'a' - u'A')) : c;
}

bool sameName(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (asciiLower(a[i].unicode()) != asciiLower(b[i].unicode()))
            return false;
    return true;
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QStringView trimmed(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

// "[name]" -> name; not a section line -> empty optional.
std::optional<QStringView> sectionName(QStringView line)
{
    const QStringView t = trimmed(line);
    if (!t.startsWith(QLatin1Char('[')))
        return std::nullopt;
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    if (close < 0)
        return std::nullopt;
    return trimmed(t.mid(1, close - 1));
}

bool isComment(QStringView line)
{
    return trimmed(line).startsWith(QLatin1Char(';'));
}

// "key=value" -> key; a line without '=' has no key.
std::optional<QStringView> keyName(QStringView line)
{
    if (isComment(line))
        return std::nullopt;
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return std::nullopt;
    return trimmed(line.left(eq));
}

QString valueOf(QStringView line)
{
    QStringView value = trimmed(line.mid(line.indexOf(QLatin1Char('=')) + 1));
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && value.back() == first)
            value = value.mid(1, value.size() - 2);
    }
    return value.left(IniFile::MaxValueLength).toString();
}

QStringList splitLines(const QString& text)
{
    QString normal = text;
    normal.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normal.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = normal.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

IniFile::IniFile(QString path) : path_(std::move(path))
{
    QFile file(path_);
    if (file.open(QIODevice::ReadOnly))
        lines_ = splitLines(Cp932::decode(file.readAll()));
}

qsizetype IniFile::findSection(const QString& section) const
{
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        const auto name = sectionName(lines_.at(i));
        if (name && sameName(*name, section))
            return i;
    }
    return -1;
}

qsizetype IniFile::sectionEnd(qsizetype sectionLine) const
{
    qsizetype i = sectionLine + 1;
    while (i < lines_.size() && !sectionName(lines_.at(i)))
        ++i;
    return i;
}

IniFile::Position IniFile::find(const QString& section, const QString& key) const
{
    Position position;
    position.sectionLine = findSection(section);
    if (position.sectionLine < 0)
        return position;
    position.sectionEnd = sectionEnd(position.sectionLine);
    for (qsizetype i = position.sectionLine + 1; i < position.sectionEnd; ++i) {
        const auto name = keyName(lines_.at(i));
        if (name && sameName(*name, key)) {
            position.keyLine = i;
            break;
        }
    }
    return position;
}

QString IniFile::readString(const QString& section, const QString& key, const QString& fallback) const
{
    const Position position = find(section, key);
    if (position.keyLine < 0)
        return fallback.left(MaxValueLength);
    return valueOf(lines_.at(position.keyLine));
}

int IniFile::readInteger(const QString& section, const QString& key, int fallback) const
{
    const Position position = find(section, key);
    if (position.keyLine < 0)
        return fallback;
    return textToIntOr(valueOf(lines_.at(position.keyLine)), fallback);
}

bool IniFile::readBool(const QString& section, const QString& key, bool fallback) const
{
    return readInteger(section, key, fallback ? 1 : 0) != 0;
}

bool IniFile::hasKey(const QString& section, const QString& key) const
{
    return find(section, key).keyLine >= 0;
}

QStringList IniFile::keys(const QString& section) const
{
    QStringList result;
    const qsizetype line = findSection(section);
    if (line < 0)
        return result;
    const qsizetype end = sectionEnd(line);
    for (qsizetype i = line + 1; i < end; ++i)
        if (const auto name = keyName(lines_.at(i)); name && !name->isEmpty())
            result << name->toString();
    return result;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value)
{
    const Position position = find(section, key);
    if (position.keyLine >= 0) {
        // The key keeps its spelling in the file.
        const QString& old = lines_.at(position.keyLine);
        lines_[position.keyLine] = trimmed(QStringView(old).left(old.indexOf(QLatin1Char('=')))).toString() +
                                   QLatin1Char('=') + value;
        return;
    }
    const QString line = key + QLatin1Char('=') + value;
    if (position.sectionLine < 0) {
        lines_ << QLatin1Char('[') + section + QLatin1Char(']') << line;
        return;
    }
    // After the section's last non-empty line, so a blank separator line stays a separator.
    qsizetype insertAt = position.sectionEnd;
    while (insertAt > position.sectionLine + 1 && trimmed(lines_.at(insertAt - 1)).isEmpty())
        --insertAt;
    lines_.insert(insertAt, line);
}

void IniFile::writeInteger(const QString& section, const QString& key, int value)
{
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value)
{
    writeInteger(section, key, value ? 1 : 0);
}

void IniFile::removeKey(const QString& section, const QString& key)
{
    const Position position = find(section, key);
    if (position.keyLine >= 0)
        lines_.removeAt(position.keyLine);
}

void IniFile::removeSection(const QString& section)
{
    const qsizetype line = findSection(section);
    if (line >= 0)
        lines_.remove(line, sectionEnd(line) - line);
}

bool IniFile::save() const
{
    QString text;
    for (const QString& line : lines_)
        text += line + QLatin1String("\r\n");
    const QString problem = FileReplacer::replace(path_, Cp932::encode(text));
    if (!problem.isEmpty())
        std::fprintf(stderr, "pictorel: cannot write %s: %s\n", qPrintable(path_), qPrintable(problem));
    return problem.isEmpty();
}
