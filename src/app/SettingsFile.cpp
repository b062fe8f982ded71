#include "app/SettingsFile.h"

#include "foundation/IniFile.h"
#include "foundation/OptionsSettings.h"

#include <QtCore/QFileInfo>

#include <variant>

namespace {

const QString mainSection = QStringLiteral("メイン画面");
const QString viewSection = QStringLiteral("元画像プレビュー画面");
const QString optionSection = QStringLiteral("オプション設定画面");
const QString modelSection = QStringLiteral("対応機種");
const QString pathSection = QStringLiteral("パス");
const QString penSection = QStringLiteral("絵・文字：絵を描く");
const QString textSection = QStringLiteral("絵・文字：文字を書く");
const QString calendarSection = QStringLiteral("絵・文字：カレンダー");

QString key(const char* name)
{
    return QString::fromLatin1(name);
}

WindowPlace readPlace(const IniFile& file, const QString& section, WindowPlace fallback)
{
    return {file.readInteger(section, key("Top"), fallback.top), file.readInteger(section, key("Left"), fallback.left)};
}

void writePlace(IniFile& file, const QString& section, WindowPlace place)
{
    file.writeInteger(section, key("Top"), place.top);
    file.writeInteger(section, key("Left"), place.left);
}

// One stored value: its key, and the member it is read into and written from.
template <typename Owner> struct Field
{
    const char* key;
    std::variant<QString Owner::*, int Owner::*, bool Owner::*> member;
};

QString readValue(const IniFile& f, const QString& section, const QString& k, const QString& fallback)
{
    return f.readString(section, k, fallback);
}
int readValue(const IniFile& f, const QString& section, const QString& k, int fallback)
{
    return f.readInteger(section, k, fallback);
}
bool readValue(const IniFile& f, const QString& section, const QString& k, bool fallback)
{
    return f.readBool(section, k, fallback);
}
void writeValue(IniFile& f, const QString& section, const QString& k, const QString& value)
{
    f.writeString(section, k, value);
}
void writeValue(IniFile& f, const QString& section, const QString& k, int value)
{
    f.writeInteger(section, k, value);
}
void writeValue(IniFile& f, const QString& section, const QString& k, bool value)
{
    f.writeBool(section, k, value);
}

// A missing or unreadable value reads as the owner's default.
template <typename Owner, size_t N>
void readFields(const IniFile& file, const QString& section, const Field<Owner> (&fields)[N], Owner& into)
{
    const Owner defaults{};
    for (const Field<Owner>& field : fields)
        std::visit([&](auto member) { into.*member = readValue(file, section, key(field.key), defaults.*member); },
                   field.member);
}

template <typename Owner, size_t N>
void writeFields(IniFile& file, const QString& section, const Field<Owner> (&fields)[N], const Owner& from)
{
    for (const Field<Owner>& field : fields)
        std::visit([&](auto member) { writeValue(file, section, key(field.key), from.*member); }, field.member);
}

const Field<StoredSettings> modelFields[] = {
    {"Carrier", &StoredSettings::carrier},   {"Phone", &StoredSettings::phone}, {"MpWidth", &StoredSettings::mpWidth},
    {"MpHeight", &StoredSettings::mpHeight}, {"MpCol", &StoredSettings::mpCol}, {"MpFS", &StoredSettings::mpFS},
};

const Field<PenLook> penFields[] = {
    {"LineWidth", &PenLook::lineWidth},
    {"LineColor", &PenLook::lineColor},
    {"FillColor", &PenLook::fillColor},
    {"CheckFill", &PenLook::checkFill},
};

const Field<TextToolSettings> textFields[] = {
    {"TextDirection", &TextToolSettings::direction},  {"TextAngle", &TextToolSettings::angle},
    {"ShadowPos", &TextToolSettings::shadowPosition}, {"ShadowDistance", &TextToolSettings::shadowDistance},
    {"FontColor", &TextToolSettings::fontColor},      {"ShadowColor", &TextToolSettings::shadowColor},
    {"CheckShadow", &TextToolSettings::shadow},       {"FontName", &TextToolSettings::fontName},
    {"FontSize", &TextToolSettings::fontSize},
};

const Field<CalendarLook> calendarFields[] = {
    {"HSpace", &CalendarLook::horizontalSpace}, {"VSpace", &CalendarLook::verticalSpace},
    {"FontColor", &CalendarLook::fontColor},    {"FontName", &CalendarLook::fontName},
    {"FontSize", &CalendarLook::fontSize},
};

} // namespace

QString SettingsFile::pathFor(const QString& folder, const QString& executablePath)
{
    return folder + QFileInfo(executablePath).fileName() + QStringLiteral(".ini");
}

void SettingsFile::read(const IniFile& file, StoredSettings& s, const QString& pictureFolder)
{
    const StoredSettings d;
    s.mainWindow = readPlace(file, mainSection, d.mainWindow);
    s.subWindow = readPlace(file, viewSection, d.subWindow);
    s.optionsDialog = readPlace(file, optionSection, d.optionsDialog);
    readFields(file, modelSection, modelFields, s);
    s.loadFolder = file.readString(pathSection, key("Load"), pictureFolder);
    s.saveFolder = file.readString(pathSection, key("Save"), pictureFolder);
    s.pen = PenLook{};
    readFields(file, textSection, textFields, s.text);
    s.calendar = CalendarLook{};
    OptionsSettings::read(file, s.options);
    s.panels.resetToCentre();
}

void SettingsFile::write(IniFile& file, const StoredSettings& s)
{
    writePlace(file, mainSection, s.mainWindow);
    writePlace(file, viewSection, s.subWindow);
    writePlace(file, optionSection, s.optionsDialog);
    writeFields(file, modelSection, modelFields, s);
    file.writeString(pathSection, key("Load"), s.loadFolder);
    file.writeString(pathSection, key("Save"), s.saveFolder);
    writeFields(file, penSection, penFields, s.pen);
    writeFields(file, textSection, textFields, s.text);
    writeFields(file, calendarSection, calendarFields, s.calendar);
    OptionsSettings::write(file, s.options, s.panels);
}

IniFile& SettingsFile::content() const
{
    if (!content_)
        content_.emplace(path_);
    return *content_;
}

void SettingsFile::LoadSettings(StoredSettings& settings) const
{
    read(content(), settings, pictureFolder_);
}

bool SettingsFile::SaveSettings(const StoredSettings& settings, QString* error) const
{
    IniFile& file = content(); // keeps what the program does not know
    write(file, settings);
    return file.save(IniFile::Access::OwnerOnly, error);
}
