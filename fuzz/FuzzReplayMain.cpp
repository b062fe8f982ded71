// Without libFuzzer (GCC): runs the target once over each file given, or each file of each folder
// given, so the seed corpora and the reproducers still replay under the sanitizers.
#include <QtCore/QDirIterator>
#include <QtCore/QFile>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

void replay(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        std::exit(1);
    }
    const QByteArray bytes = file.readAll();
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 0;
    for (int i = 1; i < argc; ++i) {
        const QString path = QFile::decodeName(argv[i]);
        if (path.startsWith(QLatin1Char('-')))
            continue; // libFuzzer options such as -runs=0
        if (!QFileInfo(path).isDir()) {
            replay(path), ++runs;
            continue;
        }
        for (QDirIterator it(path, QDir::Files); it.hasNext();)
            replay(it.next()), ++runs;
    }
    std::printf("replayed %d inputs\n", runs);
    return 0;
}
