#include "decoration/DrawingLayers.h"
#include "decoration/PenTool.h"
#include "decoration/pages/ColorSwatch.h"
#include "decoration/pages/PenPage.h"
#include "imaging/drawing/LayerKeyColor.h"
#include "support/ScriptedPrompts.h"
#include "widgets/NumericField.h"
#include "workspace/UndoHistory.h"

#include <QtCore/QTemporaryDir>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QToolButton>
#include <gtest/gtest.h>

namespace {

constexpr QRgb Key = LayerKeyColor;
constexpr QRgb Red = 0xFFFF0000;
constexpr QRgb Blue = 0xFF0000FF;

class PenToolTest : public ::testing::Test
{
  protected:
    PenToolTest()
    {
        layers.setCanvasSize(QSize(240, 320));
        QObject::connect(&layers, &DrawingLayers::drawingControlsEnabled, [this](bool on) { pending = on; });
        tool.setObserver([this](const PrintCall& call) { calls.push_back(call); });
        pen.lineColor = Red;
        pen.fillColor = Blue;
    }
    QRgb shown(int x, int y) const { return layers.layer(0).picture.pixel(x, y) | 0xFF000000u; }

    QTemporaryDir folder;
    UndoHistory undo{folder.path() + QLatin1Char('/')};
    ScriptedPrompts prompts;
    DrawingLayers layers{undo, prompts};
    PenSettings pen;
    PenTool tool{layers, [this] { return pen; }};
    std::vector<PrintCall> calls;
    bool pending = false;
};

} // namespace

TEST(PenDotBoxTest, EdgesAreHalfTheWidthTruncatedTowardZero)
{
    struct Case
    {
        QPoint at;
        int width;
        QRect box;
    };
    const Case cases[] = {
        {{10, 10}, 3, QRect(QPoint(8, 8), QPoint(11, 11))},
        {{0, 0}, 1, QRect(QPoint(0, 0), QPoint(0, 0))},
        {{10, 10}, 4, QRect(QPoint(8, 8), QPoint(12, 12))},
        {{-1, -1}, 3, QRect(QPoint(-2, -2), QPoint(0, 0))}, // -2.5 and 0.5: toward zero, not down
    };
    for (const Case& c : cases)
        EXPECT_EQ(PenTool::dotBox(c.at, c.width), c.box) << c.at.x() << " width " << c.width;
}

TEST_F(PenToolTest, DotsFollowPressAndMoveWithTheDotAttributes)
{
    tool.press({10, 10}, Qt::RightButton); // any button draws a dot
    tool.move({30, 40});
    tool.release({50, 50});
    ASSERT_EQ(calls.size(), 2u) << "release draws nothing";
    const PrintCall& dot = calls[0];
    EXPECT_EQ(dot.kind, PrintCall::Kind::Ellipse);
    EXPECT_EQ(QRect(QPoint(dot.left, dot.top), QPoint(dot.right, dot.bottom)), QRect(QPoint(8, 8), QPoint(11, 11)));
    EXPECT_EQ(dot.attributes.penWidth, 1);
    EXPECT_EQ(dot.attributes.brushColor, Red);
    EXPECT_EQ(dot.attributes.brushStyle, PrintAttributes::kBrushSolid);
    EXPECT_TRUE(pending);
    EXPECT_EQ(shown(9, 9), Red);
    EXPECT_EQ(shown(29, 39), Red) << "a 3-pixel dot is centred a pixel up and left of the point";
    EXPECT_EQ(shown(8, 8), Key) << "the corner of a 3-pixel dot stays clear";
}

TEST_F(PenToolTest, ContinuousLineStartsEndsAndRestarts)
{
    pen.mode = PenMode::Line;
    pen.lineWidth = 1;
    tool.press({10, 10}, Qt::LeftButton);
    EXPECT_TRUE(calls.empty());
    EXPECT_FALSE(pending) << "the first click only sets the start";
    EXPECT_TRUE(layers.LineInProgress);
    tool.press({30, 10}, Qt::LeftButton);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].kind, PrintCall::Kind::Line);
    EXPECT_EQ(QRect(QPoint(calls[0].left, calls[0].top), QPoint(calls[0].right, calls[0].bottom)),
              QRect(QPoint(10, 10), QPoint(30, 10)));
    EXPECT_TRUE(pending);
    EXPECT_EQ(shown(20, 10), Red);
    tool.move({30, 20}); // a drag adds a segment from the last vertex
    EXPECT_EQ(layers.LastPoint, QPoint(30, 20));
    EXPECT_EQ(shown(30, 15), Red);

    tool.press({100, 100}, Qt::RightButton);
    EXPECT_FALSE(layers.LineInProgress);
    tool.move({120, 120});
    tool.press({200, 200}, Qt::LeftButton);
    EXPECT_EQ(calls.size(), 2u) << "right press ends the line; the next left press starts a new one";
    EXPECT_EQ(layers.LastPoint, QPoint(200, 200));
    EXPECT_EQ(shown(150, 150), Key);

    tool.sbDrawLineClick();
    EXPECT_FALSE(layers.LineInProgress);
    layers.LineInProgress = true;
    layers.ClearDrawing();
    EXPECT_FALSE(layers.LineInProgress);
}

TEST_F(PenToolTest, ShapesTakeTheCornersUnsortedAndMarkOnlyWhenMoved)
{
    pen.mode = PenMode::Rectangle;
    tool.press({50, 50}, Qt::LeftButton);
    tool.release({50, 50});
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_TRUE(layers.layer(0).visible) << "the degenerate rectangle is installed";
    EXPECT_FALSE(pending);

    tool.press({60, 70}, Qt::LeftButton);
    tool.move({40, 40}); // no rubber band: nothing is drawn until release
    tool.release({20, 30});
    ASSERT_EQ(calls.size(), 2u);
    const PrintCall& r = calls[1];
    EXPECT_EQ(r.kind, PrintCall::Kind::Rectangle);
    EXPECT_EQ((std::array{r.left, r.top, r.right, r.bottom}), (std::array{60, 70, 20, 30}));
    EXPECT_EQ(r.attributes.penWidth, 3);
    EXPECT_TRUE(pending);
    EXPECT_EQ(shown(40, 50), Blue);
    EXPECT_EQ(shown(20, 50), Red);

    pen.mode = PenMode::Ellipse;
    pen.fill = false;
    tool.press({100, 100}, Qt::LeftButton);
    tool.release({160, 140});
    EXPECT_EQ(calls.back().kind, PrintCall::Kind::Ellipse);
    EXPECT_EQ(calls.back().attributes.brushStyle, PrintAttributes::kBrushNone);
    EXPECT_EQ(shown(130, 120), Key) << "an unfilled ellipse is an outline";
    EXPECT_EQ(shown(100, 120), Red);
    EXPECT_EQ(shown(40, 50), Blue) << "earlier strokes stay on the surface";
}

TEST_F(PenToolTest, PageControlsDriveThePen)
{
    PenPage page(layers, prompts);
    EXPECT_TRUE(page.sbDrawDot->isChecked());
    EXPECT_EQ(page.csLineWidth->text(), QStringLiteral("3"));
    EXPECT_EQ(page.stFillColor->color(), 0xFFC0C0C0u);
    EXPECT_TRUE(page.cbCheckFill->isChecked());

    prompts.colors.enqueue(QColor(0xFE, 0xFE, 0xFE));
    page.btChangeLineColor->click();
    EXPECT_EQ(page.stLineColor->color(), 0xFFFFFFFFu) << "the key colour would vanish on the layer";
    prompts.colors.enqueue(std::nullopt);
    page.btChangeLineColor->click();
    EXPECT_EQ(page.stLineColor->color(), 0xFFFFFFFFu) << "cancel changes nothing";

    page.cbCheckFill->click();
    EXPECT_FALSE(page.btChangeFillColor->isEnabled());
    page.sbDrawRect->click();
    page.tool().press({10, 10}, Qt::LeftButton);
    page.tool().release({50, 50});
    EXPECT_EQ(shown(30, 30), Key) << "unfilled: outline only";
    EXPECT_EQ(shown(10, 30), 0xFFFFFFFFu) << "the white line is drawn";

    page.sbDrawLine->click();
    page.tool().press({100, 100}, Qt::LeftButton);
    EXPECT_TRUE(layers.LineInProgress);
    page.sbDrawLine->click();
    EXPECT_FALSE(layers.LineInProgress) << "clicking the line button starts a new line";
}
