// The program's event dispatch: whatever a handler lets escape is shown in an error box, and the
// events after it are delivered as usual.
#include "widgets/GuardedApplication.h"

#include "foundation/ProgramError.h"
#include "support/ScriptedPrompts.h"

#include <QtCore/QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

namespace {

class GuardedApplicationTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        app = dynamic_cast<GuardedApplication*>(QCoreApplication::instance());
        ASSERT_NE(app, nullptr) << "the tests run in the program's own application";
        app->setPrompts(&prompts);
    }
    void TearDown() override
    {
        if (app)
            app->setPrompts(nullptr);
    }

    GuardedApplication* app = nullptr;
    ScriptedPrompts prompts;
};

TEST_F(GuardedApplicationTest, AnErrorEscapingAHandlerIsShownAndTheProgramGoesOn)
{
    const struct
    {
        std::function<void()> fail;
        QString shown;
    } cases[] = {
        {[] { textToInt(QStringLiteral("5x")); }, QStringLiteral("'5x' は整数ではありません")},
        {[] { throw std::runtime_error("disk gone"); }, QStringLiteral("処理中にエラーが発生しました。")},
        {[] { throw std::bad_alloc(); }, QStringLiteral("メモリが不足しています。")},
        {[] { throw 7; }, QStringLiteral("不明なエラーが発生しました。")},
    };
    QObject receiver;
    for (const auto& c : cases) {
        prompts.shown.clear();
        bool afterwards = false;
        QTimer failing;
        failing.setSingleShot(true);
        QObject::connect(&failing, &QTimer::timeout, &receiver, c.fail);
        failing.start(0);
        QTimer::singleShot(0, &receiver, [&afterwards] { afterwards = true; });
        for (int spins = 0; spins < 100 && !afterwards; ++spins)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        EXPECT_TRUE(afterwards) << c.shown.toStdString();
        ASSERT_EQ(prompts.shown.size(), 1) << c.shown.toStdString();
        EXPECT_EQ(prompts.shown[0].kind, MessageKind::Error);
        EXPECT_EQ(prompts.shown[0].text, c.shown);
    }
}

} // namespace
