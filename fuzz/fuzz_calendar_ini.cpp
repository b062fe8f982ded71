// libFuzzer entry for the "Calender.ini" reader: any file reads without a crash, holds at most 512
// holiday rules, and what a save writes reads back as the same settings.
#include "decoration/CalendarSettingsFile.h"
#include "foundation/IniFile.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace {

QString writeInput(const QTemporaryDir& folder, const char* name, const uint8_t* data, size_t size)
{
    const QString path = folder.filePath(QLatin1String(name));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        __builtin_trap();
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir folder;
    const QString input = writeInput(folder, "in.ini", data, size);
    const CalendarSettings read = CalendarSettingsFile::load(input);
    if (read.holidays.count() > HolidayList::Capacity)
        __builtin_trap();
    // Written into a fresh file and into the input itself (which keeps the sections it does not own).
    const QString fresh = folder.filePath(QStringLiteral("fresh.ini"));
    QFile::remove(fresh);
    for (const QString& path : {fresh, input}) {
        if (!CalendarSettingsFile::save(read, path))
            __builtin_trap();
        if (!(CalendarSettingsFile::load(path) == read))
            __builtin_trap();
    }
    return 0;
}
