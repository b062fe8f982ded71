#pragma once
// The program's INI files: Windows Japanese text with CR LF lines. Section and key names match
// without regard to ASCII case and the first match wins; lines starting with ';' are comments.
// Values are trimmed of blanks and of one pair of matching outer quotes and read up to 2047
// characters; "0x…" integers are hexadecimal. A text written with outer blanks or quotes is quoted so it
// reads back unchanged. Writing keeps every other line, byte for byte, and its order; a new key goes
// to the end of its section, a new section to the end of the file. Lines end in CR LF when written.
// A file that is not a regular one, or larger than MaxFileBytes, is not read and is never replaced.
#include <QtCore/QHash>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <optional>
#include <utility>
#include <vector>

class IniFile
{
  public:
    static constexpr int MaxValueLength = 2047;
    static constexpr qint64 MaxFileBytes = 2 * 1024 * 1024;

    // Reads the file if it exists; a missing or refused file reads as empty.
    explicit IniFile(QString path);
    // As if the file at path held these bytes.
    IniFile(QString path, const QByteArray& content);

    const QString& path() const { return path_; }
    // Why the file was not read (a FIFO, a device, too large, unreadable); empty when it was read
    // or did not exist. A refused file is kept: save() does not replace it.
    const QString& refusal() const { return refusal_; }
    QString readString(const QString& section, const QString& key, const QString& fallback = {}) const;
    // A value that is not a whole number gives the fallback, as the Windows reader does.
    int readInteger(const QString& section, const QString& key, int fallback) const;
    bool readBool(const QString& section, const QString& key, bool fallback) const;
    bool hasKey(const QString& section, const QString& key) const;
    QStringList keys(const QString& section) const;

    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);
    void removeKey(const QString& section, const QString& key);
    void removeSection(const QString& section);

    // The file's content as save() writes it.
    QByteArray bytes() const;
    // Shared keeps an existing file's rights; OwnerOnly makes the file readable and writable by
    // its owner alone, also when it existed with wider rights.
    enum class Access { Shared, OwnerOnly };
    // Writes the whole file, or nothing when it cannot be written (error gets the reason).
    bool save(Access access = Access::Shared, QString* error = nullptr) const;

  private:
    struct Position
    {
        qsizetype sectionLine = -1; // the "[name]" line, -1 when absent
        qsizetype sectionEnd = 0;   // one past the section's last line
        qsizetype keyLine = -1;     // the key's line, -1 when absent
    };
    // Where every section and key stands, so that a file of many sections (a calendar of 512
    // holidays) reads in linear time. Built on the first lookup; kept up to date as lines are added
    // and rebuilt after a removal.
    struct Index
    {
        std::vector<qsizetype> sectionLines;                // every "[name]" line, in file order
        QHash<QString, int> sectionByName;                  // folded name -> its first section
        QHash<std::pair<int, QString>, qsizetype> keyLines; // (section, folded key) -> first line
        void add(int section, QStringView key, qsizetype line);
    };
    const Index& index() const;
    void insertLine(qsizetype at, const QString& line);
    void replaceLine(qsizetype at, const QString& line);
    void takeContent(const QByteArray& content);
    Position find(const QString& section, const QString& key) const;
    int findSection(const QString& section) const; // the section's number, -1 when absent
    qsizetype sectionEnd(int section) const;

    QString path_;
    QString refusal_;
    QStringList lines_;
    // Each line's bytes as read, null for a line the program wrote: only those are encoded anew.
    QList<QByteArray> original_;
    mutable std::optional<Index> index_;
};
