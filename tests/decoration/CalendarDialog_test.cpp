#include "decoration/CalendarSettingsFile.h"
#include "decoration/CalendarTool.h"
#include "decoration/DrawingLayers.h"
#include "decoration/pages/CalendarPage.h"
#include "decoration/pages/TfrCalender.h"
#include "imaging/drawing/LayerKeyColor.h"
#include "support/ScriptedPrompts.h"
#include "widgets/NumericField.h"
#include "workspace/UndoHistory.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtGui/QKeyEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <gtest/gtest.h>

namespace {

class CalendarDialogTest : public ::testing::Test
{
  protected:
    // One entry through the editor: "毎年"/"毎月", the month, the day and the name.
    void addDate(bool everyYear, int month, int day, const QString& name)
    {
        dialog.cbCal01->setCurrentIndex(everyYear ? 0 : 1);
        dialog.cbCal02->setCurrentIndex(month - 1);
        dialog.rbCal04->setChecked(true);
        dialog.cbCal04_01->setCurrentIndex(day - 1);
        dialog.edDateName->setText(name);
        dialog.btAddDate->click();
    }
    QStringList listed() const
    {
        QStringList texts;
        for (int i = 0; i < dialog.lbDateList->count(); ++i)
            texts << dialog.lbDateList->item(i)->text();
        return texts;
    }
    void select(int row)
    {
        dialog.lbDateList->setCurrentRow(row);
        dialog.lbDateListClick();
    }

    QTemporaryDir folder;
    QString path = folder.filePath(CalendarSettingsFile::fileName());
    ScriptedPrompts prompts;
    CalendarSettings settings;
    TfrCalender dialog{settings, prompts, path};
};

} // namespace

TEST_F(CalendarDialogTest, EditorBuildsSortedEntriesAndEnablesApply)
{
    EXPECT_FALSE(dialog.btOption->isEnabled());
    addDate(true, 10, 10, QStringLiteral("祝日"));
    addDate(true, 1, 1, QStringLiteral("元日"));
    addDate(false, 5, 25, QStringLiteral("給料日")); // stores the disabled month 5
    EXPECT_FALSE(dialog.cbCal02->isEnabled());
    EXPECT_EQ(listed(), (QStringList{QStringLiteral("毎年  1月  1日 : 元日"), QStringLiteral("毎年 10月 10日 : 祝日"),
                                     QStringLiteral("毎月 25日 : 給料日")}));
    EXPECT_EQ(settings.holidays.at(2).month, 5);
    EXPECT_EQ(dialog.lbDateList->currentRow(), -1);
    EXPECT_TRUE(dialog.btOption->isEnabled());

    // The weekday choice enables its two boxes and the entry takes them.
    dialog.rbCal03->setChecked(true);
    EXPECT_FALSE(dialog.cbCal04_01->isEnabled());
    EXPECT_TRUE(dialog.cbCal03_01->isEnabled() && dialog.cbCal03_02->isEnabled());
    dialog.cbCal01->setCurrentIndex(0);
    dialog.cbCal02->setCurrentIndex(0);
    dialog.cbCal03_01->setCurrentIndex(1);
    dialog.cbCal03_02->setCurrentIndex(1);
    dialog.edDateName->setText(QStringLiteral("成人の日"));
    dialog.btAddDate->click();
    EXPECT_EQ(listed().at(1), QStringLiteral("毎年  1月 第二 月曜 : 成人の日"));

    // Selecting fills the controls back.
    select(0);
    EXPECT_EQ(dialog.edDateName->text(), QStringLiteral("元日"));
    EXPECT_TRUE(dialog.rbCal04->isChecked());
    EXPECT_TRUE(dialog.cbCal04_01->isEnabled());

    // An empty name is refused with the message; nothing changes.
    dialog.edDateName->clear();
    dialog.btAddDate->click();
    dialog.btRepDate->click();
    EXPECT_EQ(prompts.texts(), (QStringList(2, QStringLiteral("指定日の名前を入力してください"))));
    EXPECT_EQ(settings.holidays.count(), 4);

    // Replacing moves the entry to its sorted place.
    dialog.edDateName->setText(QStringLiteral("正月"));
    dialog.cbCal02->setCurrentIndex(11);
    dialog.btRepDate->click();
    EXPECT_EQ(listed().at(2), QStringLiteral("毎年 12月  1日 : 正月")); // before every month
    EXPECT_EQ(settings.holidays.count(), 4);
}

TEST_F(CalendarDialogTest, ANameTheFileCannotHoldIsRefusedWhenAdded)
{
    // Calender.ini is Windows Japanese text: these would be stored as "?".
    addDate(true, 5, 5, QStringLiteral("こどもの日\U0001F38F"));
    addDate(true, 5, 5, QStringLiteral("Caf\u00E9 \u00E9t\u00E9"));
    EXPECT_EQ(prompts.texts(),
              (QStringList{QStringLiteral("指定日の名前に保存できない文字（\U0001F38F）が含まれています。"),
                           QStringLiteral("指定日の名前に保存できない文字（\u00E9）が含まれています。")}));
    EXPECT_EQ(settings.holidays.count(), 0);
    addDate(true, 5, 5, QStringLiteral("こどもの日～"));
    EXPECT_EQ(settings.holidays.count(), 1);
}

TEST_F(CalendarDialogTest, NothingSelectedMeansNothingChanges)
{
    addDate(true, 1, 1, QStringLiteral("元日"));
    dialog.edDateName->setText(QStringLiteral("別"));
    const HolidayList before = settings.holidays;
    dialog.lbDateList->setCurrentRow(-1);
    dialog.btRepDate->click();
    dialog.btDelDate->click();
    dialog.lbDateListClick();
    EXPECT_TRUE(settings.holidays == before);
    EXPECT_EQ(dialog.edDateName->text(), QStringLiteral("別"));
    EXPECT_TRUE(prompts.shown.isEmpty());

    select(0);
    dialog.btDelDate->click();
    EXPECT_EQ(settings.holidays.count(), 0);
}

// The arrow keys select as a click does: "置換" then acts on the entry the editor shows.
TEST_F(CalendarDialogTest, AKeyboardSelectionFillsTheEditor)
{
    addDate(true, 1, 1, QStringLiteral("元日"));
    addDate(true, 2, 11, QStringLiteral("建国記念の日"));
    addDate(true, 5, 3, QStringLiteral("憲法記念日"));
    QListWidgetItem* first = dialog.lbDateList->item(0);
    emit dialog.lbDateList->itemClicked(first);
    dialog.lbDateList->setCurrentItem(first);
    EXPECT_EQ(dialog.edDateName->text(), QStringLiteral("元日"));
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(dialog.lbDateList, &down);
    ASSERT_EQ(dialog.lbDateList->currentRow(), 1);
    EXPECT_EQ(dialog.edDateName->text(), QStringLiteral("建国記念の日"));
    EXPECT_EQ(dialog.cbCal02->currentIndex(), 1);
    EXPECT_EQ(dialog.cbCal04_01->currentIndex(), 10);

    dialog.edDateName->setText(QStringLiteral("建国の日"));
    dialog.btRepDate->click();
    EXPECT_EQ(listed(),
              (QStringList{QStringLiteral("毎年  1月  1日 : 元日"), QStringLiteral("毎年  2月 11日 : 建国の日"),
                           QStringLiteral("毎年  5月  3日 : 憲法記念日")}));
}

TEST_F(CalendarDialogTest, TheFullListRefusesOneMore)
{
    for (int i = 0; i < HolidayList::Capacity; ++i)
        settings.holidays.add(DayData{});
    dialog.edDateName->setText(QStringLiteral("もう一つ"));
    dialog.btAddDate->click();
    EXPECT_EQ(settings.holidays.count(), 512);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, MessageKind::Error);
    EXPECT_TRUE(prompts.shown[0].text.contains(QStringLiteral("いっぱい")));
    EXPECT_TRUE(prompts.shown[0].text.contains(QStringLiteral("512")));
}

TEST_F(CalendarDialogTest, CancelRestoresTheLastSave)
{
    addDate(true, 1, 1, QStringLiteral("元日"));
    dialog.btOption->click();
    EXPECT_FALSE(dialog.btOption->isEnabled());
    EXPECT_TRUE(QFile::exists(path));

    addDate(true, 2, 11, QStringLiteral("建国記念の日"));
    dialog.rbStartMon->setChecked(true);
    dialog.cbDate->click();
    EXPECT_FALSE(settings.showWeekdays);
    EXPECT_FALSE(dialog.rbDateJP->isEnabled());
    EXPECT_TRUE(settings.weekStartsMonday);
    dialog.btCancel->click();
    EXPECT_EQ(listed(), QStringList{QStringLiteral("毎年  1月  1日 : 元日")});
    EXPECT_FALSE(settings.weekStartsMonday);
    EXPECT_TRUE(settings.showWeekdays);
    EXPECT_TRUE(dialog.rbDateJP->isEnabled());
    EXPECT_TRUE(dialog.rbStartSun->isChecked());
}

TEST_F(CalendarDialogTest, ColoursAvoidTheKeyColourAndAFailedSaveSaysSoOnce)
{
    prompts.colors.enqueue(QColor(254, 254, 254));
    dialog.weekdayButtons[1]->click();
    EXPECT_EQ(settings.WeekdayColor(2), 0xffffffffu);
    EXPECT_TRUE(dialog.btOption->isEnabled());

    // The folder is a file: nothing can be written there.
    QFile blocker(folder.filePath(QStringLiteral("blocked")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString blocked = folder.filePath(QStringLiteral("blocked/Calender.ini"));
    TfrCalender other(settings, prompts, blocked);
    other.btOK->click();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, MessageKind::Error);
    EXPECT_TRUE(prompts.shown[0].text.contains(blocked));
}

TEST(CalendarPage, RedrawsOnEveryChangeAndKeepsTheFontVisible)
{
    QTemporaryDir folder;
    UndoHistory undo(folder.path() + QLatin1Char('/'));
    ScriptedPrompts prompts;
    DrawingLayers layers(undo, prompts);
    CalendarPage page(layers, prompts, [] { return QSize(240, 320); });
    int redraws = 0;
    QObject::connect(&page, &CalendarPage::calendarChanged, [&] { ++redraws; });
    page.csYear->setValue(2005);
    page.csMonth->setValue(QDate::currentDate().month() % 12 + 1);
    page.csCalHSpace->setValue(20);
    page.csCalVSpace->setValue(20);
    EXPECT_EQ(redraws, 4);
    EXPECT_EQ(page.CalendarSize(), QSize(240, 320));
    EXPECT_EQ(page.request().hSpace, 20);
    page.csYear->setText(QStringLiteral("3")); // mid-typing: read within the range
    EXPECT_EQ(page.request().year, 1900);

    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPointSize(12);
    page.setCalendarFont(font, QColor(254, 254, 254));
    EXPECT_EQ(page.FontCalendar.color, 0xffffffffu);
    EXPECT_EQ(page.FontCalendar.size, 12);
    EXPECT_EQ(redraws, 6);
}

TEST(CalendarTool, PressAndDragMoveOneCalendarAndOnlyTheReleaseEnablesCommit)
{
    QTemporaryDir folder;
    UndoHistory undo(folder.path() + QLatin1Char('/'));
    ScriptedPrompts prompts;
    DrawingLayers layers(undo, prompts);
    layers.setCanvasSize(QSize(100, 100));
    bool pending = false;
    QObject::connect(&layers, &DrawingLayers::drawingControlsEnabled, [&](bool on) { pending = on; });
    QImage calendar(100, 100, QImage::Format_RGB888);
    calendar.fill(LayerKeyColor);
    calendar.setPixel(0, 0, 0xff00ff00);
    CalendarTool tool(
        layers, [&] { return calendar; }, [] { return QSize(100, 100); });
    CanvasTool& asTool = tool;

    asTool.press(QPoint(10, 10), Qt::LeftButton);
    asTool.move(QPoint(30, 40));
    EXPECT_FALSE(pending);
    const QImage& shown = layers.layer(0).picture;
    EXPECT_EQ(shown.pixel(30, 40), 0xff00ff00u);
    EXPECT_EQ(shown.pixel(10, 10), LayerKeyColor); // the earlier place is gone
    asTool.release(QPoint(-5, 50));                // not clipped
    EXPECT_TRUE(pending);
    EXPECT_TRUE(layers.layer(0).visible);
    EXPECT_EQ(layers.layer(0).picture.size(), QSize(100, 100));
    EXPECT_EQ(layers.layer(0).picture.pixel(30, 40), LayerKeyColor);
}
