#include "catalogue/pages/ModelSelectPage.h"
#include "catalogue/pages/TfrDirectSize.h"
#include "foundation/Cp932.h"
#include "support/ScriptedPrompts.h"
#include "widgets/UpDown.h"

#include <QtGui/QKeyEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QToolButton>
#include <gtest/gtest.h>

namespace {

// Stands in for the main window: counts the Enter keys that reach it, as its default button would.
class EnterCountingWindow : public QWidget
{
  public:
    int enterPresses = 0;

  protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
            ++enterPresses;
    }
};

void activate(QWidget* window)
{
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window);
}

void pressReturn(QWidget* widget)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(widget, &press);
}

// What the user does: puts the focus in the field and replaces its text.
void typeInto(NumericField* field, const QString& text)
{
    field->setFocus(Qt::MouseFocusReason);
    field->selectAll();
    field->insert(text);
}

class DirectSizeTest : public ::testing::Test
{
  protected:
    DirectSizeTest()
    {
        catalogue.parse(Cp932::encode(QStringLiteral("h\r\n"
                                                     "DoCoMo,F900i,メイン,,240,320,18,97600\r\n"
                                                     "au,Tiny,メイン,,96,64,8,100\r\n"
                                                     "au,Huge,メイン,,720,1280,24,9000000\r\n")),
                        QStringLiteral("mp_dat.sys"));
        page.fillCarriers();
        page.setCarrierText(QStringLiteral("DoCoMo"));
        page.cbCarrierChange();
        QObject::connect(&page, &ModelSelectPage::modelApplied, [this](int w, int h) { applied << QSize(w, h); });
    }

    // Opens the dialog through the page and lets the script act on it while it is shown modally.
    void runDialog(const std::function<void(TfrDirectSize&)>& script)
    {
        bool ran = false;
        QTimer::singleShot(0, &dialog, [&] {
            ran = dialog.isVisible();
            activate(&dialog);
            script(dialog);
        });
        // Never hang on a script that left the dialog open.
        QTimer::singleShot(10000, &dialog, [this] {
            if (dialog.isVisible()) {
                ADD_FAILURE() << "the dialog was left open";
                dialog.reject();
            }
        });
        page.btDirectSizeClick(dialog);
        EXPECT_TRUE(ran);
        EXPECT_FALSE(dialog.isVisible());
    }

    QStringList mainFields() const
    {
        return {page.edMpWidth->text(), page.edMpHeight->text(), page.edMpCol->text(),
                page.csFS->text(),      page.carrierText(),      page.phoneText()};
    }

    ModelCatalogue catalogue;
    TModelEntry target;
    ScriptedPrompts prompts;
    ModelSelectPage page{catalogue, target, prompts};
    TfrDirectSize dialog;
    QList<QSize> applied;
};

} // namespace

TEST_F(DirectSizeTest, DialogOpensFilledFromTheTargetAndTheMainLimit)
{
    page.csFS->setText(QStringLiteral("50000")); // edited on the page since the model choice
    QStringList shown;
    runDialog([&](TfrDirectSize& d) {
        shown = QStringList{d.csMpWidth->text(), d.csMpHeight->text(), d.csCol->text(), d.csFS->text()};
        d.btCancel->click();
    });
    EXPECT_EQ(shown, (QStringList{"240", "320", "18", "50000"}));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("画面の大きさを直接入力"));
    EXPECT_EQ(dialog.size(), QSize(320, 152));
}

TEST_F(DirectSizeTest, OkTakesTheNumbersIntoTargetFieldsAndCanvas)
{
    runDialog([](TfrDirectSize& d) {
        typeInto(d.csMpWidth, QStringLiteral("200"));
        typeInto(d.csMpHeight, QStringLiteral("300"));
        typeInto(d.csCol, QStringLiteral("16"));
        typeInto(d.csFS, QStringLiteral("50000"));
        d.udFS->upButton()->click();
        d.btOk->click();
    });
    EXPECT_EQ(mainFields(), (QStringList{"200", "300", "16", "50001", "DoCoMo", "F900i"}));
    EXPECT_EQ(target.Width, 200);
    EXPECT_EQ(target.Height, 300);
    EXPECT_EQ(target.ColorBits, 16);
    EXPECT_EQ(target.SizeLimit, 50001);
    EXPECT_EQ(target.Carrier, QStringLiteral("DoCoMo"));
    EXPECT_EQ(target.Name, QStringLiteral("F900i"));
    EXPECT_EQ(applied.last(), QSize(200, 300));
}

TEST_F(DirectSizeTest, OkClampsTheFieldItTakesTheFocusFrom)
{
    runDialog([](TfrDirectSize& d) {
        typeInto(d.csMpWidth, QStringLiteral("5000"));
        d.btOk->click();
    });
    EXPECT_EQ(target.Width, 4096);
    EXPECT_EQ(page.edMpWidth->text(), QStringLiteral("4096"));
    EXPECT_EQ(applied.last(), QSize(4096, 320));

    runDialog([](TfrDirectSize& d) {
        typeInto(d.csMpHeight, QStringLiteral("5"));
        typeInto(d.csCol, QStringLiteral("2")); // the height is left here
        d.btOk->click();
    });
    EXPECT_EQ(target.Height, 8);
    EXPECT_EQ(target.ColorBits, 4);
}

TEST_F(DirectSizeTest, CancelAfterEditingEveryFieldChangesNothing)
{
    const TModelEntry before = target;
    const QStringList fieldsBefore = mainFields();
    const qsizetype appliedBefore = applied.size();
    runDialog([](TfrDirectSize& d) {
        typeInto(d.csMpWidth, QStringLiteral("100"));
        typeInto(d.csMpHeight, QStringLiteral("1000"));
        typeInto(d.csCol, QStringLiteral("2"));
        typeInto(d.csFS, QStringLiteral("300"));
        d.udMpWidth->upButton()->click();
        d.udFS->downButton()->click();
        d.btCancel->click();
    });
    EXPECT_EQ(target, before);
    EXPECT_EQ(mainFields(), fieldsBefore);
    EXPECT_EQ(applied.size(), appliedBefore);
    // What was typed is not kept for the next opening.
    QString widthShown;
    runDialog([&](TfrDirectSize& d) {
        widthShown = d.csMpWidth->text();
        d.btCancel->click();
    });
    EXPECT_EQ(widthShown, QStringLiteral("240"));
}

TEST_F(DirectSizeTest, ChoosingTheSameModelAgainBringsBackTheCatalogueValues)
{
    runDialog([](TfrDirectSize& d) {
        typeInto(d.csMpWidth, QStringLiteral("100"));
        typeInto(d.csFS, QStringLiteral("300"));
        d.btOk->click();
    });
    ASSERT_EQ(target.Width, 100);
    page.setPhoneText(QStringLiteral("F900i"));
    page.cbPhoneChange();
    const TModelEntry entry = catalogue.FindModel(QStringLiteral("F900i"));
    EXPECT_EQ(target.Width, entry.Width);
    EXPECT_EQ(target.Height, entry.Height);
    EXPECT_EQ(target.ColorBits, entry.ColorBits);
    EXPECT_EQ(target.SizeLimit, entry.SizeLimit);
    EXPECT_EQ(mainFields(), (QStringList{"240", "320", "18", "97600", "DoCoMo", "F900i"}));
    EXPECT_EQ(applied.last(), QSize(240, 320));
}

TEST_F(DirectSizeTest, EnterWalksThroughTheFieldsToOkAndASecondEnterPressesIt)
{
    QStringList focusPath;
    runDialog([&](TfrDirectSize& d) {
        d.csFS->setText(QStringLiteral("1"));
        for (NumericField* field : {d.csMpWidth, d.csMpHeight, d.csCol, d.csFS}) {
            pressReturn(field);
            focusPath << d.focusWidget()->objectName();
        }
        pressReturn(d.btOk);
    });
    EXPECT_EQ(focusPath, (QStringList{"csMpHeight", "csCol", "csFS", "btOk"}));
    EXPECT_EQ(page.csFS->text(), QStringLiteral("256")); // clamped on the way, then taken over
    EXPECT_EQ(target.SizeLimit, 256);
}

TEST_F(DirectSizeTest, UnreadableLimitIsNeverTakenAsTheLimit)
{
    page.csFS->setText(QStringLiteral("abc")); // e.g. restored from a damaged settings file
    EXPECT_EQ(page.sizeLimit(), 256);
    runDialog([](TfrDirectSize& d) { d.btOk->click(); }); // the limit field is never entered
    EXPECT_EQ(page.csFS->text(), QStringLiteral("256"));
    EXPECT_EQ(target.SizeLimit, 256);

    runDialog([](TfrDirectSize& d) {
        typeInto(d.csFS, QString()); // emptied by the user
        d.btOk->click();
    });
    EXPECT_EQ(target.SizeLimit, 256);
}

TEST_F(DirectSizeTest, CatalogueLimitOutsideTheRangeStaysUntilEdited)
{
    page.setCarrierText(QStringLiteral("au"));
    page.cbCarrierChange(); // "Tiny", limit 100
    EXPECT_EQ(page.csFS->text(), QStringLiteral("100"));
    EXPECT_EQ(page.sizeLimit(), 100);
    // A direct entry that does not touch the limit keeps it.
    runDialog([](TfrDirectSize& d) {
        typeInto(d.csMpWidth, QStringLiteral("120"));
        d.btOk->click();
    });
    EXPECT_EQ(page.csFS->text(), QStringLiteral("100"));
    EXPECT_EQ(target.SizeLimit, 100);
    page.csFSExit();
    EXPECT_EQ(page.csFS->text(), QStringLiteral("256"));

    page.setPhoneText(QStringLiteral("Huge"));
    page.cbPhoneChange();
    EXPECT_EQ(page.sizeLimit(), 9000000);
    page.udFSChangingEx(StepDirection::Up);
    EXPECT_EQ(page.csFS->text(), QStringLiteral("9000000"));
    page.udFSChangingEx(StepDirection::Down);
    EXPECT_EQ(page.csFS->text(), QStringLiteral("8999999"));
}

TEST_F(DirectSizeTest, EnterInThePageLimitFocusesThePageAndNeverReachesTheWindow)
{
    EnterCountingWindow window;
    page.setParent(&window);
    auto* ordinary = new QLineEdit(&window);
    ordinary->move(300, 0);
    activate(&window);
    // An ordinary field lets Enter through to the window's default button.
    pressReturn(ordinary);
    EXPECT_EQ(window.enterPresses, 1);

    page.csFS->setFocus();
    page.csFS->setText(QStringLiteral("99999999"));
    pressReturn(page.csFS);
    EXPECT_EQ(window.enterPresses, 1);
    EXPECT_TRUE(page.hasFocus());
    EXPECT_EQ(page.csFS->text(), QStringLiteral("7372800"));
    page.setParent(nullptr);
}
