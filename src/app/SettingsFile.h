#pragma once
// The settings file: loaded three times at start-up from one reading of the file, written once at
// shutdown. Windows Japanese text with CR LF lines; lines the program does not know are kept byte
// for byte. The file holds passwords, so it is readable by its owner only, and it is replaced whole
// or not at all; a file that was refused at reading (a FIFO, far too large) is never replaced.
#include "app/StoredSettings.h"
#include "foundation/IniFile.h"

#include <optional>

class SettingsFile
{
  public:
    // folder ends with '/'; the file is that folder, the executable's file name and ".ini".
    static QString pathFor(const QString& folder, const QString& executablePath);

    // pictureFolder: where the open and save dialogs start when the file names no folder.
    explicit SettingsFile(QString path, QString pictureFolder)
        : path_(std::move(path)), pictureFolder_(std::move(pictureFolder))
    {
    }
    const QString& path() const { return path_; }

    // Reads the file into settings; missing or unconvertible values give the defaults, the rows
    // that are never read take their fixed values. Settings hold what the windows show, so the
    // radio pairs and the format buttons can keep their choice when the file turns all off.
    void LoadSettings(StoredSettings& settings) const;
    // False, with the reason in error, when the file could not be replaced; the old one stays.
    bool SaveSettings(const StoredSettings& settings, QString* error = nullptr) const;

    static void read(const IniFile& file, StoredSettings& settings, const QString& pictureFolder);
    static void write(IniFile& file, const StoredSettings& settings);

  private:
    IniFile& content() const;

    QString path_;
    QString pictureFolder_;
    mutable std::optional<IniFile> content_; // the file as first read, then as last written
};
