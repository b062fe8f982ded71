#pragma once
// Where the program reads what it ships and writes what it makes. A program folder the user may
// write to is a portable program: everything stays beside the executable. An installed, read-only
// program folder is only read (catalogue, stamps, frames); what the program writes goes to the
// user's own folders as the XDG base-directory conventions place them.
#include <QtCore/QString>

class ProgramFolders
{
  public:
    // Decides by whether programFolder (ending with '/') can be written to.
    static ProgramFolders forProgram(const QString& programFolder);
    // Everything in one folder, as a portable program (and the tests) have it.
    static ProgramFolders portable(const QString& programFolder);

    bool isPortable() const { return portable_; }
    // The executable's folder: the shipped catalogue, "stamp/" and "frames/". Ends with '/'.
    const QString& programFolder() const { return program_; }
    // The settings file and "Calender.ini" (XDG_CONFIG_HOME/pictorel/). Ends with '/'.
    const QString& settingsFolder() const { return settings_; }
    // The operation log and an updated catalogue (XDG_DATA_HOME/pictorel/). Ends with '/'.
    const QString& dataFolder() const { return data_; }
    // Undo images and the send files (XDG_CACHE_HOME/pictorel/). Ends with '/'.
    const QString& workFolder() const { return work_; }

    // The catalogue to read: an updated one in the data folder wins over the shipped one.
    QString catalogueToRead(const QString& fileName) const;
    // Where a downloaded catalogue is installed.
    QString catalogueToWrite(const QString& fileName) const { return data_ + fileName; }

    // Creates the folders the program writes to; false when one cannot be made.
    bool createWritableFolders() const;

  private:
    bool portable_ = true;
    QString program_, settings_, data_, work_;
};
