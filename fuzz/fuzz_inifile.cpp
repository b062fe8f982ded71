// INI files: a file read and written back unchanged keeps its bytes when it is in the form the
// program writes (CP932, CR LF lines); any file becomes that form after one round; a value written
// reads back.
#include "FuzzCheck.h"

#include "foundation/Cp932.h"
#include "foundation/IniFile.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFile>

namespace {

QByteArray roundTrip(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size());
    file.close();
    FUZZ_CHECK(IniFile(path).save());
    FUZZ_CHECK(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

// What the writer itself produces: every line ends with CR LF and the text survives the code page.
bool inWrittenForm(const QByteArray& bytes)
{
    const QString text = Cp932::decode(bytes);
    if (Cp932::encode(text) != bytes || (!text.isEmpty() && !text.endsWith(QLatin1String("\r\n"))))
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('\r') && (i + 1 >= text.size() || text.at(i + 1) != QLatin1Char('\n')))
            return false;
        if (text.at(i) == QLatin1Char('\n') && (i == 0 || text.at(i - 1) != QLatin1Char('\r')))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QString path =
        QDir::tempPath() + QStringLiteral("/pictorel-fuzz-%1.ini").arg(QCoreApplication::applicationPid());
    const QByteArray input = fuzzBytes(data, size);
    const QByteArray once = roundTrip(path, input);
    if (inWrittenForm(input))
        FUZZ_CHECK(once == input);
    FUZZ_CHECK(roundTrip(path, once) == once);

    IniFile ini(path);
    ini.writeString(QStringLiteral("Fuzz Section"), QStringLiteral("Key"), QStringLiteral("value 1"));
    FUZZ_CHECK(ini.save());
    FUZZ_CHECK(IniFile(path).readString(QStringLiteral("fuzz section"), QStringLiteral("KEY")) ==
               QStringLiteral("value 1"));
    return 0;
}
