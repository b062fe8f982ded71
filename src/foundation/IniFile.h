#pragma once
// The program's INI files: Windows Japanese text with CR LF lines. Section and key names match
// without regard to ASCII case and the first match wins; lines starting with ';' are comments.
// Values are trimmed of blanks and of one pair of matching outer quotes and read up to 2047
// characters; "0x…" integers are hexadecimal. A text written with outer blanks or quotes is quoted so it
// reads back unchanged. Writing keeps every other line and its order; a new key goes to the end of its
// section, a new section to the end of the file.
#include <QtCore/QString>
#include <QtCore/QStringList>

class IniFile {
public:
    static constexpr int MaxValueLength = 2047;

    // Reads the file if it exists; a missing or unreadable file reads as empty.
    explicit IniFile(QString path);
    // As if the file at path held these bytes.
    IniFile(QString path, const QByteArray& content);

    const QString& path() const { return path_; }
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
    struct Position {
        qsizetype sectionLine = -1; // the "[name]" line, -1 when absent
        qsizetype sectionEnd = 0;   // one past the section's last line
        qsizetype keyLine = -1;     // the key's line, -1 when absent
    };
    Position find(const QString& section, const QString& key) const;
    qsizetype findSection(const QString& section) const;
    qsizetype sectionEnd(qsizetype sectionLine) const;

    QString path_;
    QStringList lines_;
};
