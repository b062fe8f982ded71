#include "foundation/IniFile.h"

#include "foundation/BoundedFileRead.h"
#include "foundation/Cp932.h"
#include "foundation/ErrorDetail.h"
#include "foundation/FileReplacer.h"
#include "foundation/ProgramError.h"

#include <QtCore/QFile>

#include <algorithm>
#include <optional>
#include <sys/stat.h>

namespace {

char16_t asciiLower(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? char16_t(c + (u'a' - u'A')) : c;
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

// "0x…" longer than two characters is hexadecimal; up to eight digits, read as a 32-bit pattern so
// that 0x80000008 is the negative system colour it stands for.
std::optional<int> hexValue(QStringView value)
{
    if (value.size() <= 2 || value[0] != QLatin1Char('0') ||
        (value[1] != QLatin1Char('x') && value[1] != QLatin1Char('X')))
        return std::nullopt;
    const QStringView digits = value.mid(2);
    if (digits.size() > 8)
        return std::nullopt;
    quint32 bits = 0;
    for (const QChar c : digits) {
        const char16_t u = c.unicode();
        const int digit = (u >= u'0' && u <= u'9')   ? u - u'0'
                          : (u >= u'a' && u <= u'f') ? u - u'a' + 10
                          : (u >= u'A' && u <= u'F') ? u - u'A' + 10
                                                     : -1;
        if (digit < 0)
            return std::nullopt;
        bits = bits << 4 | quint32(digit);
    }
    return int(bits);
}

// The reader trims blanks and one pair of outer quotes; a text that would lose either is put in
// quotes so that it reads back as written. A line break cannot be held by a line and becomes a blank.
QString storedText(QString value)
{
    value.replace(QLatin1String("\r\n"), QLatin1String(" "));
    value.replace(QLatin1Char('\r'), QLatin1Char(' '));
    value.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (value.isEmpty())
        return value;
    const QChar first = value.front();
    const bool quoted =
        value.size() >= 2 && (first == QLatin1Char('"') || first == QLatin1Char('\'')) && value.back() == first;
    if (quoted || isBlank(first) || isBlank(value.back()))
        return QLatin1Char('"') + value + QLatin1Char('"');
    return value;
}

// Names compare without regard to ASCII case: this is the form they are looked up by.
QString folded(QStringView name)
{
    QString result(name.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < name.size(); ++i)
        result[i] = QChar(asciiLower(name[i].unicode()));
    return result;
}

// The first of equal names counts.
template <typename Key, typename Value> void keepFirst(QHash<Key, Value>& hash, Key key, Value value)
{
    if (!hash.contains(key))
        hash.insert(std::move(key), value);
}

// The lines of the text: CR LF, CR and LF end a line; a last line end adds no line.
template <typename Text, typename Char> QList<Text> splitLines(const Text& text, Char cr, Char lf)
{
    QList<Text> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != cr && text[i] != lf)
            continue;
        lines.append(text.mid(start, i - start));
        if (text[i] == cr && i + 1 < text.size() && text[i + 1] == lf)
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

} // namespace

IniFile::IniFile(QString path) : path_(std::move(path))
{
    const BoundedFileRead file(path_, MaxFileBytes);
    if (file.outcome() == BoundedFileRead::Outcome::Refused) {
        refusal_ = file.problem();
        writeErrorDetail(path_ + QStringLiteral(" is not read: ") + refusal_);
    }
    takeContent(file.bytes());
}

IniFile::IniFile(QString path, const QByteArray& content) : path_(std::move(path))
{
    takeContent(content);
}

void IniFile::takeContent(const QByteArray& content)
{
    // CR and LF are never part of a double-byte character, so the bytes and the text break into the
    // same lines; the text is decoded once, for speed.
    lines_ = splitLines(Cp932::decode(content), QChar(u'\r'), QChar(u'\n'));
    original_ = splitLines(content, '\r', '\n');
    if (original_.size() != lines_.size())
        original_ = QList<QByteArray>(lines_.size());
}

void IniFile::Index::add(int section, QStringView key, qsizetype line)
{
    keepFirst(keyLines, std::pair(section, folded(key)), line);
}

const IniFile::Index& IniFile::index() const
{
    if (index_)
        return *index_;
    Index& built = index_.emplace();
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        if (const auto name = sectionName(lines_.at(i))) {
            keepFirst(built.sectionByName, folded(*name), int(built.sectionLines.size()));
            built.sectionLines.push_back(i);
        } else if (const auto key = keyName(lines_.at(i)); key && !built.sectionLines.empty()) {
            built.add(int(built.sectionLines.size()) - 1, *key, i);
        }
    }
    return built;
}

void IniFile::replaceLine(qsizetype at, const QString& line)
{
    if (lines_.at(at) == line)
        return; // the same text keeps its bytes
    lines_[at] = line;
    original_[at] = QByteArray();
}

void IniFile::insertLine(qsizetype at, const QString& line)
{
    lines_.insert(at, line);
    original_.insert(at, QByteArray());
    if (!index_)
        return;
    if (sectionName(line)) {
        if (at + 1 < lines_.size()) {
            index_.reset(); // a section in the middle renumbers the ones after it
            return;
        }
        keepFirst(index_->sectionByName, folded(*sectionName(line)), int(index_->sectionLines.size()));
        index_->sectionLines.push_back(at);
        return;
    }
    if (at + 1 < lines_.size()) {
        for (qsizetype& sectionLine : index_->sectionLines)
            sectionLine += sectionLine >= at ? 1 : 0;
        for (qsizetype& keyLine : index_->keyLines)
            keyLine += keyLine >= at ? 1 : 0;
    }
    const auto after = std::upper_bound(index_->sectionLines.begin(), index_->sectionLines.end(), at);
    if (const auto key = keyName(line); key && after != index_->sectionLines.begin())
        index_->add(int(after - index_->sectionLines.begin()) - 1, *key, at);
}

int IniFile::findSection(const QString& section) const
{
    return index().sectionByName.value(folded(section), -1);
}

qsizetype IniFile::sectionEnd(int section) const
{
    const std::vector<qsizetype>& lines = index().sectionLines;
    return size_t(section) + 1 < lines.size() ? lines[size_t(section) + 1] : lines_.size();
}

IniFile::Position IniFile::find(const QString& section, const QString& key) const
{
    Position position;
    const int number = findSection(section);
    if (number < 0)
        return position;
    position.sectionLine = index().sectionLines[size_t(number)];
    position.sectionEnd = sectionEnd(number);
    position.keyLine = index().keyLines.value({number, folded(key)}, -1);
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
    const QString value = valueOf(lines_.at(position.keyLine));
    if (const auto hex = hexValue(value))
        return *hex;
    return textToIntOr(value, fallback);
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
    const int number = findSection(section);
    if (number < 0)
        return result;
    const qsizetype end = sectionEnd(number);
    for (qsizetype i = index().sectionLines[size_t(number)] + 1; i < end; ++i)
        if (const auto name = keyName(lines_.at(i)); name && !name->isEmpty())
            result << name->toString();
    return result;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& text)
{
    const QString value = storedText(text);
    const Position position = find(section, key);
    if (position.keyLine >= 0) {
        // The key keeps its spelling in the file.
        const QString& old = lines_.at(position.keyLine);
        replaceLine(position.keyLine, trimmed(QStringView(old).left(old.indexOf(QLatin1Char('=')))).toString() +
                                          QLatin1Char('=') + value);
        if (sectionName(lines_.at(position.keyLine)))
            index_.reset(); // "[a=b]": the new value made the line read as a section
        return;
    }
    const QString line = key + QLatin1Char('=') + value;
    if (position.sectionLine < 0) {
        insertLine(lines_.size(), QLatin1Char('[') + section + QLatin1Char(']'));
        insertLine(lines_.size(), line);
        return;
    }
    // After the section's last non-empty line, so a blank separator line stays a separator.
    qsizetype insertAt = position.sectionEnd;
    while (insertAt > position.sectionLine + 1 && trimmed(lines_.at(insertAt - 1)).isEmpty())
        --insertAt;
    insertLine(insertAt, line);
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
    if (position.keyLine >= 0) {
        lines_.removeAt(position.keyLine);
        original_.removeAt(position.keyLine);
        index_.reset();
    }
}

void IniFile::removeSection(const QString& section)
{
    const int number = findSection(section);
    if (number < 0)
        return;
    const qsizetype line = index().sectionLines[size_t(number)];
    const qsizetype count = sectionEnd(number) - line;
    lines_.remove(line, count);
    original_.remove(line, count);
    index_.reset();
}

QByteArray IniFile::bytes() const
{
    // Runs of the program's own lines are encoded together; every other line goes out as it came.
    QByteArray out;
    QString pending;
    const auto flush = [&] {
        out += Cp932::encode(pending);
        pending.clear();
    };
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        if (original_.at(i).isNull()) {
            pending += lines_.at(i) + QLatin1String("\r\n");
            continue;
        }
        flush();
        out += original_.at(i) + "\r\n";
    }
    flush();
    return out;
}

bool IniFile::save(Access access, QString* error) const
{
    if (!refusal_.isEmpty()) {
        if (error)
            *error = refusal_;
        return false;
    }
    // Shared keeps the rights of the file it replaces.
    struct stat existing
    {
    };
    std::optional<mode_t> mode;
    if (access == Access::OwnerOnly)
        mode = 0600;
    else if (::stat(QFile::encodeName(path_).constData(), &existing) == 0)
        mode = existing.st_mode & 07777;
    const QString problem = FileReplacer::replace(path_, bytes(), mode);
    if (!problem.isEmpty() && error)
        *error = problem;
    return problem.isEmpty();
}
