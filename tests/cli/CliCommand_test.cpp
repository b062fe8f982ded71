#include "RawNames.h"
#include "app/PageControl.h"
#include "app/ProgramSession.h"
#include "app/TfrMain.h"
#include "catalogue/pages/ModelSelectPage.h"
#include "cli/ArgumentPaths.h"
#include "cli/CliCommand.h"
#include "cli/StandbyMaker.h"
#include "decoration/pages/TextPage.h"
#include "foundation/Cp932.h"
#include "foundation/PathBytes.h"
#include "imaging/codecs/ImageFile.h"
#include "support/QuietStart.h"
#include "support/ScriptedPrompts.h"
#include "widgets/ImageDisplay.h"
#include "widgets/NumericField.h"
#include "workspace/OperationLog.h"

#include <QtCore/QFileInfo>
#include <QtCore/QRegularExpression>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <gtest/gtest.h>

#include <webp/encode.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* catalogueText = "キャリア,機種名,画面,備考,横,縦,色数,容量\r\n"
                            "DoCoMo,F900i,メイン,,240,320,18,97600\r\n"
                            "DoCoMo,\"N 900i\",サブ,,96,80,16,2048\r\n"
                            "au,W21S,メイン,,240,320,16,102400\r\n";

QImage photo(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixelColor(x, y, QColor((x * 7 + y) % 256, (y * 3) % 256, (x ^ y) % 256));
    return image;
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class CliCommandTest : public ::testing::Test
{
  protected:
    CliCommandTest()
    {
        QFile file(folder.filePath(QStringLiteral("mp_dat.sys")));
        file.open(QIODevice::WriteOnly);
        file.write(Cp932::encode(QString::fromUtf8(catalogueText)));
        file.close();
        picture = pictures.filePath(QStringLiteral("photo.JPG"));
        ImageFile::save(photo(640, 480), picture, FileFormat::Jpeg, EncodeOptions{90, 2, {}});
    }
    int run(QStringList arguments)
    {
        output.clear();
        errors.clear();
        QTextStream out(&output);
        QTextStream err(&errors);
        CliCommand command(out, err, folder.path() + QLatin1Char('/'), false);
        return command.run(QStringList{QStringLiteral("pictorel-cli")} + arguments);
    }
    QString out(const QString& name) const { return results.filePath(name); }
    ~CliCommandTest() override
    {
        for (const QTemporaryDir* dir : {&folder, &pictures, &results})
            RawNames::removeContents(QFile::encodeName(dir->path()));
    }

    QTemporaryDir folder; // the program folder, with the catalogue
    QTemporaryDir pictures;
    QTemporaryDir results;
    QString picture;
    QString output;
    QString errors;
};

} // namespace

TEST_F(CliCommandTest, WritesTheSameBytesAsTheProgramsSave)
{
    ScriptedPrompts prompts;
    ProgramSession session(prompts, folder.path(), bannerless());
    session.start();
    ModelSelectPage* page = session.frMain()->tsSelectMP;
    page->setCarrierText(QStringLiteral("DoCoMo"));
    page->cbCarrierChange();
    emit session.frMain()->filesDropped({picture});
    session.workbench().operations.run(OperationId::Sepia);
    session.workbench().operations.run(OperationId::Mosaic);
    prompts.saveFileNames.enqueue(out(QStringLiteral("program.jpg")));
    session.frMain()->btSave->click();
    ASSERT_EQ(prompts.shown.size(), 1) << prompts.texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(prompts.shown[0].kind, MessageKind::Information);

    EXPECT_EQ(run({QStringLiteral("make"), picture, QStringLiteral("--model"), QStringLiteral("F900i"),
                   QStringLiteral("--op"), QStringLiteral("sepia"), QStringLiteral("--op"), QStringLiteral("mosaic"),
                   QStringLiteral("-o"), out(QStringLiteral("cli.jpg"))}),
              0)
        << errors.toStdString();
    const QByteArray programBytes = bytesOf(out(QStringLiteral("program.jpg")));
    ASSERT_FALSE(programBytes.isEmpty());
    EXPECT_EQ(bytesOf(out(QStringLiteral("cli.jpg"))), programBytes);
    EXPECT_TRUE(output.contains(QStringLiteral("fitted")));
}

TEST_F(CliCommandTest, ExitStatusTellsFittedNotFittedAndErrors)
{
    EXPECT_EQ(
        run({QStringLiteral("make"), picture, QStringLiteral("--size"), QStringLiteral("240x320"),
             QStringLiteral("--limit"), QStringLiteral("400"), QStringLiteral("-o"), out(QStringLiteral("a.jpg"))}),
        2);
    EXPECT_TRUE(output.contains(QStringLiteral("JPEG quality 9, does not fit"))) << output.toStdString();
    EXPECT_TRUE(QFile::exists(out(QStringLiteral("a.jpg"))));
    EXPECT_EQ(run({QStringLiteral("make"), pictures.filePath(QStringLiteral("missing.jpg")), QStringLiteral("--model"),
                   QStringLiteral("F900i"), QStringLiteral("-o"), out(QStringLiteral("b.jpg"))}),
              1);
    EXPECT_FALSE(errors.isEmpty());
    EXPECT_EQ(run({QStringLiteral("make"), picture, QStringLiteral("--model"), QStringLiteral("X99"),
                   QStringLiteral("-o"), out(QStringLiteral("c.jpg"))}),
              1);
    EXPECT_TRUE(errors.contains(QStringLiteral("no model named 'X99'")));
    EXPECT_EQ(
        run({QStringLiteral("make"), picture, QStringLiteral("--model"), QStringLiteral("F900i"),
             QStringLiteral("--op"), QStringLiteral("swirl"), QStringLiteral("-o"), out(QStringLiteral("d.jpg"))}),
        1);
    EXPECT_TRUE(errors.contains(QStringLiteral("unknown operation 'swirl'")));
}

TEST_F(CliCommandTest, ABatchNamesItsFilesAndOneFailureDoesNotStopTheRest)
{
    const QString second = pictures.filePath(QStringLiteral("beach.png"));
    ImageFile::save(photo(300, 500), second, FileFormat::Png, {});
    const QString missing = pictures.filePath(QStringLiteral("gone.png"));
    const int status =
        run({QStringLiteral("make"), picture, missing, second, QStringLiteral("--all-models"), QStringLiteral("DoCoMo"),
             QStringLiteral("--format"), QStringLiteral("png"), QStringLiteral("-o"), results.path()});
    EXPECT_EQ(status, 1);
    QStringList names = QDir(results.path()).entryList(QDir::Files);
    names.sort();
    EXPECT_EQ(names,
              (QStringList{"beach_F900i.png", "beach_N_900i(サブ).png", "photo_F900i.png", "photo_N_900i(サブ).png"}));
    const QStringList failures =
        errors.split(QLatin1Char('\n')).filter(QRegularExpression(QStringLiteral("^\\S*gone\\.png \\(")));
    EXPECT_EQ(failures.size(), 2) << errors.toStdString();
}

TEST_F(CliCommandTest, LeavesNoWorkingFilesBehind)
{
    run({QStringLiteral("make"), picture, QStringLiteral("--model"), QStringLiteral("F900i"), QStringLiteral("--op"),
         QStringLiteral("blur"), QStringLiteral("-o"), out(QStringLiteral("e.jpg"))});
    for (const QString& where : {folder.path(), QDir::currentPath(), results.path()}) {
        EXPECT_TRUE(QDir(where).entryList({QStringLiteral("temp-*.bmp")}).isEmpty()) << where.toStdString();
        EXPECT_FALSE(QFile::exists(where + QStringLiteral("/DiruRodido.ini"))) << where.toStdString();
    }
}

TEST_F(CliCommandTest, ListsTheCatalogueAndReportsAMalformedOne)
{
    EXPECT_EQ(run({QStringLiteral("models")}), 0);
    EXPECT_EQ(output, QStringLiteral("DoCoMo\tF900i\t240\t320\t18\t97600\nDoCoMo\tN 900i(サブ)\t96\t80\t16\t2048\n"
                                     "au\tW21S\t240\t320\t16\t102400\n"));
    const QString broken = pictures.filePath(QStringLiteral("broken.sys"));
    QFile file(broken);
    file.open(QIODevice::WriteOnly);
    file.write("h\r\nA,a,x,,8,9,3,4\r\nA,b,x,,8,2b,3,4\r\n");
    file.close();
    EXPECT_EQ(run({QStringLiteral("models"), QStringLiteral("--catalogue"), broken}), 1);
    EXPECT_EQ(errors, QStringLiteral("'2b' は整数ではありません\n（broken.sys の 3 行目）\n"));
}

TEST_F(CliCommandTest, SettingsFileGivesTheEffectParameters)
{
    const QString settings = pictures.filePath(QStringLiteral("pictorel.ini"));
    QFile file(settings);
    file.open(QIODevice::WriteOnly);
    file.write(Cp932::encode(
        QStringLiteral("[詳細設定：効果]\r\nMosaic=40\r\n[詳細設定：ファイル保存・転送]\r\nJPEG=0\r\nPNG=1\r\n")));
    file.close();
    EXPECT_EQ(run({QStringLiteral("make"), picture, QStringLiteral("--model"), QStringLiteral("F900i"),
                   QStringLiteral("--settings"), settings, QStringLiteral("--op"), QStringLiteral("mosaic"),
                   QStringLiteral("-o"), results.path() + QLatin1Char('/')}),
              0);
    const QImage written = ImageFile::load(out(QStringLiteral("photo_F900i.png"))).image;
    ASSERT_FALSE(written.isNull()) << output.toStdString() << errors.toStdString();
    // Blocks of 40 picture pixels are about 27 canvas pixels wide: neighbours inside one are equal.
    EXPECT_EQ(written.pixel(2, 2), written.pixel(12, 12));
}

TEST_F(CliCommandTest, WritesTheProgramsBytesInEveryFormatWithThePictureKeptInMemory)
{
    ScriptedPrompts prompts;
    ProgramSession session(prompts, folder.path(), bannerless());
    session.start();
    ModelSelectPage* page = session.frMain()->tsSelectMP;
    page->setCarrierText(QStringLiteral("DoCoMo"));
    page->cbCarrierChange();
    emit session.frMain()->filesDropped({picture});
    // A quarter turn changes the working size, the oil paint reads the turned picture back.
    session.workbench().operations.run(OperationId::RotateLeft);
    session.workbench().operations.run(OperationId::Oil);
    for (const char* extension : {"jpg", "gif", "png", "bmp"}) {
        SCOPED_TRACE(extension);
        const QString programFile = out(QStringLiteral("program.") + QLatin1String(extension));
        const QString cliFile = out(QStringLiteral("cli.") + QLatin1String(extension));
        prompts.saveFileNames.enqueue(programFile);
        session.frMain()->btSave->click();
        const int status = run({QStringLiteral("make"), picture, QStringLiteral("--model"), QStringLiteral("F900i"),
                                QStringLiteral("--op"), QStringLiteral("rotate-left"), QStringLiteral("--op"),
                                QStringLiteral("oil"), QStringLiteral("-o"), cliFile});
        EXPECT_TRUE(status == 0 || status == 2) << errors.toStdString();
        const QByteArray programBytes = bytesOf(programFile);
        ASSERT_FALSE(programBytes.isEmpty());
        EXPECT_EQ(bytesOf(cliFile), programBytes);
    }
}

TEST_F(CliCommandTest, RefusesSizesAndLimitsTheProgramsFieldsNeverTake)
{
    struct Case
    {
        const char* size;
        const char* limit;
        const char* message;
    };
    const Case cases[] = {
        {"240x320", "100", "--limit takes 256 to 7372800 bytes, not 100"},
        {"240x320", "7372801", "--limit takes 256 to 7372800 bytes"},
        {"5000x8", "20480", "--size takes a width and a height of 8 to 4096 pixels, not 5000x8"},
        {"240x4097", "20480", "--size takes a width and a height of 8 to 4096 pixels"},
        {"240x7", "20480", "--size takes a width and a height of 8 to 4096 pixels"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const QString target = out(QStringLiteral("refused.jpg"));
        EXPECT_EQ(run({QStringLiteral("make"), picture, QStringLiteral("--size"), QLatin1String(c.size),
                       QStringLiteral("--limit"), QLatin1String(c.limit), QStringLiteral("-o"), target}),
                  1);
        EXPECT_TRUE(errors.contains(QLatin1String(c.message))) << errors.toStdString();
        EXPECT_FALSE(QFile::exists(target));
    }
    // The edges themselves are taken.
    EXPECT_NE(
        run({QStringLiteral("make"), picture, QStringLiteral("--size"), QStringLiteral("8x480"),
             QStringLiteral("--limit"), QStringLiteral("256"), QStringLiteral("-o"), out(QStringLiteral("edge.jpg"))}),
        1)
        << errors.toStdString();
}

TEST_F(CliCommandTest, TextsGiveTheSameBytesAsPlacingThemInTheProgram)
{
    ScriptedPrompts prompts;
    ProgramSession session(prompts, folder.path(), bannerless());
    session.start();
    TfrMain* main = session.frMain();
    main->tsSelectMP->setCarrierText(QStringLiteral("DoCoMo"));
    main->tsSelectMP->cbCarrierChange();
    emit main->filesDropped({picture});
    main->pcMain->setActivePage(main->tsText);
    TextPage* page = main->tsText;
    QFont bold(QStringLiteral("IPAPGothic"), 14);
    bold.setBold(true);
    prompts.fonts.enqueue(bold);
    page->btChandeDrawFontsClick();
    page->cbShadowPos->setCurrentText(QStringLiteral("左上"));
    page->csShadowDistance->setText(QStringLiteral("2"));
    page->cbTextAngle->setCurrentText(QStringLiteral("90度"));
    page->cbTextDirection->setCurrentText(QStringLiteral("上から下(↓)"));
    const auto place = [&](const QString& text, QPoint at) {
        page->edDrawText->setText(text);
        emit main->IkDispMain->mouseDownImage(Qt::LeftButton, 0, 0);
        emit main->IkDispMain->mouseUpImage(at.x(), at.y());
        main->btDecideDraw->click();
    };
    place(QStringLiteral("待受@"), {30, 200});
    place(QStringLiteral("Pictorel"), {120, 300});
    prompts.saveFileNames.enqueue(out(QStringLiteral("program.jpg")));
    main->btSave->click();
    ASSERT_EQ(prompts.shown.size(), 1) << prompts.texts().join(QLatin1Char('\n')).toStdString();

    EXPECT_EQ(
        run({QStringLiteral("make"), picture, QStringLiteral("--model"), QStringLiteral("F900i"),
             QStringLiteral("--text"), QStringLiteral("待受@@30,200"), QStringLiteral("--text"),
             QStringLiteral("Pictorel@120,300"), QStringLiteral("--font"), QStringLiteral("IPAPGothic:14:bold"),
             QStringLiteral("--shadow"), QStringLiteral("左上:2"), QStringLiteral("--angle"), QStringLiteral("90"),
             QStringLiteral("--direction"), QStringLiteral("2"), QStringLiteral("-o"), out(QStringLiteral("cli.jpg"))}),
        0)
        << errors.toStdString();
    const QByteArray programBytes = bytesOf(out(QStringLiteral("program.jpg")));
    ASSERT_FALSE(programBytes.isEmpty());
    EXPECT_EQ(bytesOf(out(QStringLiteral("cli.jpg"))), programBytes);
    run({QStringLiteral("make"), picture, QStringLiteral("--model"), QStringLiteral("F900i"), QStringLiteral("-o"),
         out(QStringLiteral("plain.jpg"))});
    EXPECT_NE(bytesOf(out(QStringLiteral("plain.jpg"))), programBytes) << "the texts are really there";
}

TEST_F(CliCommandTest, BadTextOptionsAreRefusedWithTheirForm)
{
    const std::pair<QStringList, const char*> cases[] = {
        {{QStringLiteral("--text"), QStringLiteral("no point")}, "--text takes TEXT@X,Y"},
        {{QStringLiteral("--text"), QStringLiteral("@3,4")}, "has no text before the @"},
        {{QStringLiteral("--font"), QStringLiteral("IPAGothic:big")}, "--font takes"},
        {{QStringLiteral("--font"), QStringLiteral("IPAGothic:12:underline")}, "--font takes"},
        {{QStringLiteral("--shadow"), QStringLiteral("斜め:3")}, "--shadow takes"},
        {{QStringLiteral("--shadow"), QStringLiteral("右:51")}, "--shadow takes"},
        {{QStringLiteral("--text-color"), QStringLiteral("12345")}, "--text-color takes RRGGBB"},
        {{QStringLiteral("--angle"), QStringLiteral("45")}, "--angle takes"},
        {{QStringLiteral("--direction"), QStringLiteral("4")}, "--direction takes"},
    };
    for (const auto& [options, message] : cases) {
        EXPECT_EQ(run(QStringList{QStringLiteral("make"), picture, QStringLiteral("--model"), QStringLiteral("F900i"),
                                  QStringLiteral("-o"), out(QStringLiteral("x.jpg"))} +
                      options),
                  1)
            << options.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(errors.contains(QLatin1String(message))) << errors.toStdString();
    }
    EXPECT_FALSE(QFile::exists(out(QStringLiteral("x.jpg"))));
}

TEST_F(CliCommandTest, EveryJobOfABatchGetsItsOwnFile)
{
    QTemporaryDir other;
    const QString samePng = pictures.filePath(QStringLiteral("photo.png"));
    const QString sameJpg = other.filePath(QStringLiteral("photo.JPG"));
    ImageFile::save(photo(300, 500), samePng, FileFormat::Png, {});
    ImageFile::save(photo(500, 300), sameJpg, FileFormat::Jpeg, EncodeOptions{90, 2, {}});
    // "A/B" and "A_B" become one file name once cleaned.
    QFile catalogue(folder.filePath(QStringLiteral("twins.sys")));
    ASSERT_TRUE(catalogue.open(QIODevice::WriteOnly));
    catalogue.write("h\r\nX,A/B,x,,24,32,16,9000\r\nX,A_B,x,,24,32,16,9000\r\n");
    catalogue.close();
    EXPECT_EQ(run({QStringLiteral("make"), picture, sameJpg, samePng, QStringLiteral("--all-models"),
                   QStringLiteral("X"), QStringLiteral("--catalogue"), catalogue.fileName(), QStringLiteral("--format"),
                   QStringLiteral("png"), QStringLiteral("-o"), results.path()}),
              0)
        << errors.toStdString();
    QStringList names = QDir(results.path()).entryList(QDir::Files);
    names.sort();
    EXPECT_EQ(names, (QStringList{"photo_A_B(x)-2.png", "photo_A_B(x)-3.png", "photo_A_B(x)-4.png",
                                  "photo_A_B(x)-5.png", "photo_A_B(x)-6.png", "photo_A_B(x).png"}));
}

TEST_F(CliCommandTest, NamesThatAreNotUtf8AndOutputsThatAreNotFiles)
{
    const QByteArray latin1Name = QFile::encodeName(pictures.path()) + "/caf\xe9.jpg";
    const QByteArray jpeg = bytesOf(picture);
    const int fd = ::open(latin1Name.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_EQ(::write(fd, jpeg.constData(), size_t(jpeg.size())), jpeg.size());
    ::close(fd);
    QByteArray program("pictorel-cli");
    QByteArray make("make");
    QByteArray model("--model");
    QByteArray f900i("F900i");
    QByteArray o("-o");
    QByteArray target = QFile::encodeName(out(QStringLiteral("latin1.jpg")));
    char* argv[] = {program.data(), make.data(),  const_cast<char*>(latin1Name.constData()), model.data(), f900i.data(),
                    o.data(),       target.data()};
    const QStringList arguments = ArgumentPaths::decode(7, argv);
    EXPECT_EQ(run(arguments.mid(1)), 0) << errors.toStdString();
    EXPECT_TRUE(QFile::exists(out(QStringLiteral("latin1.jpg"))));

    const QString fifo = out(QStringLiteral("pipe.jpg"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(run({QStringLiteral("make"), picture, QStringLiteral("--model"), QStringLiteral("F900i"),
                   QStringLiteral("-o"), fifo}),
              1);
    EXPECT_TRUE(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile()) << "the FIFO was replaced";
    EXPECT_EQ(run({QStringLiteral("make"), fifo, QStringLiteral("--model"), QStringLiteral("F900i"),
                   QStringLiteral("-o"), out(QStringLiteral("f.jpg"))}),
              1); // returns instead of blocking in open()
}

TEST_F(CliCommandTest, NamesThatAreNotUtf8ComeOutByteForByte)
{
    const QByteArray in = QFile::encodeName(pictures.path()) + '/';
    const QByteArray to = QFile::encodeName(results.path()) + '/';
    RawNames::write(in + "caf\xe9.jpg", bytesOf(picture));
    RawNames::write(in + "\x8eq\x8b\x9f.jpg", bytesOf(picture)); // Shift_JIS
    const auto make = [this](const QList<QByteArray>& bytes) {
        std::vector<QByteArray> kept(bytes.begin(), bytes.end());
        std::vector<char*> argv;
        for (QByteArray& argument : kept)
            argv.push_back(argument.data());
        return run(QStringList{QStringLiteral("make")} + ArgumentPaths::decode(int(argv.size()), argv.data()));
    };
    ASSERT_EQ(make({in + "caf\xe9.jpg", "--model", "F900i", "-o", to + "r\xe9sultat.jpg"}), 0) << errors.toStdString();
    EXPECT_TRUE(PathBytes::toBytes(output).startsWith(to + "r\xe9sultat.jpg: ")) << output.toStdString();
    ASSERT_EQ(make({in + "caf\xe9.jpg", "--model", "F900i", "-o", to + "d\xe9j\xe0/"}), 0) << errors.toStdString();
    ASSERT_EQ(make({in + "caf\xe9.jpg", in + "\x8eq\x8b\x9f.jpg", "--size", "240x320", "--limit", "97600", "-o",
                    to + "lot\xe9"}),
              0)
        << errors.toStdString();
    EXPECT_TRUE(PathBytes::toBytes(output).startsWith(to + "lot\xe9/caf\xe9_240x320.jpg: ")) << output.toStdString();

    EXPECT_EQ(RawNames::in(to), (QList<QByteArray>{"d\xe9j\xe0", "lot\xe9", "r\xe9sultat.jpg"}));
    EXPECT_EQ(RawNames::in(to + "d\xe9j\xe0"), QList<QByteArray>{"caf\xe9_F900i.jpg"});
    EXPECT_EQ(RawNames::in(to + "lot\xe9"), (QList<QByteArray>{"caf\xe9_240x320.jpg", "\x8eq\x8b\x9f_240x320.jpg"}));
    ASSERT_EQ(run({"make", picture, "--model", "F900i", "-o", out("plain.jpg")}), 0);
    const QByteArray plain = bytesOf(out("plain.jpg"));
    for (const QByteArray& made : {to + "r\xe9sultat.jpg", to + "d\xe9j\xe0/caf\xe9_F900i.jpg"})
        EXPECT_EQ(bytesOf(ReadablePath(PathBytes::fromBytes(made)).path()), plain);

    // A fault names the file by its bytes too.
    EXPECT_EQ(make({in + "gon\xe9.jpg", "--model", "F900i", "-o", to + "x.jpg"}), 1);
    EXPECT_TRUE(PathBytes::toBytes(errors).startsWith(in + "gon\xe9.jpg (F900i): ")) << errors.toStdString();
    EXPECT_EQ(make({in + "caf\xe9.jpg", "--model", "F900i", "--stamp", in + "gon\xe9.png@1,1", "-o", to + "x.jpg"}), 1);
    EXPECT_EQ(PathBytes::toBytes(errors), in + "gon\xe9.png not found\n");
    EXPECT_FALSE(QFile::exists(out("x.jpg")));
    // Stamps and catalogues are read by their bytes as well.
    RawNames::write(in + "mod\xe8les.sys", bytesOf(folder.filePath(QStringLiteral("mp_dat.sys"))));
    EXPECT_EQ(make({in + "caf\xe9.jpg", "--model", "F900i", "--catalogue", in + "mod\xe8les.sys", "--stamp",
                    in + "caf\xe9.jpg@1,1", "-o", to + "x.jpg"}),
              0)
        << errors.toStdString();
    ASSERT_EQ(run({"make", picture, "--model", "F900i", "--stamp", picture + "@1,1", "-o", out("y.jpg")}), 0);
    EXPECT_EQ(bytesOf(out("x.jpg")), bytesOf(out("y.jpg")));
}

TEST_F(CliCommandTest, FaultsAreRefusedByTheirNameAndNothingIsWrittenBesideThem)
{
    QDir(folder.path()).mkpath(QStringLiteral("stamp/folder.png"));
    // A bitmap header that announces 20000 x 20000 pixels.
    QByteArray huge("BM");
    const auto le32 = [&huge](quint32 v) {
        for (int i = 0; i < 4; ++i)
            huge.append(char(v >> (8 * i)));
    };
    le32(54 + 16);
    le32(0);
    le32(54);
    le32(40);
    le32(20000);
    le32(20000);
    huge.append("\x01\x00\x18\x00", 4);
    for (int i = 0; i < 6; ++i)
        le32(0);
    huge.append(16, '\0');
    QFile big(folder.filePath(QStringLiteral("stamp/big.bmp")));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write(huge);
    big.close();
    const QString fifo = out(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    const std::pair<QStringList, const char*> cases[] = {
        {{"--format", "png", "-o", out("x.jpg")}, "--format png does not match the extension"},
        {{"-o", "/dev/full"}, "/dev/full is not a regular file"},
        {{"--format", "png", "-o", fifo}, "is not a regular file"},
        {{"-o", out("noextension")}, "has no extension"},
        {{"--op", "mosaic:0", "-o", out("x.jpg")}, "'mosaic' takes a parameter of 1 to 255, not '0'"},
        {{"--op", "sepia:3", "-o", out("x.jpg")}, "'sepia' takes no parameter"},
        {{"--calendar", "2021-02@9999999,0", "-o", out("x.jpg")}, "a coordinate is not -100000 to 100000"},
        {{"--calendar", "2021-13@0,0", "-o", out("x.jpg")}, "the month is not 1 to 12"},
        {{"--stamp", "folder.png@1,1", "-o", out("x.jpg")}, "folder.png is a folder"},
        {{"--stamp", "big.bmp@1,1", "-o", out("x.jpg")}, "big.bmp is too large"},
        {{"--stamp", "big.bmp@200000,1", "-o", out("x.jpg")}, "each coordinate -100000 to 100000"},
        {{"--text", "hi@1,200000", "-o", out("x.jpg")}, "each coordinate -100000 to 100000"},
    };
    for (const auto& [options, message] : cases) {
        EXPECT_EQ(run(QStringList{"make", picture, "--model", "F900i"} + options), 1) << message;
        EXPECT_TRUE(errors.contains(QLatin1String(message))) << errors.toStdString();
    }
    EXPECT_EQ(QDir(results.path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList{});
    EXPECT_FALSE(QFile::exists(QStringLiteral("/dev/full.jpg")));
    EXPECT_FALSE(QFileInfo(fifo).isFile());

    // A decoration that cannot be drawn (a text too large, say) fails its job, and nothing is saved.
    MakeChoices choices;
    choices.layers.push_back(LayerStep{[](Workbench&) { return QStringLiteral("--text 'x' could not be drawn"); }});
    const MakeResult failed =
        StandbyMaker(ProgramOptions{}, folder.path() + QLatin1Char('/'))
            .make(picture, MakeTarget{"F900i", 240, 320, 97600}, choices, out("x.jpg"), FileFormat::Jpeg);
    EXPECT_EQ(failed.exitStatus(), 1);
    EXPECT_EQ(failed.summary(), QStringLiteral("--text 'x' could not be drawn"));
    EXPECT_EQ(QDir(results.path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList{});
    // A text far larger than the canvas is drawn as far as it lands on it: never dropped.
    ASSERT_EQ(run({"make", picture, "--model", "F900i", "-o", out("plain.jpg")}), 0);
    ASSERT_EQ(run({"make", picture, "--model", "F900i", "--text", QString(2000, QChar(0x3042)) + "@0,0", "--font",
                   "IPAGothic:1000", "-o", out("huge.jpg")}),
              0)
        << errors.toStdString();
    EXPECT_NE(bytesOf(out("huge.jpg")), bytesOf(out("plain.jpg")));

    // A face that is not installed is named, with the one drawn instead; the picture is still made.
    EXPECT_EQ(run({"make", picture, "--model", "F900i", "--text", "hi@10,10", "--font", "NoSuchFace Pro:12", "-o",
                   out("font.jpg")}),
              0)
        << errors.toStdString();
    EXPECT_TRUE(errors.contains(QStringLiteral("font 'NoSuchFace Pro' is not installed; the text is drawn in")))
        << errors.toStdString();
}

TEST_F(CliCommandTest, ABatchOnEveryCoreWritesWhatEachPictureAloneWouldInOrder)
{
    // Today's formats among them: the command line reads what the window reads.
    const QString webp = pictures.filePath(QStringLiteral("shot.webp"));
    const QImage shot = photo(420, 300);
    uint8_t* encoded = nullptr;
    const size_t size =
        WebPEncodeRGB(shot.constBits(), shot.width(), shot.height(), int(shot.bytesPerLine()), 90, &encoded);
    QFile file(webp);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(encoded), qint64(size));
    file.close();
    WebPFree(encoded);
    const QString png = pictures.filePath(QStringLiteral("tall.png"));
    ImageFile::save(photo(200, 700), png, FileFormat::Png, {});
    const QStringList batch = {picture, webp, png, picture};
    const QStringList size240x320 = {QStringLiteral("--size"), QStringLiteral("240x320"), QStringLiteral("--limit"),
                                     QStringLiteral("97600")};
    ASSERT_EQ(run(QStringList{QStringLiteral("make")} + batch + size240x320 +
                  QStringList{QStringLiteral("-o"), out(QStringLiteral("batch/"))}),
              0)
        << errors.toStdString();
    const QStringList lines = output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const QStringList names = {"photo_240x320.jpg", "shot_240x320.jpg", "tall_240x320.jpg", "photo_240x320-2.jpg"};
    ASSERT_EQ(lines.size(), names.size()) << output.toStdString();
    for (int i = 0; i < batch.size(); ++i) {
        SCOPED_TRACE(names[i].toStdString());
        EXPECT_TRUE(lines[i].contains(names[i])); // reported in the batch's order
        const QString alone = out(QStringLiteral("alone-%1.jpg").arg(i));
        ASSERT_EQ(
            run(QStringList{QStringLiteral("make"), batch[i]} + size240x320 + QStringList{QStringLiteral("-o"), alone}),
            0);
        const QByteArray bytes = bytesOf(alone);
        ASSERT_FALSE(bytes.isEmpty());
        EXPECT_EQ(bytesOf(out(QStringLiteral("batch/") + names[i])), bytes);
    }
}

TEST_F(CliCommandTest, MakesAPictureForTodaysPhoneWithinItsLimit)
{
    const QString large = pictures.filePath(QStringLiteral("large.jpg"));
    ASSERT_TRUE(ImageFile::save(photo(3000, 2000), large, FileFormat::Jpeg, EncodeOptions{90, 2, {}}));
    const QString target = out(QStringLiteral("phone.jpg"));
    EXPECT_EQ(run({QStringLiteral("make"), large, QStringLiteral("--size"), QStringLiteral("1179x2556"),
                   QStringLiteral("--limit"), QStringLiteral("3000000"), QStringLiteral("-o"), target}),
              0)
        << errors.toStdString();
    const DecodedImage written = ImageFile::load(target);
    ASSERT_TRUE(written.ok());
    EXPECT_EQ(written.image.size(), QSize(1179, 2556));
    EXPECT_EQ(bytesOf(target).left(2), QByteArray("\xff\xd8"));
    EXPECT_LE(QFileInfo(target).size(), 3000000);
}

TEST_F(CliCommandTest, TodaysScreensFollowTheCatalogueAsInTheWindow)
{
    QFile today(folder.filePath(QStringLiteral("mp_today.sys")));
    ASSERT_TRUE(today.open(QIODevice::WriteOnly));
    today.write(
        Cp932::encode(QStringLiteral("キャリア,機種名,画面,備考,横,縦,色数,容量\r\n"
                                     "スマートフォン,\"縦長 20:9 FHD+\",メイン,汎用,1080,2400,24,3000000\r\n")));
    today.close();
    ASSERT_EQ(run({QStringLiteral("models")}), 0) << errors.toStdString();
    const QStringList listed = output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(listed.size(), 4) << output.toStdString();
    EXPECT_EQ(listed.last(), QStringLiteral("スマートフォン\t縦長 20:9 FHD+\t1080\t2400\t24\t3000000"));
    ScriptedPrompts prompts;
    ProgramSession session(prompts, folder.path(), bannerless());
    session.start();
    EXPECT_EQ(session.workbench().catalogue.modelCount(), listed.size());

    const QString large = pictures.filePath(QStringLiteral("large.jpg"));
    ASSERT_TRUE(ImageFile::save(photo(3000, 2000), large, FileFormat::Jpeg, EncodeOptions{90, 2, {}}));
    const QString byModel = out(QStringLiteral("model.jpg"));
    ASSERT_EQ(run({QStringLiteral("make"), large, QStringLiteral("--model"), QStringLiteral("縦長 20:9 FHD+"),
                   QStringLiteral("-o"), byModel}),
              0)
        << errors.toStdString();
    const DecodedImage written = ImageFile::load(byModel);
    ASSERT_TRUE(written.ok());
    EXPECT_EQ(written.image.size(), QSize(1080, 2400));
    EXPECT_LE(QFileInfo(byModel).size(), 3000000);
    ASSERT_EQ(run({QStringLiteral("make"), large, QStringLiteral("--all-models"), QStringLiteral("スマートフォン"),
                   QStringLiteral("-o"), out(QStringLiteral("all/"))}),
              0)
        << errors.toStdString();
    EXPECT_EQ(bytesOf(out(QStringLiteral("all/large_縦長_20_9_FHD+.jpg"))), bytesOf(byModel));
}
