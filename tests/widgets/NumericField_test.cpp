#include "widgets/NumericField.h"
#include "widgets/UpDown.h"

#include <QtCore/QElapsedTimer>
#include <QtGui/QClipboard>
#include <QtGui/QMouseEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QToolButton>
#include <gtest/gtest.h>
#include <limits>

using namespace NumericRules;

namespace {

QString up(const NumericRule& rule, const char* text)
{
    return rule.stepped(QString::fromUtf8(text), StepDirection::Up);
}

QString down(const NumericRule& rule, const char* text)
{
    return rule.stepped(QString::fromUtf8(text), StepDirection::Down);
}

QString leave(const NumericRule& rule, const char* text)
{
    return rule.left(QString::fromUtf8(text));
}

} // namespace

TEST(NumericRuleTest, ArrowsStepByOneAndStopAtTheEnds)
{
    EXPECT_EQ(up(ScreenSide, "4095"), "4096");
    EXPECT_EQ(up(ScreenSide, "4096"), "4096");
    EXPECT_EQ(down(ScreenSide, "9"), "8");
    EXPECT_EQ(down(ScreenSide, "8"), "8");
    EXPECT_EQ(up(ColourBits, "32"), "32");
    EXPECT_EQ(down(ColourBits, "5"), "4");
    EXPECT_EQ(down(ColourBits, "4"), "4");
    EXPECT_EQ(up(SizeLimit, "7372799"), "7372800");
    EXPECT_EQ(up(SizeLimit, "7372800"), "7372800");
    EXPECT_EQ(down(SizeLimit, "257"), "256");
    EXPECT_EQ(down(SizeLimit, "256"), "256");
}

TEST(NumericRuleTest, ArrowsOnAValueOutsideTheRangeMoveOnlyTowardsIt)
{
    // Typed but not yet left, or a catalogue limit outside the range.
    EXPECT_EQ(up(ScreenSide, "5000"), "5000");
    EXPECT_EQ(down(ScreenSide, "5000"), "4999");
    EXPECT_EQ(down(ScreenSide, "5"), "5");
    EXPECT_EQ(up(ScreenSide, "5"), "6");
    EXPECT_EQ(up(SizeLimit, "-5"), "-4");
    EXPECT_EQ(down(SizeLimit, "100"), "100");
}

TEST(NumericRuleTest, LeavingClampsIntoTheRange)
{
    EXPECT_EQ(leave(ScreenSide, "5000"), "4096");
    EXPECT_EQ(leave(ScreenSide, "4097"), "4096");
    EXPECT_EQ(leave(ScreenSide, "5"), "8");
    EXPECT_EQ(leave(ScreenSide, "7"), "8");
    EXPECT_EQ(leave(ScreenSide, "0"), "8");
    EXPECT_EQ(leave(ColourBits, "2"), "4");
    EXPECT_EQ(leave(ColourBits, "33"), "32");
    EXPECT_EQ(leave(SizeLimit, "7372801"), "7372800");
    EXPECT_EQ(leave(SizeLimit, "255"), "256");
    EXPECT_EQ(leave(SizeLimit, "-5"), "256");
    // Values within the range are kept as typed.
    EXPECT_EQ(leave(ScreenSide, "8"), "8");
    EXPECT_EQ(leave(ScreenSide, "480"), "480");
    EXPECT_EQ(leave(ScreenSide, "4096"), "4096");
    EXPECT_EQ(leave(SizeLimit, "0300"), "0300");
    EXPECT_EQ(SizeLimit.value(QStringLiteral("0300")), 300);
}

TEST(NumericRuleTest, TextWithoutANumberIsTheMinimumAndNeverAnError)
{
    for (const char* junk : {"", " ", "abc", "12a", "1 2", "-", "+", "1.5", "１２"}) {
        SCOPED_TRACE(junk);
        EXPECT_EQ(leave(SizeLimit, junk), "256");
        EXPECT_EQ(leave(ScreenSide, junk), "8");
        EXPECT_EQ(up(ColourBits, junk), "4");
        EXPECT_EQ(down(ColourBits, junk), "4");
        EXPECT_EQ(SizeLimit.value(QString::fromUtf8(junk)), 256);
        EXPECT_EQ(SizeLimit.settled(QString::fromUtf8(junk)), "256");
    }
    EXPECT_EQ(SizeLimit.settled(QStringLiteral("100")), "100"); // a number is kept, in range or not
}

TEST(NumericRuleTest, VeryLongNumbersSaturateInsteadOfOverflowing)
{
    EXPECT_EQ(leave(SizeLimit, "99999999999999999999999"), "7372800");
    EXPECT_EQ(leave(ScreenSide, "4294967776"), "4096"); // 2^32 + 480 must not wrap to 480
    EXPECT_EQ(SizeLimit.value(QStringLiteral("99999999999999999999999")), std::numeric_limits<int>::max());
    EXPECT_EQ(NumericRule::read(QStringLiteral("-99999999999")), std::numeric_limits<int>::min());
    EXPECT_EQ(NumericRule::read(QStringLiteral(" +42 ")), 42);
    EXPECT_EQ(up(SizeLimit, "2147483647"), "2147483647");
}

class NumericFieldTest : public ::testing::Test
{
  protected:
    NumericFieldTest()
    {
        window.resize(300, 100);
        field->place({10, 10, 80, 22});
        other->move(10, 50);
    }
    void activate()
    {
        window.show();
        window.activateWindow();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(window.isActiveWindow());
    }

    QWidget window;
    NumericField* field = new NumericField(SizeLimit, "csFS", "udFS", &window);
    QLineEdit* other = new QLineEdit(&window);
};

TEST_F(NumericFieldTest, StepperArrowsStepTheFieldWithinTheRange)
{
    UpDown* stepper = field->stepper();
    EXPECT_EQ(stepper->objectName(), QStringLiteral("udFS"));
    EXPECT_EQ(stepper->parentWidget(), &window);
    field->setValue(7372799);
    stepper->upButton()->click();
    stepper->upButton()->click();
    EXPECT_EQ(field->text(), QStringLiteral("7372800"));
    stepper->downButton()->click();
    EXPECT_EQ(field->value(), 7372799);
    field->setValue(256);
    stepper->downButton()->click();
    EXPECT_EQ(field->text(), QStringLiteral("256"));
    stepper->upButton()->click();
    EXPECT_EQ(field->text(), QStringLiteral("257"));
}

TEST_F(NumericFieldTest, HoldingAnArrowKeepsStepping)
{
    field->setValue(1000);
    QToolButton* arrow = field->stepper()->upButton();
    const QPointF centre = QRectF(arrow->rect()).center();
    QMouseEvent press(QEvent::MouseButtonPress, centre, arrow->mapToGlobal(centre), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(arrow, &press);
    QElapsedTimer held;
    held.start();
    while (held.elapsed() < 800)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, arrow->mapToGlobal(centre), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(arrow, &release);
    EXPECT_GT(field->value(), 1001); // more than the single click of the release
}

TEST_F(NumericFieldTest, TypingAndPastingAcceptDigitsOnly)
{
    field->setText(QStringLiteral("12"));
    field->end(false);
    field->insert(QStringLiteral("a"));
    field->insert(QStringLiteral("-"));
    EXPECT_EQ(field->text(), QStringLiteral("12"));
    QApplication::clipboard()->setText(QStringLiteral("3x4"));
    field->paste();
    EXPECT_EQ(field->text(), QStringLiteral("12"));
    QApplication::clipboard()->setText(QStringLiteral("34"));
    field->paste();
    EXPECT_EQ(field->text(), QStringLiteral("1234"));
}

TEST_F(NumericFieldTest, LosingTheFocusClampsTheField)
{
    activate();
    field->setFocus();
    ASSERT_TRUE(field->hasFocus());
    field->clear();
    field->insert(QStringLiteral("12"));
    other->setFocus();
    EXPECT_EQ(field->text(), QStringLiteral("256"));
    field->setFocus();
    field->clear(); // emptied by the user
    other->setFocus();
    EXPECT_EQ(field->text(), QStringLiteral("256"));
}
