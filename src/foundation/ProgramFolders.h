#pragma once
// Where the program reads what it ships and writes what it makes. A portable program keeps
// everything beside the executable: the build's program folder, or any folder the user marked with
// the marker file beside the executable (and may write to). Any other program folder, writable or
// not, is an installed one and is only read (catalogue, stamps, frames); what the program writes
// goes to the user's own folders as the XDG base-directory conventions place them.
#include <QtCore/QString>

class ProgramFolders
{
  public:
    // The file that marks a program folder as portable.
    static QString portableMarker() { return QStringLiteral("pictorel.portable"); }
    // Decides by the marker in programFolder (ending with '/') and whether the folder can be written to.
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

    // Where the open and save dialogs start until the user chose a folder: the program folder of a
    // portable program, else the user's Pictures folder (XDG), or the home folder without one.
    const QString& pictureFolder() const { return pictures_; }

    // The catalogue to read: an updated one in the data folder wins over the shipped one.
    QString catalogueToRead(const QString& fileName) const;
    // Where a downloaded catalogue is installed.
    QString catalogueToWrite(const QString& fileName) const { return data_ + fileName; }

    // Creates the folders the program writes to; false when one cannot be made.
    bool createWritableFolders() const;

  private:
    bool portable_ = true;
    QString program_, settings_, data_, work_, pictures_;
};
