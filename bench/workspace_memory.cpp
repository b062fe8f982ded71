// Peak memory of loading and of every picture operation, each measured in a process of its own:
//   - loading a progressive JPEG that must be turned (EXIF orientation 6), a baseline one, and the
//     file of 990 empty progressive scans (goal: at most about 1.2 x the decoded picture plus the file)
//   - each of the eighteen operations on the whole picture (goal: at most two full-size pictures
//     besides its input)
// Usage: bench_workspace_memory [MEGAPIXELS]   (default 24, a 6000 x 4000 photo)
// The figure is the growth of the resident set over what was there before the step began
// (Linux: /proc/self/clear_refs resets the peak).
#include "foundation/ProgramOptions.h"
#include "imaging/codecs/ImageFile.h"
#include "workspace/ImageOperations.h"
#include "workspace/StandardOperations.h"
#include "workspace/UndoHistory.h"
#include "workspace/Workspace.h"

#include "QuietPrompts.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <functional>
#include <jpeglib.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A /proc/self/status field in kB.
long statusKb(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Runs step in a child process and returns how far its resident set grew, in MB (-1: failed).
double peakGrowthMb(const std::function<void()>& prepare, const std::function<bool()>& step)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        prepare();
        const long before = statusKb("VmRSS:");
        QFile reset(QStringLiteral("/proc/self/clear_refs"));
        if (!reset.open(QIODevice::WriteOnly) || reset.write("5") != 1)
            _exit(3);
        reset.close();
        const bool ok = step();
        const double grown = ok ? double(statusKb("VmHWM:") - before) / 1024.0 : -1.0;
        if (write(pipeEnds[1], &grown, sizeof grown) != sizeof grown)
            _exit(4);
        _exit(0);
    }
    close(pipeEnds[1]);
    double grown = -1;
    if (read(pipeEnds[0], &grown, sizeof grown) != sizeof grown)
        grown = -1;
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return grown;
}

// A photo-like picture: gradients with detail, so that codecs and effects do real work.
QImage makePicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = uchar(x * 255 / width);
            row[3 * x + 1] = uchar(y * 255 / height);
            row[3 * x + 2] = uchar(128 + 100 * std::sin(x * 0.05) * std::cos(y * 0.03));
        }
    }
    return image;
}

// The EXIF block that says "turn a quarter to the right to show" (orientation 6), little-endian.
QByteArray exifOrientation6()
{
    QByteArray exif("Exif\0\0II*\0\x08\0\0\0", 14);
    const char entry[] = {1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0, 6, 0, 0, 0, 0, 0, 0, 0};
    exif.append(entry, sizeof entry);
    return exif;
}

bool writeJpeg(const QImage& picture, const QString& path, bool progressive)
{
    FILE* out = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!out)
        return false;
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, out);
    cinfo.image_width = JDIMENSION(picture.width());
    cinfo.image_height = JDIMENSION(picture.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    if (progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    if (progressive) {
        const QByteArray exif = exifOrientation6();
        jpeg_write_marker(&cinfo, JPEG_APP0 + 1, reinterpret_cast<const JOCTET*>(exif.constData()),
                          unsigned(exif.size()));
    }
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(picture.constScanLine(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(out) == 0;
}

const char* const operationNames[] = {"rotate left", "rotate right", "flip vertical", "flip horizontal", "darken",
                                      "brighten",    "remove noise", "smooth",        "sharpen",         "mono",
                                      "sepia",       "oil paint",    "canvas",        "ripple",          "wave",
                                      "lens",        "mosaic",       "blur"};

void reportLoad(const char* label, const QString& path, double pictureMb)
{
    const double fileMb = double(QFile(path).size()) / (1024.0 * 1024.0);
    const double grown = peakGrowthMb([] {}, [&] { return ImageFile::load(path).ok(); });
    std::printf("%-34s peak +%8.1f MB = %5.2f x (picture + file)   (goal <= about 1.2)\n", label, grown,
                grown / (pictureMb + fileMb));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const double megapixels = argc > 1 ? std::atof(argv[1]) : 24.0;
    const int width = int(std::lround(std::sqrt(megapixels * 1e6 * 1.5)));
    const int height = int(std::lround(width / 1.5));
    const QImage picture = makePicture(width, height);
    const double pictureMb = double(picture.sizeInBytes()) / (1024.0 * 1024.0);
    std::printf("Picture %d x %d, %.1f MB as 24-bit RGB\n\n", width, height, pictureMb);

    QTemporaryDir folder;
    const QString progressive = folder.filePath(QStringLiteral("turned-progressive.jpg"));
    const QString baseline = folder.filePath(QStringLiteral("baseline.jpg"));
    if (!writeJpeg(picture, progressive, true) || !writeJpeg(picture, baseline, false)) {
        std::fprintf(stderr, "cannot write the test pictures in %s\n", qPrintable(folder.path()));
        return 1;
    }
    reportLoad("load progressive JPEG, turned", progressive, pictureMb);
    reportLoad("load baseline JPEG", baseline, pictureMb);
    const QString scans = QStringLiteral(PICTOREL_SOURCE_DIR "/fuzz/corpus/decode/many_scans.jpg");
    const double scansGrown = peakGrowthMb([] {}, [&] { return !ImageFile::load(scans).ok(); });
    std::printf("%-34s peak +%8.1f MB, refused: %s\n\n", "load 990 empty progressive scans", std::max(scansGrown, 0.0),
                scansGrown >= 0 ? "yes" : "NO");

    QuietPrompts prompts;
    ProgramOptions options;
    WorkspaceGeometry geometry;
    UndoHistory undo(folder.path() + QLatin1Char('/'), UndoStorage::NewestInMemory);
    Workspace workspace(geometry, undo, options);
    OperationLog log = OperationLog::inMemory();
    ImageOperations operations(workspace, undo, log, options, prompts);
    defineStandardOperations(operations);
    const OperationRegion whole{{0, width, width, 0}, {0, 0, height, height}};
    std::printf("%-34s %s\n", "operation on the whole picture", "peak besides its input (goal <= 2 pictures)");
    for (int id = int(OperationId::RotateLeft); id <= int(OperationId::Blur); ++id) {
        const ImageOperation* operation = operations.find(OperationId(id));
        if (!operation)
            continue;
        QImage result;
        const double grown = peakGrowthMb([] {},
                                          [&] {
                                              result = operation->apply(picture, whole, options);
                                              return !result.isNull();
                                          });
        std::printf("  %-32s +%8.1f MB = %5.2f pictures\n", operationNames[id - int(OperationId::RotateLeft)], grown,
                    grown / pictureMb);
    }
    return 0;
}
