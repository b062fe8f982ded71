#include "app/ProgramSession.h"
#include "app/SettingsFile.h"
#include "app/TfrMain.h"
#include "app/TfrOption.h"
#include "app/WindowPlacement.h"
#include "foundation/Cp932.h"
#include "foundation/IniFile.h"
#include "support/QuietStart.h"
#include "support/ScriptedPrompts.h"
#include "workspace/pages/TfrView.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
#include <gtest/gtest.h>

namespace {

const QString mainSection = QStringLiteral("メイン画面");

class WindowPlacementTest : public ::testing::Test
{
  protected:
    void write(const QString& name, const QString& text)
    {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Cp932::encode(text));
    }
    QString settingsPath() const
    {
        return SettingsFile::pathFor(folder.path() + QLatin1Char('/'), QCoreApplication::applicationFilePath());
    }

    QTemporaryDir folder;
    ScriptedPrompts prompts;
};

} // namespace

TEST(WindowPlacementRule, KeepsAWindowInsideTheAreaAsNearAsItCan)
{
    const QRect area(0, 0, 1280, 1000);
    struct Case
    {
        QPoint wanted;
        QSize size;
        QPoint placed;
    };
    const Case cases[] = {
        {{100, 200}, {400, 300}, {100, 200}},  // inside
        {{-5000, -20}, {400, 300}, {0, 0}},    // above and left of the screen
        {{9000, 900}, {400, 300}, {880, 700}}, // right and below: flush with the edges
        {{1279, 999}, {1280, 1000}, {0, 0}},   // exactly as large as the screen
        {{300, 50}, {1400, 300}, {300, 50}},   // wider than the screen, its left edge on it: kept
        {{1250, 50}, {1400, 300}, {0, 50}},    // too little of it left to grab
        {{-10, 2000}, {100, 2000}, {0, 0}},    // taller and off the screen: its title bar on it
    };
    for (const Case& c : cases)
        EXPECT_EQ(WindowPlacement::within(area, c.wanted, c.size), c.placed) << c.wanted.x() << "," << c.wanted.y();
}

// A place from a larger monitor puts each window back within the available screen at start-up.
TEST_F(WindowPlacementTest, StoredPlacesOffTheScreenAreBroughtOntoIt)
{
    write(QStringLiteral("mp_dat.sys"), QStringLiteral("h\r\nDoCoMo,F900i,メイン,,240,320,18,97600\r\n"));
    IniFile ini(settingsPath());
    for (const char16_t* section : {u"メイン画面", u"元画像プレビュー画面", u"オプション設定画面"}) {
        ini.writeInteger(QString::fromUtf16(section), QStringLiteral("Top"), -5000);
        ini.writeInteger(QString::fromUtf16(section), QStringLiteral("Left"), 20000);
    }
    ASSERT_TRUE(ini.save());
    ProgramSession session(prompts, folder.path(), bannerless());
    session.start();
    QCoreApplication::processEvents(); // the window system carries out the moves
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    for (QWidget* window : {static_cast<QWidget*>(session.frMain()), static_cast<QWidget*>(session.frView()),
                            static_cast<QWidget*>(session.frOption())}) {
        SCOPED_TRACE(window->objectName().toStdString());
        const QRect frame = window->frameGeometry();
        EXPECT_TRUE(area.contains(frame.topLeft())) << frame.x() << "," << frame.y();
        if (frame.width() <= area.width()) {
            EXPECT_LE(frame.right(), area.right());
        }
    }
}

// The program ends at once when the catalogue is missing; the main window's stored place must
// survive, though the window system has not moved the window yet when the settings are saved.
TEST_F(WindowPlacementTest, AStartThatEndsAtOnceKeepsTheStoredPlace)
{
    IniFile ini(settingsPath());
    ini.writeInteger(mainSection, QStringLiteral("Top"), 40);
    ini.writeInteger(mainSection, QStringLiteral("Left"), 30);
    ASSERT_TRUE(ini.save());
    {
        ProgramSession session(prompts, folder.path(), bannerless());
        session.start();
        ASSERT_TRUE(session.ended());
    }
    const IniFile stored(settingsPath());
    EXPECT_EQ(stored.readInteger(mainSection, QStringLiteral("Top"), 0), 40);
    EXPECT_EQ(stored.readInteger(mainSection, QStringLiteral("Left"), 0), 30);
}

// Until the window system reports the move, the place asked for is where the window stands;
// afterwards the window's own place counts, so a move by the user is stored.
TEST(WindowPlacementMove, TheAskedPlaceCountsUntilTheMoveIsConfirmed)
{
    QWidget window;
    window.resize(200, 100);
    window.show();
    QCoreApplication::processEvents();
    WindowPlacement placement(&window, WindowPlacement::Anchor::Frame);
    placement.place({60, 70});
    EXPECT_EQ(placement.current(), (WindowPlace{60, 70}));
    QCoreApplication::processEvents();
    EXPECT_EQ(window.pos(), QPoint(70, 60));
    window.move(90, 80);
    QCoreApplication::processEvents();
    EXPECT_EQ(placement.current(), (WindowPlace{80, 90}));
}
