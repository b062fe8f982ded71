#include "app/SettingsFile.h"

#include "foundation/IniFile.h"
#include "foundation/OptionsSettings.h"

#include <QtCore/QFileInfo>

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

void readModel(const IniFile& file, StoredSettings& s)
{
    const StoredSettings d;
    s.carrier = file.readString(modelSection, key("Carrier"), d.carrier);
    s.phone = file.readString(modelSection, key("Phone"), d.phone);
    s.mpWidth = file.readInteger(modelSection, key("MpWidth"), d.mpWidth);
    s.mpHeight = file.readInteger(modelSection, key("MpHeight"), d.mpHeight);
    s.mpCol = file.readInteger(modelSection, key("MpCol"), d.mpCol);
    s.mpFS = file.readInteger(modelSection, key("MpFS"), d.mpFS);
}

void writeModel(IniFile& file, const StoredSettings& s)
{
    file.writeString(modelSection, key("Carrier"), s.carrier);
    file.writeString(modelSection, key("Phone"), s.phone);
    file.writeInteger(modelSection, key("MpWidth"), s.mpWidth);
    file.writeInteger(modelSection, key("MpHeight"), s.mpHeight);
    file.writeInteger(modelSection, key("MpCol"), s.mpCol);
    file.writeInteger(modelSection, key("MpFS"), s.mpFS);
}

void writePen(IniFile& file, const PenLook& pen)
{
    file.writeInteger(penSection, key("LineWidth"), pen.lineWidth);
    file.writeInteger(penSection, key("LineColor"), pen.lineColor);
    file.writeInteger(penSection, key("FillColor"), pen.fillColor);
    file.writeBool(penSection, key("CheckFill"), pen.checkFill);
}

TextToolSettings readText(const IniFile& file)
{
    TextToolSettings t;
    t.direction = file.readString(textSection, key("TextDirection"), t.direction);
    t.angle = file.readString(textSection, key("TextAngle"), t.angle);
    t.shadowPosition = file.readString(textSection, key("ShadowPos"), t.shadowPosition);
    t.shadowDistance = file.readInteger(textSection, key("ShadowDistance"), t.shadowDistance);
    t.fontColor = file.readInteger(textSection, key("FontColor"), t.fontColor);
    t.shadowColor = file.readInteger(textSection, key("ShadowColor"), t.shadowColor);
    t.shadow = file.readBool(textSection, key("CheckShadow"), t.shadow);
    t.fontName = file.readString(textSection, key("FontName"), t.fontName);
    t.fontSize = file.readInteger(textSection, key("FontSize"), t.fontSize);
    return t;
}

void writeText(IniFile& file, const TextToolSettings& t)
{
    file.writeString(textSection, key("TextDirection"), t.direction);
    file.writeString(textSection, key("TextAngle"), t.angle);
    file.writeString(textSection, key("ShadowPos"), t.shadowPosition);
    file.writeInteger(textSection, key("ShadowDistance"), t.shadowDistance);
    file.writeInteger(textSection, key("FontColor"), t.fontColor);
    file.writeInteger(textSection, key("ShadowColor"), t.shadowColor);
    file.writeBool(textSection, key("CheckShadow"), t.shadow);
    file.writeString(textSection, key("FontName"), t.fontName);
    file.writeInteger(textSection, key("FontSize"), t.fontSize);
}

void writeCalendar(IniFile& file, const CalendarLook& c)
{
    file.writeInteger(calendarSection, key("HSpace"), c.horizontalSpace);
    file.writeInteger(calendarSection, key("VSpace"), c.verticalSpace);
    file.writeInteger(calendarSection, key("FontColor"), c.fontColor);
    file.writeString(calendarSection, key("FontName"), c.fontName);
    file.writeInteger(calendarSection, key("FontSize"), c.fontSize);
}

} // namespace

QString SettingsFile::pathFor(const QString& folder, const QString& executablePath)
{
    return folder + QFileInfo(executablePath).fileName() + QStringLiteral(".ini");
}

void SettingsFile::read(const IniFile& file, StoredSettings& s, const QString& programFolder)
{
    const StoredSettings d;
    s.mainWindow = readPlace(file, mainSection, d.mainWindow);
    s.subWindow = readPlace(file, viewSection, d.subWindow);
    s.optionsDialog = readPlace(file, optionSection, d.optionsDialog);
    readModel(file, s);
    s.loadFolder = file.readString(pathSection, key("Load"), programFolder);
    s.saveFolder = file.readString(pathSection, key("Save"), programFolder);
    s.pen = PenLook{};
    s.text = readText(file);
    s.calendar = CalendarLook{};
    OptionsSettings::read(file, s.options);
    s.panels.resetToCentre();
}

void SettingsFile::write(IniFile& file, const StoredSettings& s)
{
    writePlace(file, mainSection, s.mainWindow);
    writePlace(file, viewSection, s.subWindow);
    writePlace(file, optionSection, s.optionsDialog);
    writeModel(file, s);
    file.writeString(pathSection, key("Load"), s.loadFolder);
    file.writeString(pathSection, key("Save"), s.saveFolder);
    writePen(file, s.pen);
    writeText(file, s.text);
    writeCalendar(file, s.calendar);
    OptionsSettings::write(file, s.options, s.panels);
}

void SettingsFile::LoadSettings(StoredSettings& settings) const
{
    read(IniFile(path_), settings, programFolder_);
}

bool SettingsFile::SaveSettings(const StoredSettings& settings, QString* error) const
{
    IniFile file(path_); // keeps what the program does not know
    write(file, settings);
    return file.save(IniFile::Access::OwnerOnly, error);
}
