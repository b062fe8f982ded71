// The program as a desktop starts it: "Open with" on a picture of any readable name, a second start
// while a window runs, and the answers given on the terminal.
#include "app/OptionVersionPage.h"
#include "app/ProgramSession.h"
#include "app/TfrMain.h"
#include "catalogue/pages/ModelSelectPage.h"
#include "foundation/Cp932.h"
#include "foundation/ProgramFolders.h"
#include "imaging/codecs/ImageFile.h"
#include "imaging/codecs/PictureFormats.h"
#include "support/ScriptedPrompts.h"

#include <QtCore/QDir>
#include <QtCore/QEventLoop>
#include <QtCore/QFile>
#include <QtCore/QMimeDatabase>
#include <QtCore/QProcess>
#include <QtCore/QRegularExpression>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtWidgets/QLabel>
#include <gtest/gtest.h>

#include <tiffio.h>

namespace {

const QString programFolder = QStringLiteral(PICTOREL_BINARY_DIR "/program/");

void writeCatalogue(const QString& folder)
{
    QFile catalogue(folder + QStringLiteral("/mp_dat.sys"));
    ASSERT_TRUE(catalogue.open(QIODevice::WriteOnly));
    catalogue.write(Cp932::encode(
        QStringLiteral("キャリア,機種名,画面,備考,横,縦,色数,容量\r\nDoCoMo,F900i,メイン,,240,320,18,97600\r\n")));
}

QImage photo(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(QColor(200, 90, 30));
    return image;
}

// A strip TIFF written with libtiff itself, as a scanner would.
bool writeTiff(const QString& path, const QImage& image)
{
    TIFF* tif = TIFFOpen(QFile::encodeName(path).constData(), "w");
    if (!tif)
        return false;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, image.width());
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, image.height());
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    bool written = true;
    for (int y = 0; y < image.height() && written; ++y)
        written = TIFFWriteScanline(tif, const_cast<uchar*>(image.constScanLine(y)), uint32_t(y), 0) == 1;
    TIFFClose(tif);
    return written;
}

// Stored settings stand-in: DoCoMo's F900i, and nothing sent anywhere.
StartupHooks quietHooks(ProgramSession*& running)
{
    StartupHooks hooks;
    hooks.loadSettings = [&running] { running->frMain()->tsSelectMP->setCarrierText(QStringLiteral("DoCoMo")); };
    hooks.saveSettings = [] {};
    hooks.updateCatalogue = [] {};
    hooks.loadBanner = [] {};
    return hooks;
}

struct Finished
{
    int status = -1; // -1: crashed or did not end in time
    QString output;
};

// Runs a command while this process's event loop goes on, so a window of ours can answer it.
Finished run(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment,
             const QString& workingFolder = {})
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (!workingFolder.isEmpty())
        process.setWorkingDirectory(workingFolder);
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    process.start(program, arguments);
    loop.exec();
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        return {-1, QString::fromLocal8Bit(process.readAll())};
    }
    const int status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return {status, QString::fromLocal8Bit(process.readAll())};
}

void processEventsFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

// The file manager offers "Open with Pictorel" for every name of the types the entry lists.
TEST(DesktopStart, EveryNameOfTheDesktopEntrysTypesIsAccepted)
{
    QFile entry(QStringLiteral(PICTOREL_SOURCE_DIR "/data/pictorel.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    static const QRegularExpression line(QStringLiteral("^MimeType=(.*)$"), QRegularExpression::MultilineOption);
    const QStringList types =
        line.match(QString::fromUtf8(entry.readAll())).captured(1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    ASSERT_FALSE(types.isEmpty());
    for (const QString& name : types) {
        const QMimeType type = QMimeDatabase().mimeTypeForName(name);
        ASSERT_TRUE(type.isValid()) << name.toStdString();
        for (const QString& suffix : type.suffixes())
            for (const QString& file : {QStringLiteral("a.") + suffix, QStringLiteral("a.") + suffix.toUpper()})
                EXPECT_TRUE(PictureFormats::hasReadableExtension(file)) << file.toStdString();
    }
}

TEST(DesktopStart, OpenWithLoadsAPictureOfAnyReadableName)
{
    for (const char* name : {"photo.jpeg", "photo.JPG", "scan.tiff"}) {
        SCOPED_TRACE(name);
        QTemporaryDir folder;
        writeCatalogue(folder.path());
        const QString picture = folder.filePath(QLatin1String(name));
        const QImage original = photo(90, 70);
        ASSERT_TRUE(QLatin1String(name).endsWith(QLatin1String("tiff"))
                        ? writeTiff(picture, original)
                        : ImageFile::save(original, picture, FileFormat::Jpeg, EncodeOptions{90, 2, {}}));
        ScriptedPrompts prompts;
        ProgramSession* running = nullptr;
        ProgramSession session(prompts, folder.path(), quietHooks(running));
        running = &session;
        session.start({picture});
        EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.texts().join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(session.workbench().geometry.baseWidth, 90);
        EXPECT_EQ(session.workbench().geometry.baseHeight, 70);
    }
}

// The second start is the real program, copied into the folder of the window running here.
TEST(DesktopStart, ASecondStartHandsItsPictureToTheRunningWindowAndEnds)
{
    QTemporaryDir folder;
    writeCatalogue(folder.path());
    QFile(folder.filePath(ProgramFolders::portableMarker())).open(QIODevice::WriteOnly);
    const QString second = folder.filePath(QStringLiteral("pictorel"));
    ASSERT_TRUE(QFile::copy(programFolder + QStringLiteral("pictorel"), second));
    QTemporaryDir pictures;
    ASSERT_TRUE(ImageFile::save(photo(120, 80), pictures.filePath(QStringLiteral("photo.jpeg")), FileFormat::Jpeg,
                                EncodeOptions{90, 2, {}}));

    ScriptedPrompts prompts;
    ProgramSession* running = nullptr;
    ProgramSession first(prompts, folder.path(), quietHooks(running));
    running = &first;
    first.start();
    ASSERT_FALSE(first.ended());
    first.frMain()->showMinimized();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // A name relative to the folder the second start was made in.
    const Finished handed = run(second, {QStringLiteral("photo.jpeg")}, environment, pictures.path());
    EXPECT_EQ(handed.status, 0) << handed.output.toStdString();
    processEventsFor(200);
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(first.workbench().geometry.baseWidth, 120);
    EXPECT_FALSE(first.frMain()->isMinimized());
    EXPECT_EQ(first.workbench().loader.lastLoadFolder(), pictures.path() + QLatin1Char('/'));

    first.frMain()->showMinimized();
    const Finished raised = run(second, {}, environment);
    EXPECT_EQ(raised.status, 0) << raised.output.toStdString();
    processEventsFor(200);
    EXPECT_FALSE(first.frMain()->isMinimized());
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(first.workbench().geometry.baseWidth, 120);
}

TEST(DesktopStart, VersionAndHelpAnswerWithoutADisplayWithOneVersionNumber)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    const QRegularExpression version(QStringLiteral(R"(^(pictorel|pictorel-cli) (\d+(?:\.\d+){2,3})\n$)"));
    QStringList numbers;
    for (const char* program : {"pictorel", "pictorel-cli"}) {
        const Finished answer = run(programFolder + QLatin1String(program), {QStringLiteral("--version")}, environment);
        EXPECT_EQ(answer.status, 0) << program;
        const QRegularExpressionMatch match = version.match(answer.output);
        ASSERT_TRUE(match.hasMatch()) << answer.output.toStdString();
        EXPECT_EQ(match.captured(1), QLatin1String(program));
        numbers << match.captured(2);
    }
    EXPECT_EQ(numbers.first(), numbers.last());
    // The options dialog's version page names the same number.
    const OptionVersionPage page;
    const QList<QLabel*> labels = page.findChildren<QLabel*>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [&numbers](const QLabel* label) {
        return label->text() == QStringLiteral("Version ") + numbers.first();
    }));
    EXPECT_EQ(numbers.first(), QStringLiteral("1.1.0.0"));
    const Finished help = run(programFolder + QStringLiteral("pictorel"), {QStringLiteral("--help")}, environment);
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.output.startsWith(QStringLiteral("Usage: pictorel"))) << help.output.toStdString();
}
