// The real desktop seam: boxes come above the stay-on-top progress dialog, the font dialog has a
// colour, and Qt's standard dialogs speak Japanese.
#include "foundation/QtTranslations.h"
#include "widgets/FontColorDialog.h"
#include "widgets/QtPrompts.h"

#include <QtCore/QDeadlineTimer>
#include <QtCore/QDir>
#include <QtCore/QRegularExpression>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDialog>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QTreeView>
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

// The file dialog as a Japanese desktop has it: folder and file types and dates in Japanese, the
// pictures listed whatever the case of their names, and the size, type and date columns uncut.
TEST(QtPromptsTest, TheFileDialogSpeaksJapaneseListsEveryCaseAndFitsItsColumns)
{
    ASSERT_TRUE(QtTranslations::install());
    QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("album")));
    for (const char* name : {"photo.JPG", "scan.tiff", "notes.txt"}) {
        QFile file(folder.filePath(QLatin1String(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not empty");
    }
    QMap<QString, QStringList> rows; // name -> size, type, date
    bool columnsFit = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* details = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
        ASSERT_NE(details, nullptr);
        QAbstractItemModel* model = details->model();
        QDeadlineTimer deadline(10000);
        while (model->rowCount(details->rootIndex()) < 3 && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QCoreApplication::processEvents(); // the columns take their widths
        for (int row = 0; row < model->rowCount(details->rootIndex()); ++row) {
            const QModelIndex name = model->index(row, 0, details->rootIndex());
            QStringList columns;
            for (int column = 1; column <= 3; ++column)
                columns << name.siblingAtColumn(column).data().toString();
            rows[name.data().toString()] = columns;
        }
        columnsFit = true;
        const QAbstractItemView* view = details; // where the width a column's contents need is public
        for (int column = 1; column <= 3; ++column)
            columnsFit = columnsFit && details->header()->sectionSize(column) >= view->sizeHintForColumn(column);
        dialog->reject();
    });
    QtPrompts prompts;
    FileDialogRequest request;
    request.title = QStringLiteral("元画像の入力");
    request.folder = folder.path();
    request.filter = QStringLiteral("すべての画像|*.jpg;*.tif;*.tiff");
    EXPECT_TRUE(prompts.openFileName(request).isEmpty());

    EXPECT_EQ(QStringList(rows.keys()), (QStringList{"album", "photo.JPG", "scan.tiff"}));
    EXPECT_EQ(rows.value(QStringLiteral("album")).value(1), QStringLiteral("フォルダー"));
    EXPECT_TRUE(rows.value(QStringLiteral("photo.JPG")).value(1).contains(QStringLiteral("画像")))
        << rows.value(QStringLiteral("photo.JPG")).join(QLatin1Char('|')).toStdString();
    static const QRegularExpression japaneseDate(QStringLiteral(R"(^\d{4}/\d{2}/\d{2} \d{1,2}:\d{2}$)"));
    for (const QStringList& columns : std::as_const(rows))
        EXPECT_TRUE(japaneseDate.match(columns.value(2)).hasMatch()) << columns.value(2).toStdString();
    EXPECT_TRUE(columnsFit);
}
