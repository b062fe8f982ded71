#include "app/PageControl.h"
#include "app/ProgramSession.h"
#include "app/TfrMain.h"
#include "catalogue/pages/ModelSelectPage.h"
#include "cli/CliCommand.h"
#include "decoration/pages/FramePage.h"
#include "decoration/pages/StampPage.h"
#include "foundation/Cp932.h"
#include "imaging/codecs/ImageFile.h"
#include "support/QuietStart.h"
#include "support/ScriptedPrompts.h"
#include "widgets/ImageDisplay.h"
#include "widgets/ThumbnailList.h"

#include <QtCore/QDir>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QPushButton>
#include <gtest/gtest.h>

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage solid(int width, int height, QRgb colour)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

// A program folder with a catalogue, one stamp and one frame; a photo to decorate.
class CliDecorationTest : public ::testing::Test
{
  protected:
    CliDecorationTest()
    {
        QFile file(folder.filePath(QStringLiteral("mp_dat.sys")));
        file.open(QIODevice::WriteOnly);
        file.write(Cp932::encode(QStringLiteral("キャリア,機種名,画面,備考,横,縦,色数,容量\r\nDoCoMo,F900i,メイン,,240,"
                                                "320,18,97600\r\nDoCoMo,Roomy,メイン,,240,320,24,9999999\r\n")));
        file.close();
        QDir(folder.path()).mkpath(QStringLiteral("stamp"));
        QDir(folder.path()).mkpath(QStringLiteral("frames"));
        QImage star = solid(30, 20, qRgb(250, 200, 0));
        star.setPixel(0, 0, qRgba(0, 0, 0, 0));
        star.save(folder.filePath(QStringLiteral("stamp/star.png")));
        QImage frame = solid(240, 240, qRgb(200, 40, 90));
        for (int y = 30; y < 210; ++y)
            for (int x = 30; x < 210; ++x)
                frame.setPixel(x, y, qRgba(0, 0, 0, 0));
        frame.save(folder.filePath(QStringLiteral("frames/pink.png")));
        QImage picture(320, 400, QImage::Format_RGB888);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixelColor(x, y, QColor(x % 256, y % 256, (x * y) % 256));
        photo = pictures.filePath(QStringLiteral("photo.png"));
        picture.save(photo);
    }
    int run(const QStringList& arguments, const QString& model = QStringLiteral("F900i"))
    {
        errors.clear();
        QString output;
        QTextStream out(&output);
        QTextStream err(&errors);
        CliCommand command(out, err, folder.path() + QLatin1Char('/'), false);
        return command.run(QStringList{QStringLiteral("pictorel-cli"), QStringLiteral("make"), photo,
                                       QStringLiteral("--model"), model} +
                           arguments);
    }
    QString out(const QString& name) const { return results.filePath(name); }

    QTemporaryDir folder;
    QTemporaryDir pictures;
    QTemporaryDir results;
    QString photo;
    QString errors;
};

} // namespace

TEST_F(CliDecorationTest, StampsAndFramesWriteTheSameBytesAsTheProgramsSave)
{
    ScriptedPrompts prompts;
    ProgramSession session(prompts, folder.path(), bannerless());
    session.start();
    TfrMain* main = session.frMain();
    main->tsSelectMP->setCarrierText(QStringLiteral("DoCoMo"));
    main->tsSelectMP->cbCarrierChange();
    emit main->filesDropped({photo});

    ASSERT_EQ(main->tsStamp->IkThumbStamp->files(), QStringList{QStringLiteral("star.png")});
    main->tsStamp->IkThumbStampSelectFile(QStringLiteral("star.png"));
    // The mouse on the main display, with the stamp page showing.
    main->pcMain->setActivePage(main->tsStamp);
    ImageDisplay* display = main->IkDispMain;
    prompts.leftButton = true;
    prompts.shift = true;
    emit display->mouseDownImage(Qt::LeftButton, 40, 50);
    emit display->mouseMoveImage(100, 80);
    emit display->mouseUpImage(150, 120);
    prompts.shift = false;
    main->btDecideDraw->click();
    emit main->tsFrames->IkThumbFrames->itemClicked(main->tsFrames->IkThumbFrames->item(0));
    main->tsFrames->btDrawFrame->click();
    main->btDecideDraw->click();
    // A click shows the stamp at its own size but enables nothing: it is committed after a drag.
    emit display->mouseDownImage(Qt::LeftButton, 0, 0);
    emit display->mouseUpImage(60, 60);
    emit display->mouseDownImage(Qt::LeftButton, 5, 300);
    emit display->mouseUpImage(5, 300);
    main->btDecideDraw->click();
    EXPECT_EQ(session.workbench().layers.CurrentLayer(), 3);
    prompts.saveFileNames.enqueue(out(QStringLiteral("program.jpg")));
    main->btSave->click();
    ASSERT_EQ(prompts.shown.size(), 1) << prompts.texts().join(QLatin1Char('\n')).toStdString();

    EXPECT_EQ(run({QStringLiteral("--stamp"), QStringLiteral("star.png@40,50,150,120"), QStringLiteral("--keep-aspect"),
                   QStringLiteral("--frame=pink.png"), QStringLiteral("--stamp"),
                   folder.filePath(QStringLiteral("stamp/star.png")) + QStringLiteral("@5,300"), QStringLiteral("-o"),
                   out(QStringLiteral("cli.jpg"))}),
              0)
        << errors.toStdString();
    const QByteArray programBytes = bytesOf(out(QStringLiteral("program.jpg")));
    ASSERT_FALSE(programBytes.isEmpty());
    EXPECT_EQ(bytesOf(out(QStringLiteral("cli.jpg"))), programBytes);
}

TEST_F(CliDecorationTest, LayersFollowTheCommandLineAndBadDecorationsAreRefused)
{
    // PNG goes through a palette: colours within a step or two.
    const auto near = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) <= 3 && std::abs(qGreen(a) - qGreen(b)) <= 3 &&
               std::abs(qBlue(a) - qBlue(b)) <= 3;
    };
    const QStringList png{QStringLiteral("--format"), QStringLiteral("png")};
    const QString roomy = QStringLiteral("Roomy");
    // The frame is fitted to the width, rows 40 to 279; its band covers (10, 50): what comes later shows there.
    ASSERT_EQ(
        run(QStringList{"--frame", "pink.png", "--stamp", "star.png@4,44", "-o", out("stamp-last.png")} + png, roomy),
        0)
        << errors.toStdString();
    ASSERT_EQ(
        run(QStringList{"--stamp", "star.png@4,44", "--frame", "pink.png", "-o", out("frame-last.png")} + png, roomy),
        0);
    const QImage stampLast = ImageFile::load(out("stamp-last.png")).image;
    EXPECT_TRUE(near(stampLast.pixel(10, 50), qRgb(250, 200, 0)));
    EXPECT_TRUE(near(ImageFile::load(out("frame-last.png")).image.pixel(10, 50), qRgb(200, 40, 90)));
    // The stamp's see-through corner lets the frame show; the band above the frame has the margin colour.
    EXPECT_TRUE(near(stampLast.pixel(4, 44), qRgb(200, 40, 90)));
    EXPECT_TRUE(near(stampLast.pixel(10, 10), qRgb(255, 255, 255)));

    QFile broken(folder.filePath(QStringLiteral("frames/broken.png")));
    broken.open(QIODevice::WriteOnly);
    broken.write("not a picture");
    broken.close();
    const struct
    {
        QStringList arguments;
        const char* message;
    } refused[] = {
        {{"--stamp", "star.png"}, "--stamp takes FILE@X,Y"},
        {{"--stamp", "star.png@1,2,3"}, "--stamp takes FILE@X,Y"},
        {{"--stamp", "star.png@1,y"}, "--stamp takes FILE@X,Y"},
        {{"--stamp", "moon.png@1,2"}, "moon.png not found"},
        {{"--frame", "broken.png"}, "broken.png is not a readable picture"},
    };
    for (const auto& bad : refused) {
        const QString name = QStringLiteral("bad.jpg");
        EXPECT_EQ(run(bad.arguments + QStringList{"-o", out(name)}), 1) << bad.message;
        EXPECT_TRUE(errors.contains(QLatin1String(bad.message))) << errors.toStdString();
        EXPECT_FALSE(QFile::exists(out(name)));
    }
}
