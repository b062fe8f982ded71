// The installed program, run by a user who cannot write to its folder, and the portable one.
#include "app/ProgramIcon.h"
#include "app/ProgramSession.h"
#include "app/SettingsFile.h"
#include "app/TfrMain.h"
#include "catalogue/pages/ModelSelectPage.h"
#include "decoration/pages/TfrCalender.h"
#include "foundation/Cp932.h"
#include "foundation/ProgramFolders.h"
#include "imaging/codecs/ImageFile.h"
#include "support/QuietStart.h"
#include "support/ScriptedPrompts.h"
#include "widgets/ImageDisplay.h"
#include "workspace/OperationLog.h"
#include "workspace/pages/LoadImagePage.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QProcess>
#include <QtCore/QRegularExpression>
#include <QtCore/QStandardPaths>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtGui/QGuiApplication>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialog>
#include <QtWidgets/QPushButton>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

constexpr uid_t unprivilegedId = 65534; // "nobody", on every Debian system

QImage photo()
{
    QImage image(400, 300, QImage::Format_RGB888);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixelColor(x, y, QColor((x * 5) % 256, (y * 3) % 256, (x + y) % 256));
    return image;
}

QStringList filesUnder(const QString& folder)
{
    QStringList files;
    const QDir root(folder);
    for (const QFileInfo& info : root.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot))
        files << (info.isDir() ? filesUnder(info.filePath()) : QStringList{root.relativeFilePath(info.filePath())});
    return files;
}

// Where the program is expected to write each kind of file.
struct ExpectedFolders
{
    QString work;     // undo images, send files
    QString data;     // operation log
    QString settings; // settings, "Calender.ini"
    QString pictures; // where the open and save dialogs start
};

// Starts a send and turns it down at the preview, telling whether the send file was there to preview.
bool sendFileShownInPreview(ProgramSession& session, const QString& sendFile)
{
    bool shown = false;
    // Asked until the preview is up: the progress dialog lets the window system show it first.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&answer, &shown, sendFile] {
        if (QDialog* preview = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            shown = QFileInfo(sendFile).isFile();
            preview->reject();
            answer.stop();
        }
    });
    answer.start(10);
    session.frMain()->btSend->click();
    return shown;
}

// Loads the picture given at start-up, applies an effect, undoes it, applies it again, saves,
// prepares a send and stores the calendar settings, checking that every file the program writes
// is where `where` says.
void loadEditUndoSave(const QString& programFolder, const QString& picture, const ExpectedFolders& where,
                      const QString& saved)
{
    const QString& work = where.work;
    const QString& data = where.data;
    ScriptedPrompts prompts;
    StartupHooks hooks = bannerless();
    ProgramSession* running = nullptr;
    // What the stored settings would do: choose a carrier, whose first model is then applied.
    hooks.loadSettings = [&running] { running->frMain()->tsSelectMP->setCarrierText(QStringLiteral("DoCoMo")); };
    ProgramSession session(prompts, ProgramFolders::forProgram(programFolder), hooks);
    running = &session;
    session.start({picture});
    ASSERT_TRUE(prompts.shown.isEmpty()) << prompts.texts().join(QLatin1Char('\n')).toStdString();
    Workbench& bench = session.workbench();
    EXPECT_FALSE(session.frMain()->IkDispMain->image().isNull());
    bench.undo.finishWriting();
    EXPECT_TRUE(QFileInfo(work + QStringLiteral("temp-0.bmp")).isFile());

    ASSERT_TRUE(bench.operations.run(OperationId::Sepia));
    EXPECT_TRUE(QFileInfo(work + QStringLiteral("temp-1.bmp")).isFile());
    EXPECT_EQ(OperationLog(data).count(), 1);
    session.frMain()->btUndo->click();
    EXPECT_FALSE(QFile::exists(work + QStringLiteral("temp-1.bmp")));
    EXPECT_EQ(OperationLog(data).count(), 0);
    ASSERT_TRUE(bench.operations.run(OperationId::Mono));

    prompts.saveFileNames.enqueue(saved);
    session.frMain()->btSave->click();
    ASSERT_FALSE(prompts.fileRequests.isEmpty());
    EXPECT_EQ(prompts.fileRequests.last().folder, where.pictures);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, MessageKind::Information) << prompts.shown[0].text.toStdString();
    EXPECT_TRUE(ImageFile::load(saved).ok());

    EXPECT_TRUE(sendFileShownInPreview(session, work + QStringLiteral("send_img.jpg")));
    TfrCalender* calendar = nullptr;
    for (QWidget* window : session.windows())
        if (auto* found = qobject_cast<TfrCalender*>(window))
            calendar = found;
    ASSERT_NE(calendar, nullptr);
    ASSERT_TRUE(calendar->Save());
    EXPECT_TRUE(QFileInfo(where.settings + QStringLiteral("Calender.ini")).isFile());

    session.frMain()->btEnd->click();
    EXPECT_TRUE(session.ended());
    EXPECT_FALSE(QFile::exists(work + QStringLiteral("temp-0.bmp")));
    EXPECT_FALSE(QFile::exists(work + QStringLiteral("send_img.jpg")));
    EXPECT_TRUE(QFileInfo(SettingsFile::pathFor(where.settings, QCoreApplication::applicationFilePath())).isFile());
}

// The same process run as another user (or, for a user that is not root, as itself after the
// program folder was made read-only), in the installed-program child mode below.
struct Runner
{
    QStringList prefix; // what runs a command as that user
    QString skipReason;
};

Runner runnerFor(const QString& home, const QString& installed)
{
    if (::geteuid() != 0) {
        QProcess::execute(QStringLiteral("chmod"), {QStringLiteral("-R"), QStringLiteral("a-w"), installed});
        return {};
    }
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (setpriv.isEmpty())
        return {{},
                QStringLiteral("running as root and setpriv (util-linux) is missing: no way to become an "
                               "unprivileged user")};
    if (::chown(QFile::encodeName(home).constData(), unprivilegedId, unprivilegedId) != 0)
        return {{}, QStringLiteral("cannot give the test home folder to uid 65534")};
    const QString id = QString::number(unprivilegedId);
    return {{setpriv, QStringLiteral("--reuid=") + id, QStringLiteral("--regid=") + id,
             QStringLiteral("--clear-groups"), QStringLiteral("--")},
            {}};
}

int runAs(const Runner& runner, const QStringList& command, const QProcessEnvironment& environment, QString* output)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (environment.contains(QStringLiteral("PICTOREL_INSTALLED")))
        process.setWorkingDirectory(environment.value(QStringLiteral("HOME")));
    const QStringList all = runner.prefix + command;
    process.start(all.first(), all.mid(1));
    process.waitForFinished(240000);
    *output = QString::fromLocal8Bit(process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// The library search path written into a program, as readelf shows it; empty when there is none.
QString librarySearchPath(const QString& program)
{
    QProcess readelf;
    readelf.start(QStringLiteral("readelf"), {QStringLiteral("-d"), program});
    if (!readelf.waitForFinished() || readelf.exitCode() != 0)
        return QStringLiteral("(readelf failed)");
    static const QRegularExpression entry(QStringLiteral(R"(\((?:RPATH|RUNPATH)\)\s+Library r(?:un)?path: \[(.*)\])"));
    const QRegularExpressionMatch match = entry.match(QString::fromLocal8Bit(readelf.readAll()));
    return match.hasMatch() ? QStringLiteral("[") + match.captured(1) + QLatin1Char(']') : QString();
}

} // namespace

// An empty entry in a program's library search path makes the loader look in the current folder,
// so a library planted where the program is started from would run in it.
TEST(InstalledProgram, NoProgramLooksForLibrariesInTheCurrentFolder)
{
    for (const char* name : {"pictorel", "pictorel-cli", "pictorel-cli-engine"})
        EXPECT_EQ(librarySearchPath(QStringLiteral(PICTOREL_BINARY_DIR "/program/") + QLatin1String(name)), QString())
            << name;
}

TEST(InstalledProgram, RunsForAUserWhoCannotWriteToItsFolder)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    QFile::setPermissions(root.path(), QFileDevice::Permissions(0x7755));
    const QString prefix = root.filePath(QStringLiteral("usr"));
    const QString installed = prefix + QStringLiteral("/lib/pictorel/");
    QString log;
    ASSERT_EQ(runAs({},
                    {QStringLiteral("cmake"), QStringLiteral("--install"), QStringLiteral(PICTOREL_BINARY_DIR),
                     QStringLiteral("--prefix"), prefix},
                    QProcessEnvironment::systemEnvironment(), &log),
              0)
        << log.toStdString();
    EXPECT_EQ(QFileInfo(prefix + QStringLiteral("/bin/pictorel")).canonicalFilePath(),
              QFileInfo(installed + QStringLiteral("pictorel")).canonicalFilePath());
    EXPECT_TRUE(QFileInfo(prefix + QStringLiteral("/share/icons/hicolor/48x48/apps/pictorel.png")).isFile());
    const QStringList shipped = filesUnder(installed);

    const QString home = root.filePath(QStringLiteral("home"));
    QDir().mkpath(home);
    const QString picture = root.filePath(QStringLiteral("photo.jpg"));
    ASSERT_TRUE(ImageFile::save(photo(), picture, FileFormat::Jpeg, EncodeOptions{90, 2, {}}));
    // The test program itself runs as the user, from a place that user may read.
    const QString self = root.filePath(QStringLiteral("app_tests"));
    ASSERT_TRUE(QFile::copy(QCoreApplication::applicationFilePath(), self));
    const Runner runner = runnerFor(home, installed);
    if (!runner.skipReason.isEmpty())
        GTEST_SKIP() << runner.skipReason.toStdString();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"})
        environment.remove(QLatin1String(name));
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("PICTOREL_INSTALLED"), installed);
    environment.insert(QStringLiteral("PICTOREL_PICTURE"), picture);
    EXPECT_EQ(runAs(runner,
                    {self, QStringLiteral("--gtest_also_run_disabled_tests"),
                     QStringLiteral("--gtest_filter=InstalledProgram.DISABLED_ChildLoadsEditsUndoesAndSaves")},
                    environment, &log),
              0)
        << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("[  PASSED  ] 1 test"))) << log.toStdString();

    // The command on the PATH finds the catalogue in its program folder and writes nothing else.
    EXPECT_EQ(
        runAs(runner,
              {prefix + QStringLiteral("/bin/pictorel-cli"), QStringLiteral("make"), picture, QStringLiteral("--model"),
               QStringLiteral("F900i"), QStringLiteral("-o"), home + QStringLiteral("/cli.jpg")},
              environment, &log),
        0)
        << log.toStdString();
    EXPECT_TRUE(QFileInfo(home + QStringLiteral("/cli.jpg")).isFile());
    EXPECT_EQ(filesUnder(installed), shipped);
}

// Runs only inside the test above, as the user who cannot write to the installed program folder.
TEST(InstalledProgram, DISABLED_ChildLoadsEditsUndoesAndSaves)
{
    const QString installed = qEnvironmentVariable("PICTOREL_INSTALLED");
    ASSERT_FALSE(installed.isEmpty());
    ASSERT_FALSE(QFileInfo(installed).isWritable());
    const QString home = QDir::homePath();
    ASSERT_TRUE(QDir(home).mkpath(QStringLiteral("Pictures")));
    StartupHooks offline; // the stored settings, and nothing sent anywhere
    offline.updateCatalogue = offline.loadBanner = [] {};
    {
        // The first open dialog of a new user starts in the Pictures folder.
        ScriptedPrompts prompts;
        ProgramSession session(prompts, ProgramFolders::forProgram(installed), offline);
        session.start();
        session.frMain()->tsLoadImage->btOpenFromFileClick();
        ASSERT_EQ(prompts.fileRequests.size(), 1);
        EXPECT_EQ(prompts.fileRequests[0].folder, home + QStringLiteral("/Pictures/"));
        session.frMain()->btEnd->click();
    }
    loadEditUndoSave(installed, qEnvironmentVariable("PICTOREL_PICTURE"),
                     {home + QStringLiteral("/.cache/pictorel/"), home + QStringLiteral("/.local/share/pictorel/"),
                      home + QStringLiteral("/.config/pictorel/"), home + QStringLiteral("/Pictures/")},
                     home + QStringLiteral("/saved.jpg"));

    // A save into the program folder says why it failed.
    ScriptedPrompts prompts;
    ProgramSession session(prompts, ProgramFolders::forProgram(installed), offline);
    session.start({qEnvironmentVariable("PICTOREL_PICTURE")});
    ASSERT_EQ(session.workbench().folders.pictureFolder(), home + QStringLiteral("/Pictures/"));
    prompts.saveFileNames.enqueue(installed + QStringLiteral("wallpaper.jpg"));
    prompts.shown.clear();
    session.frMain()->btSave->click();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text,
              QStringLiteral("ファイルを保存できませんでした。\n保存先のフォルダーに書き込む権限がありません。"));
    session.frMain()->btEnd->click();
}

TEST(InstalledProgram, FromAWritableFolderKeepsEverythingBesideItself)
{
    QTemporaryDir folder;
    QFile catalogue(folder.filePath(QStringLiteral("mp_dat.sys")));
    ASSERT_TRUE(catalogue.open(QIODevice::WriteOnly));
    catalogue.write(Cp932::encode(
        QStringLiteral("キャリア,機種名,画面,備考,横,縦,色数,容量\r\nDoCoMo,F900i,メイン,,240,320,18,97600\r\n")));
    catalogue.close();
    QFile(folder.filePath(ProgramFolders::portableMarker())).open(QIODevice::WriteOnly);
    QTemporaryDir pictures;
    const QString picture = pictures.filePath(QStringLiteral("photo.jpg"));
    ASSERT_TRUE(ImageFile::save(photo(), picture, FileFormat::Jpeg, EncodeOptions{90, 2, {}}));
    const QString here = folder.path() + QLatin1Char('/');
    loadEditUndoSave(here, picture, {here, here, here, here}, pictures.filePath(QStringLiteral("saved.jpg")));
    EXPECT_TRUE(QFile::exists(here + QStringLiteral("DiruRodido.ini")));
}

// Root, or a prefix of the user's own, can write to an installed copy's folder: only the marker
// makes a portable program of it, and installing leaves the marker out.
TEST(InstalledProgram, AWritableInstalledFolderIsPortableOnlyWithTheMarker)
{
    QTemporaryDir root;
    const QString prefix = root.filePath(QStringLiteral("usr"));
    QString log;
    ASSERT_EQ(runAs({},
                    {QStringLiteral("cmake"), QStringLiteral("--install"), QStringLiteral(PICTOREL_BINARY_DIR),
                     QStringLiteral("--prefix"), prefix},
                    QProcessEnvironment::systemEnvironment(), &log),
              0)
        << log.toStdString();
    const QString installed = prefix + QStringLiteral("/lib/pictorel/");
    ASSERT_TRUE(QFileInfo(installed).isWritable());
    EXPECT_FALSE(ProgramFolders::forProgram(installed).isPortable());
    // What the programs read lies under share/, reached from their folder.
    for (const char* shipped : {"mp_dat.sys", "stamp", "frames", "icons"}) {
        const QFileInfo link(installed + QLatin1String(shipped));
        EXPECT_TRUE(link.isSymLink()) << shipped;
        EXPECT_EQ(link.canonicalFilePath(),
                  QFileInfo(prefix + QStringLiteral("/share/pictorel/") + QLatin1String(shipped)).canonicalFilePath());
    }
    for (const char* file : {"share/man/man1/pictorel.1.gz", "share/man/man1/pictorel-cli.1.gz",
                             "share/bash-completion/completions/pictorel-cli", "share/applications/pictorel.desktop"})
        EXPECT_TRUE(QFileInfo(prefix + QLatin1Char('/') + QLatin1String(file)).isFile()) << file;
    EXPECT_EQ(QDir(prefix + QStringLiteral("/share/metainfo")).entryList({QStringLiteral("*.metainfo.xml")}).size(), 1);

    QFile(installed + ProgramFolders::portableMarker()).open(QIODevice::WriteOnly);
    EXPECT_TRUE(ProgramFolders::forProgram(installed).isPortable());
    EXPECT_TRUE(ProgramFolders::forProgram(QStringLiteral(PICTOREL_BINARY_DIR "/program/")).isPortable());
}

TEST(InstalledProgram, DesktopEntryPassesValidation)
{
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty())
        GTEST_SKIP() << "desktop-file-validate (desktop-file-utils) is not installed";
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(validator, {QStringLiteral(PICTOREL_SOURCE_DIR "/data/pictorel.desktop")});
    ASSERT_TRUE(process.waitForFinished());
    const QString report = QString::fromLocal8Bit(process.readAll());
    EXPECT_EQ(process.exitCode(), 0) << report.toStdString();
    EXPECT_FALSE(report.contains(QStringLiteral("error"), Qt::CaseInsensitive)) << report.toStdString();
}

TEST(InstalledProgram, TheIconIsDrawnAtEverySizeAndIsTheWindowIcon)
{
    const QIcon icon = ProgramIcon::load(QStringLiteral(PICTOREL_BINARY_DIR "/program/"));
    const QList<QSize> sizes = icon.availableSizes();
    for (int side : {16, 24, 32, 48, 64, 128, 256})
        EXPECT_TRUE(sizes.contains(QSize(side, side))) << side;
    QTemporaryDir folder; // a program folder of its own, with the build's icons
    ASSERT_TRUE(
        QFile::link(QStringLiteral(PICTOREL_BINARY_DIR "/program/icons"), folder.filePath(QStringLiteral("icons"))));
    ScriptedPrompts prompts;
    ProgramSession session(prompts, folder.path(), bannerless());
    session.start();
    EXPECT_EQ(QGuiApplication::windowIcon().availableSizes(), sizes);
    // Not a transparent square: the phone stands in the middle.
    EXPECT_GT(qAlpha(icon.pixmap(48).toImage().pixel(24, 24)), 200);
}
