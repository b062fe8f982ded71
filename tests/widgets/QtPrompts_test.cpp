// The real desktop seam: boxes come above the stay-on-top progress dialog, the font dialog has a
// colour, and Qt's standard dialogs speak Japanese.
#include "foundation/QtTranslations.h"
#include "widgets/FontColorDialog.h"
#include "widgets/QtPrompts.h"

#include <QtCore/QTimer>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDialog>
#include <QtWidgets/QMessageBox>
#include <gtest/gtest.h>

TEST(QtPromptsTest, ABoxDuringProgressComesAboveItCentredOnTheOwnerWithTheKeyboard)
{
    QWidget owner;
    owner.setGeometry(60, 40, 640, 480);
    owner.show();
    QDialog progress(&owner, Qt::Dialog | Qt::WindowStaysOnTopHint); // as the progress dialog is made
    progress.show();
    QtPrompts prompts;
    prompts.setDialogOwner([&owner] { return &owner; });
    bool onTop = false;
    bool modal = false;
    bool active = false;
    QPoint offCentre;
    QTimer::singleShot(0, [&] {
        QCoreApplication::processEvents(); // the box brings itself forward once it is up
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        modal = box->isModal();
        active = QApplication::activeWindow() == box;
        offCentre = box->frameGeometry().center() - owner.frameGeometry().center();
        box->accept();
    });
    prompts.message(MessageKind::Information, QStringLiteral("保存しました。"), MessageButtons::Ok);
    EXPECT_TRUE(onTop);
    EXPECT_TRUE(modal);
    EXPECT_TRUE(active);
    EXPECT_LE(offCentre.manhattanLength(), 2);
}

TEST(QtTranslationsTest, TheStandardDialogsSpeakJapanese)
{
    ASSERT_TRUE(QtTranslations::install()) << QtTranslations::folder().toStdString();
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("キャンセル"));
    for (const auto& [context, text] :
         {std::pair{"QFileDialog", "Save As"}, {"QColorDialog", "Select Color"}, {"QFontDialog", "Select Font"}})
        EXPECT_NE(QCoreApplication::translate(context, text), QLatin1String(text)) << context;
}

// The font dialog shows the text colour, a colour outside the basic ones as "カスタム", and gives
// back the colour chosen; cancelled, it changes nothing.
TEST(QtPromptsTest, TheFontDialogShowsAndChangesTheFontColour)
{
    QtPrompts prompts;
    QFont initial(QStringLiteral("IPAPGothic"));
    initial.setPointSize(14);
    QColor color = QColor::fromRgb(0x123456);
    QString shown;
    for (const bool accept : {true, false}) {
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<FontColorDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            shown = dialog->cbColor->currentText() + QLatin1Char(' ') + dialog->color().name();
            dialog->cbColor->setCurrentIndex(dialog->cbColor->findText(QStringLiteral("赤")));
            accept ? dialog->accept() : dialog->reject();
        });
        const std::optional<QFont> chosen = prompts.chooseFont(initial, &color);
        if (accept) {
            EXPECT_EQ(shown, QStringLiteral("カスタム #123456"));
            ASSERT_TRUE(chosen.has_value());
            EXPECT_EQ(chosen->pointSize(), 14);
            EXPECT_EQ(color, QColor(Qt::red));
        } else {
            EXPECT_EQ(shown, QStringLiteral("赤 #ff0000"));
            EXPECT_FALSE(chosen.has_value());
            EXPECT_EQ(color, QColor(Qt::red));
        }
    }
}
