#include "app/PageControl.h"
#include "app/ProgramSession.h"
#include "app/TfrMain.h"
#include "catalogue/pages/ModelSelectPage.h"
#include "cli/CalendarOptions.h"
#include "cli/CliCommand.h"
#include "cli/OptionValues.h"
#include "decoration/CalendarSettingsFile.h"
#include "decoration/pages/CalendarPage.h"
#include "foundation/Cp932.h"
#include "imaging/codecs/ImageFile.h"
#include "support/QuietStart.h"
#include "support/ScriptedPrompts.h"
#include "widgets/NumericField.h"

#include <QtCore/QTemporaryDir>
#include <QtWidgets/QPushButton>
#include <gtest/gtest.h>

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class CalendarCliTest : public ::testing::Test
{
  protected:
    CalendarCliTest()
    {
        QFile catalogue(folder.filePath(QStringLiteral("mp_dat.sys")));
        catalogue.open(QIODevice::WriteOnly);
        catalogue.write(Cp932::encode(QStringLiteral("キャリア,機種名,画面,備考,横,縦,色数,容量\r\n"
                                                     "DoCoMo,F900i,メイン,,240,320,18,97600\r\n")));
        catalogue.close();
        QImage image(320, 400, QImage::Format_RGB888);
        image.fill(QColor(40, 90, 160));
        picture = folder.filePath(QStringLiteral("photo.png"));
        ImageFile::save(image, picture, FileFormat::Png, EncodeOptions{});
        CalendarSettings settings;
        settings.weekStartsMonday = true;
        settings.title = TitleNotation::English;
        DayData holiday;
        holiday.month = 10;
        holiday.day = 10;
        settings.holidays.add(holiday);
        CalendarSettingsFile::save(settings, folder.filePath(CalendarSettingsFile::fileName()));
    }
    int run(const QStringList& arguments)
    {
        QString output;
        errors.clear();
        QTextStream out(&output);
        QTextStream err(&errors);
        CliCommand command(out, err, folder.path() + QLatin1Char('/'), false);
        return command.run(QStringList{QStringLiteral("pictorel-cli"), QStringLiteral("make"), picture,
                                       QStringLiteral("--model"), QStringLiteral("F900i")} +
                           arguments);
    }

    QTemporaryDir folder; // program folder: catalogue, picture and Calender.ini
    QTemporaryDir results;
    QString picture;
    QString errors;
};

} // namespace

TEST(CalendarOptions, ParsesPlacementsAndFonts)
{
    CalendarPlacement p;
    EXPECT_TRUE(OptionValues::calendarPlacement(QStringLiteral("2005-10@-5,30"), &p));
    EXPECT_EQ(p.year, 2005);
    EXPECT_EQ(p.month, 10);
    EXPECT_EQ(p.at, QPoint(-5, 30));
    for (const char* bad : {"2005-13@0,0", "1899-1@0,0", "2005-10", "2005-10@1", "2005/10@1,2", "2005-10@x,1"})
        EXPECT_FALSE(OptionValues::calendarPlacement(QLatin1String(bad), &p)) << bad;

    CalendarFont f;
    EXPECT_TRUE(OptionValues::calendarFont(QStringLiteral("IPAGothic:12:bold:italic:0000FF"), &f));
    EXPECT_EQ(f, (CalendarFont{QStringLiteral("IPAGothic"), 12, true, true, 0xff0000ff}));
    EXPECT_TRUE(OptionValues::calendarFont(QStringLiteral("IPAGothic:FEFEFE"), &f));
    EXPECT_EQ(f, (CalendarFont{QStringLiteral("IPAGothic"), 9, false, false, 0xffffffff}));
    for (const char* bad : {"", ":9", "IPAGothic:0", "IPAGothic:9:heavy", "IPAGothic:9:GGGGGG"})
        EXPECT_FALSE(OptionValues::calendarFont(QLatin1String(bad), &f)) << bad;
}

TEST_F(CalendarCliTest, WritesTheSameBytesAsTheProgramsCalendar)
{
    ScriptedPrompts prompts;
    ProgramSession session(prompts, folder.path(), bannerless());
    session.start();
    ModelSelectPage* models = session.frMain()->tsSelectMP;
    models->setCarrierText(QStringLiteral("DoCoMo"));
    models->cbCarrierChange();
    emit session.frMain()->filesDropped({picture});
    CalendarPage* page = session.frMain()->tsCalender;
    EXPECT_EQ(page->settings().holidays.count(), 1); // read at start-up
    page->csYear->setValue(2005);
    page->csMonth->setValue(10);
    page->csCalHSpace->setValue(12);
    page->csCalVSpace->setValue(14);
    // Pressed elsewhere, dragged, released at the place: only the last place stays.
    session.frMain()->pcMain->setActivePage(page);
    session.router().IkDispMainMouseDownImage(QPoint(60, 90), Qt::LeftButton);
    prompts.leftButton = true;
    session.router().IkDispMainMouseMove(QPoint(40, 50));
    EXPECT_FALSE(session.frMain()->btDecideDraw->isEnabled());
    session.router().IkDispMainMouseUpImage(QPoint(20, 30));
    EXPECT_TRUE(session.frMain()->btDecideDraw->isEnabled());
    session.frMain()->btDecideDraw->click();
    prompts.saveFileNames.enqueue(results.filePath(QStringLiteral("program.jpg")));
    session.frMain()->btSave->click();

    ASSERT_EQ(run({QStringLiteral("--calendar"), QStringLiteral("2005-10@20,30"), QStringLiteral("--calendar-settings"),
                   folder.filePath(CalendarSettingsFile::fileName()), QStringLiteral("--calendar-spacing"),
                   QStringLiteral("12,14"), QStringLiteral("-o"), results.filePath(QStringLiteral("cli.jpg"))}),
              0)
        << errors.toStdString();
    const QByteArray programBytes = fileBytes(results.filePath(QStringLiteral("program.jpg")));
    ASSERT_FALSE(programBytes.isEmpty());
    EXPECT_EQ(fileBytes(results.filePath(QStringLiteral("cli.jpg"))), programBytes);

    // Without the calendar the picture differs: the calendar really is on it.
    ASSERT_EQ(run({QStringLiteral("-o"), results.filePath(QStringLiteral("plain.jpg"))}), 0);
    EXPECT_NE(fileBytes(results.filePath(QStringLiteral("plain.jpg"))), programBytes);
}

TEST_F(CalendarCliTest, RefusesBadCalendarOptions)
{
    const QString outPath = results.filePath(QStringLiteral("x.jpg"));
    const QStringList cases[] = {
        {QStringLiteral("--calendar"), QStringLiteral("2005-10")},
        {QStringLiteral("--calendar-settings"), folder.filePath(QStringLiteral("missing.ini"))},
        {QStringLiteral("--calendar-spacing"), QStringLiteral("0,15")},
        {QStringLiteral("--calendar-font"), QStringLiteral("IPAGothic:9:wide")},
    };
    for (const QStringList& arguments : cases) {
        EXPECT_EQ(run(arguments + QStringList{QStringLiteral("-o"), outPath}), 1) << arguments.join(' ').toStdString();
        EXPECT_FALSE(errors.isEmpty());
        EXPECT_FALSE(QFile::exists(outPath));
    }
}
