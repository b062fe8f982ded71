#include "imaging/drawing/FontSubstitutes.h"
#include "widgets/FontColorDialog.h"

#include <QtGui/QKeyEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <gtest/gtest.h>

namespace {

QFont font(const QString& family, int points, bool bold = false, bool italic = false)
{
    QFont f(family);
    f.setPointSize(points);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

void press(QWidget* target, Qt::Key key)
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

class FontColorDialogTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        FontSubstitutes::install();
        if (FontColorDialog::installedFace(QStringLiteral("IPAPGothic")) != QStringLiteral("IPAPGothic"))
            GTEST_SKIP() << "the IPA fonts are not installed";
    }
};

} // namespace

// "ＭＳ Ｐゴシック" exists only as a substitution: the dialog opens on the face it is drawn with,
// and OK without a change gives back the very font it was opened with.
TEST_F(FontColorDialogTest, OpensOnTheSubstitutedFaceAndOkWithoutAChangeKeepsTheFont)
{
    const QFont opened = font(QStringLiteral("ＭＳ Ｐゴシック"), 9, true, false);
    FontColorDialog dialog(opened, Qt::black);
    EXPECT_EQ(dialog.lbFace->currentItem()->text(), QStringLiteral("IPAPGothic"));
    EXPECT_EQ(dialog.edFace->text(), QStringLiteral("IPAPGothic"));
    EXPECT_EQ(dialog.lbStyle->currentItem()->text(), QStringLiteral("太字"));
    EXPECT_EQ(dialog.edSize->text(), QStringLiteral("9"));
    dialog.accept();
    const QFont chosen = dialog.font();
    EXPECT_EQ(chosen.family(), QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(chosen.pointSize(), 9);
    EXPECT_TRUE(chosen.bold());
    EXPECT_FALSE(chosen.italic());

    // Another face is given back by the name the list shows.
    dialog.lbFace->setCurrentItem(dialog.lbFace->findItems(QStringLiteral("IPAMincho"), Qt::MatchExactly).value(0));
    dialog.accept();
    EXPECT_EQ(dialog.font().family(), QStringLiteral("IPAMincho"));
}

// Every face offers the same four Japanese styles, also one with a single regular face.
TEST_F(FontColorDialogTest, BoldAndItalicAreOfferedForEveryFace)
{
    FontColorDialog dialog(font(QStringLiteral("IPAGothic"), 12), Qt::black);
    ASSERT_EQ(dialog.lbStyle->count(), 4);
    const QStringList names{QStringLiteral("標準"), QStringLiteral("斜体"), QStringLiteral("太字"),
                            QStringLiteral("太字 斜体")};
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(dialog.lbStyle->item(row)->text(), names[row]);
        dialog.lbStyle->setCurrentRow(row);
        EXPECT_EQ(dialog.font().italic(), row % 2 == 1) << row;
        EXPECT_EQ(dialog.font().bold(), row >= 2) << row;
    }
}

// Enter is OK and Escape is キャンセル from wherever the focus is; what was typed and names no face
// or size leaves the choice before it, so the dialog never gives back half a font.
TEST_F(FontColorDialogTest, EnterAndEscapeActAsOkAndCancelAndNeverLeaveItHalfEmpty)
{
    struct Case
    {
        const char* name;
        QString face, size;
        Qt::Key key;
        int result;
        QString family;
        int points;
    };
    const Case cases[] = {
        {"nothing typed", QString(), QString(), Qt::Key_Return, QDialog::Accepted, QStringLiteral("ＭＳ Ｐゴシック"),
         9},
        {"a face begun", QStringLiteral("ipam"), QStringLiteral("14"), Qt::Key_Enter, QDialog::Accepted,
         QStringLiteral("IPAMincho"), 14},
        {"no such face, no size", QStringLiteral("zzz"), QStringLiteral(""), Qt::Key_Return, QDialog::Accepted,
         QStringLiteral("ＭＳ Ｐゴシック"), 9},
        {"escape", QStringLiteral("ipam"), QStringLiteral("20"), Qt::Key_Escape, QDialog::Rejected, QString(), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FontColorDialog dialog(font(QStringLiteral("ＭＳ Ｐゴシック"), 9), Qt::black);
        dialog.show();
        for (const auto& [field, text] : {std::pair{dialog.edFace, c.face}, std::pair{dialog.edSize, c.size}})
            if (!text.isNull()) {
                field->setFocus();
                field->selectAll();
                field->insert(text); // as typed: the change handlers run
            }
        press(dialog.edSize, c.key);
        EXPECT_EQ(dialog.result(), c.result);
        if (c.result != QDialog::Accepted)
            continue;
        EXPECT_EQ(dialog.font().family(), c.family);
        EXPECT_EQ(dialog.font().pointSize(), c.points);
        EXPECT_FALSE(dialog.edFace->text().isEmpty());
        EXPECT_FALSE(dialog.edSize->text().isEmpty());
    }
}
