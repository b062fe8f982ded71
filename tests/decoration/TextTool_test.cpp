#include "decoration/DrawingLayers.h"
#include "decoration/PenTool.h"
#include "decoration/TextItems.h"
#include "decoration/pages/ColorSwatch.h"
#include "decoration/pages/TextPage.h"
#include "imaging/drawing/ImagePrinter.h"
#include "imaging/drawing/LayerKeyColor.h"
#include "support/ScriptedPrompts.h"
#include "widgets/ImageDisplay.h"
#include "widgets/NumericField.h"
#include "workspace/UndoHistory.h"

#include <QtCore/QTemporaryDir>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <gtest/gtest.h>

namespace {

constexpr QRgb Key = LayerKeyColor;

int countOf(const QImage& image, QRgb color)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += (image.pixel(x, y) | 0xFF000000u) == color;
    return n;
}

class TextToolTest : public ::testing::Test
{
  protected:
    TextToolTest()
    {
        layers.setCanvasSize(QSize(240, 320));
        QObject::connect(&layers, &DrawingLayers::drawingControlsEnabled, [this](bool on) { pending = on; });
        page.tool().setObserver([this](const PrintCall& call) { calls.push_back(call); });
    }
    const QImage& layer() const { return layers.layer(0).picture; }

    QTemporaryDir folder;
    UndoHistory undo{folder.path() + QLatin1Char('/')};
    ScriptedPrompts prompts;
    DrawingLayers layers{undo, prompts};
    TextPage page{layers, prompts};
    std::vector<PrintCall> calls;
    bool pending = false;
};

} // namespace

TEST(TextItemsTest, ShadowOffsetsFollowThePosition)
{
    const QPoint expected[] = {{0, -2}, {2, -2}, {2, 0}, {2, 2}, {0, 2}, {-2, 2}, {-2, 0}, {-2, -2}};
    const QStringList items = TextItems::shadowPositions();
    ASSERT_EQ(items.size(), 8);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(TextItems::shadowOffset(items[i], 2), expected[i]) << items[i].toStdString();
    EXPECT_EQ(TextItems::shadowOffset(QStringLiteral("下"), 10), QPoint(0, 10));
    EXPECT_EQ(TextItems::shadowOffset(QStringLiteral("斜め"), 5), QPoint(0, 0));
    EXPECT_EQ(TextItems::angle(QStringLiteral("270度")), 270);
    EXPECT_EQ(TextItems::direction(QStringLiteral("下から上(↑)")), 3);
    EXPECT_FALSE(TextItems::direction(QStringLiteral("右へ")));
}

TEST_F(TextToolTest, PageStartsWithItsInitialValues)
{
    EXPECT_EQ(page.cbTextDirection->currentText(), QStringLiteral("左から右(→)"));
    EXPECT_EQ(page.cbTextAngle->currentText(), QStringLiteral("0度"));
    EXPECT_EQ(page.cbShadowPos->currentText(), QStringLiteral("右下"));
    EXPECT_EQ(page.csShadowDistance->text(), QStringLiteral("3"));
    EXPECT_TRUE(page.cbTextShadow->isChecked());
    EXPECT_EQ(page.stFontColor->color(), 0xFF000000u);
    EXPECT_EQ(page.stShadowColor->color(), 0xFFC0C0C0u);
    EXPECT_EQ(page.textFont().name, QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(page.textFont().size, 9);
    EXPECT_FALSE(page.textFont().bold || page.textFont().italic);
}

TEST_F(TextToolTest, ShadowPassComesFirstAtItsOffset)
{
    page.edDrawText->setText(QStringLiteral("影付き"));
    page.cbShadowPos->setCurrentText(QStringLiteral("左上"));
    page.cbTextAngle->setCurrentText(QStringLiteral("90度"));
    page.cbTextDirection->setCurrentText(QStringLiteral("上から下(↓)"));
    page.tool().press({100, 50}, Qt::LeftButton);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(QPoint(calls[0].left, calls[0].top), QPoint(97, 47));
    EXPECT_EQ(calls[0].attributes.textColor, 0xFFC0C0C0u);
    EXPECT_EQ(QPoint(calls[1].left, calls[1].top), QPoint(100, 50));
    EXPECT_EQ(calls[1].attributes.textColor, 0xFF000000u);
    EXPECT_EQ(calls[1].attributes.textDirection, 2);
    EXPECT_EQ(calls[1].attributes.textAngle, 90);
    EXPECT_GT(countOf(layer(), 0xFFC0C0C0), 0);
    EXPECT_FALSE(pending) << "press and move never mark";

    calls.clear();
    page.cbTextShadow->click();
    EXPECT_FALSE(page.btChandeShadowColor->isEnabled());
    page.cbTextDirection->setCurrentText(QStringLiteral("斜め")); // typed, names no item
    page.tool().move({10, 10});
    ASSERT_EQ(calls.size(), 1u) << "shadow off: one pass";
    EXPECT_EQ(calls[0].attributes.textDirection, 0) << "an unknown direction keeps the drawing default";
    EXPECT_EQ(countOf(layer(), 0xFFC0C0C0), 0);
    page.tool().release({10, 10});
    EXPECT_TRUE(pending);
}

TEST_F(TextToolTest, EmptyTextReleasesAnEmptyLayerWithoutCommit)
{
    page.tool().release({20, 20});
    EXPECT_TRUE(layers.layer(0).visible);
    EXPECT_EQ(countOf(layer(), Key), 240 * 320);
    EXPECT_FALSE(pending);
}

TEST_F(TextToolTest, TextHidesPenStrokesUntilTheNextStroke)
{
    PenTool pen(layers, [] { return PenSettings{}; });
    pen.press({200, 300}, Qt::LeftButton);
    EXPECT_EQ(layer().pixel(199, 299) | 0xFF000000u, 0xFF000000u);
    page.edDrawText->setText(QStringLiteral("文字"));
    page.tool().release({20, 20});
    EXPECT_EQ(layer().pixel(199, 299) | 0xFF000000u, Key) << "the placement shows only the text";
    EXPECT_GT(countOf(layer(), 0xFF000000), 0);
    pen.press({210, 300}, Qt::LeftButton);
    EXPECT_EQ(countOf(layer(), 0xFFC0C0C0), 0) << "the text's shadow is gone";
    EXPECT_EQ(layer().pixel(199, 299) | 0xFF000000u, 0xFF000000u) << "the earlier stroke is back";
}

TEST_F(TextToolTest, FontDialogKeepsBoldItalicAndDropsUnderline)
{
    QFont chosen(QStringLiteral("IPAPGothic"));
    chosen.setPointSize(20);
    chosen.setBold(true);
    chosen.setItalic(true);
    chosen.setUnderline(true);
    chosen.setStrikeOut(true);
    prompts.fonts.enqueue(chosen);
    page.btChandeDrawFontsClick();
    page.cbTextShadow->click();
    page.edDrawText->setText(QStringLiteral("Ab字"));
    page.tool().press({10, 10}, Qt::LeftButton);

    const auto rendered = [](bool bold, bool italic) {
        QImage surface(240, 320, QImage::Format_RGB888);
        surface.fill(QColor::fromRgb(Key));
        ImagePrinter printer;
        printer.attributes().fontName = QStringLiteral("IPAPGothic");
        printer.attributes().fontSize = 20;
        printer.attributes().fontBold = bold;
        printer.attributes().fontItalic = italic;
        printer.attributes().text = QStringLiteral("Ab字");
        printer.textOut(surface, 10, 10);
        return surface;
    };
    EXPECT_EQ(layer(), rendered(true, true)) << "bold italic, no underline or strike-out";
    EXPECT_NE(layer(), rendered(false, false));
}

TEST_F(TextToolTest, PreviewRefreshesOnTheNamedChangesOnly)
{
    page.edDrawText->setText(QStringLiteral("あ"));
    const QImage first = page.IkDispText->image();
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first.pixel(0, 0) | 0xFF000000u, 0xFFFFFFFFu) << "the preview is on white";
    page.edDrawText->clear();
    EXPECT_EQ(page.IkDispText->image(), first) << "an empty text keeps the last preview";
    page.edDrawText->setText(QStringLiteral("い"));
    const QImage second = page.IkDispText->image();
    page.cbTextDirection->setCurrentText(QStringLiteral("上から下(↓)"));
    EXPECT_EQ(page.IkDispText->image(), second) << "direction alone does not refresh";
    page.cbTextAngle->setCurrentText(QStringLiteral("180度"));
    EXPECT_NE(page.IkDispText->image(), second);

    prompts.colors.enqueue(QColor(0xFE, 0xFE, 0xFE));
    page.btChandeFontColorClick();
    EXPECT_EQ(page.stFontColor->color(), 0xFFFFFFFFu);
    page.cbTextShadow->click(); // white text on white: nothing but white left in the preview
    EXPECT_EQ(countOf(page.IkDispText->image(), 0xFFFFFFFF), 240 * 320);
    page.tool().press({30, 30}, Qt::LeftButton);
    EXPECT_GT(countOf(layer(), 0xFFFFFFFF), 0) << "the chosen key colour arrives as white";
}
