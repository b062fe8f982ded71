#include "catalogue/pages/ModelSelectPage.h"
#include "foundation/Cp932.h"
#include "support/ScriptedPrompts.h"

#include <QtGui/QFocusEvent>
#include <QtGui/QKeyEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <gtest/gtest.h>

namespace {

class ModelSelectPageTest : public ::testing::Test
{
  protected:
    ModelSelectPageTest()
    {
        catalogue.parse(Cp932::encode(QStringLiteral("h\r\n"
                                                     "DoCoMo,F900i,メイン,,240,320,18,97600\r\n"
                                                     "DoCoMo,F900i,サブ,,96,72,16,20480\r\n"
                                                     "au,W21S,メイン,,240,320,16,102400\r\n"
                                                     "au,F900i,メイン,,8,8,1,1\r\n")),
                        QStringLiteral("mp_dat.sys"));
        page.fillCarriers();
        QObject::connect(&page, &ModelSelectPage::modelApplied, [this](int w, int h) { applied << QSize(w, h); });
    }
    ModelCatalogue catalogue;
    TModelEntry target;
    ScriptedPrompts prompts;
    ModelSelectPage page{catalogue, target, prompts};
    QList<QSize> applied;
};

} // namespace

TEST_F(ModelSelectPageTest, ChoosingACarrierListsItsModelsAndAppliesTheFirst)
{
    EXPECT_EQ(page.carrierText(), QStringLiteral("携帯キャリア"));
    EXPECT_EQ(page.phoneText(), QStringLiteral("携帯型番"));
    page.setCarrierText(QStringLiteral("DoCoMo"));
    page.cbCarrierChange();
    EXPECT_EQ(page.phoneItems(), (QStringList{"F900i", "F900i(サブ)"}));
    EXPECT_EQ(page.phoneText(), QStringLiteral("F900i"));
    EXPECT_EQ(target.Name, QStringLiteral("F900i"));
    EXPECT_EQ(page.edMpWidth->text(), QStringLiteral("240"));
    EXPECT_EQ(page.edMpHeight->text(), QStringLiteral("320"));
    EXPECT_EQ(page.edMpCol->text(), QStringLiteral("18"));
    EXPECT_EQ(page.csFS->text(), QStringLiteral("97600"));
    EXPECT_EQ(applied, QList<QSize>{QSize(240, 320)});
}

TEST_F(ModelSelectPageTest, ChoosingAModelKeepsOnlyNameCarrierAndNumbers)
{
    page.setPhoneText(QStringLiteral("F900i(サブ)"));
    page.cbPhoneChange();
    EXPECT_EQ(target.Carrier, QStringLiteral("DoCoMo"));
    EXPECT_EQ(target.Width, 96);
    EXPECT_TRUE(target.Variant.isEmpty());
    // The same name under a second carrier: the first entry in the file wins.
    page.setCarrierText(QStringLiteral("au"));
    page.setPhoneText(QStringLiteral("F900i"));
    page.cbPhoneChange();
    EXPECT_EQ(target.Width, 240);
}

TEST_F(ModelSelectPageTest, UnknownCarrierEmptiesTheListAndAppliesTheDefault)
{
    page.setCarrierText(QStringLiteral("Docomo"));
    page.cbCarrierChange();
    EXPECT_TRUE(page.phoneItems().isEmpty());
    EXPECT_TRUE(page.phoneText().isEmpty());
    EXPECT_EQ(page.csFS->text(), QStringLiteral("10240"));
    EXPECT_EQ(applied.last(), QSize(480, 480));
}

TEST_F(ModelSelectPageTest, OnlyTheUsersChangesRunTheHandlers)
{
    page.setCarrierText(QStringLiteral("au"));
    EXPECT_TRUE(applied.isEmpty());
    // Typing runs the carrier handler at every keystroke.
    page.cbCarrier->lineEdit()->clear();
    QLineEdit* edit = page.cbCarrier->lineEdit();
    for (const char c : std::string("au"))
        edit->insert(QString(QLatin1Char(c))); // counts as the user's edit
    ASSERT_EQ(applied.size(), 2);
    EXPECT_EQ(applied.first(), QSize(480, 480)); // "a" matches no carrier
    EXPECT_EQ(page.phoneItems(), (QStringList{"W21S", "F900i"}));
}

// Start-up only sets the lists' texts, so each list's current item is still its first. Focus
// moving through the page (a click into the other list, Tab) must leave the model and an edited
// limit alone; Enter and a pick from the list still choose.
TEST_F(ModelSelectPageTest, FocusLeavingTheListsKeepsTheModelAndTheLimit)
{
    page.setCarrierText(QStringLiteral("au"));
    page.cbCarrierChange();
    page.setPhoneText(QStringLiteral("F900i")); // au's second model
    page.cbPhoneChange();
    page.csFS->setText(QStringLiteral("5000"));
    applied.clear();
    // The focus leaves a list (which hands the loss on to its field) or its field alone.
    for (QComboBox* list : {page.cbCarrier, page.cbPhone})
        for (QWidget* focused : {static_cast<QWidget*>(list), static_cast<QWidget*>(list->lineEdit())}) {
            QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
            QApplication::sendEvent(focused, &in);
            QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
            QApplication::sendEvent(focused, &out);
        }
    EXPECT_TRUE(applied.isEmpty());
    EXPECT_EQ(target.Name, QStringLiteral("F900i"));
    EXPECT_EQ(page.carrierText(), QStringLiteral("au"));
    EXPECT_EQ(page.phoneText(), QStringLiteral("F900i"));
    EXPECT_EQ(page.phoneItems(), (QStringList{"W21S", "F900i"}));
    EXPECT_EQ(page.csFS->text(), QStringLiteral("5000"));

    emit page.cbPhone->activated(1); // a pick from the list
    EXPECT_EQ(applied.size(), 1);
    page.setPhoneText(QStringLiteral("W21S"));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(page.cbPhone->lineEdit(), &enter);
    EXPECT_EQ(applied.size(), 2);
    EXPECT_EQ(page.csFS->text(), QStringLiteral("102400"));
}

// The lists show their prompts after a new catalogue; what is kept is the model in force.
TEST_F(ModelSelectPageTest, APromptIsNeverKeptAsTheModel)
{
    page.setCarrierText(QStringLiteral("au"));
    page.cbCarrierChange();
    page.showPrompts();
    EXPECT_EQ(page.carrierText(), QStringLiteral("携帯キャリア"));
    EXPECT_EQ(page.carrierToKeep(), QStringLiteral("au"));
    EXPECT_EQ(page.phoneToKeep(), QStringLiteral("W21S"));
    page.setCarrierText(QStringLiteral("XYZ")); // typed text is kept as it stands
    EXPECT_EQ(page.carrierToKeep(), QStringLiteral("XYZ"));
}
