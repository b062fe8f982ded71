// libFuzzer entry for the settings file reader: any file reads without a crash, and what the
// program writes back into it reads again as the same settings.
#include "app/SettingsFile.h"
#include "foundation/IniFile.h"

#include <cstddef>
#include <cstdint>

namespace {

const QString programFolder = QStringLiteral("/opt/pictorel/");

// Shutdown's write: into the file as it was, keeping what the program does not know.
StoredSettings writtenAndRead(const QByteArray& file, const StoredSettings& settings, QByteArray* written)
{
    IniFile ini(QString(), file);
    SettingsFile::write(ini, settings);
    *written = ini.bytes();
    StoredSettings back;
    SettingsFile::read(IniFile(QString(), *written), back, programFolder);
    return back;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    StoredSettings first;
    SettingsFile::read(IniFile(QString(), bytes), first, programFolder);
    // The first write turns what the code page cannot hold into '?'; from then on the values are
    // the program's own and must come back exactly.
    QByteArray once;
    const StoredSettings second = writtenAndRead(bytes, first, &once);
    QByteArray twice;
    const StoredSettings third = writtenAndRead(once, second, &twice);
    if (!(second == third) || once != twice)
        __builtin_trap();
    return 0;
}
