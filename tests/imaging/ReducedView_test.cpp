#include "imaging/resampling/ReducedView.h"

#include <QtCore/QRandomGenerator>
#include <gtest/gtest.h>

namespace {

QImage noise(QSize size, quint32 seed)
{
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            row[x] = 0xff000000u | random.generate();
    }
    return image;
}

} // namespace

TEST(ReducedViewTest, LargePicturesFitTheRoomWholeWithTheirProportionsSmallOnesStay)
{
    const QSize room(480, 480);
    const std::pair<QSize, QSize> cases[] = {
        {{1080, 2400}, {216, 480}}, {{1179, 2556}, {221, 480}}, {{2400, 1080}, {480, 216}},
        {{600, 100}, {480, 80}},    {{4096, 8}, {480, 1}},      {{4096, 4096}, {480, 480}},
        {{480, 480}, {480, 480}},   {{240, 320}, {240, 320}},   {{481, 480}, {480, 479}},
    };
    for (const auto& [picture, shown] : cases)
        EXPECT_EQ(ReducedView::fittedSize(picture, room), shown) << picture.width() << "x" << picture.height();
}

TEST(ReducedViewTest, EveryShownPixelMapsIntoThePicturePixelsItShows)
{
    for (const QSize picture : {QSize(1080, 2400), QSize(1179, 2556), QSize(4096, 3)}) {
        ReducedView view;
        view.setSizes(picture, ReducedView::fittedSize(picture, QSize(480, 480)));
        ASSERT_TRUE(view.reduces());
        const QSize shown = view.shownSize();
        for (int x = 0; x < shown.width(); ++x)
            for (int y = 0; y < shown.height(); ++y) {
                const QPoint p = view.toPicture(QPoint(x, y));
                ASSERT_TRUE(QRect(QPoint(0, 0), picture).contains(p)) << x << "," << y;
                ASSERT_EQ(view.toShown(p), QPoint(x, y)) << "lands back where the pointer was";
            }
    }
    ReducedView view;
    view.setSizes({1080, 2400}, {216, 480});
    EXPECT_EQ(view.toPicture({0, 0}), QPoint(2, 2)); // the middle of the first 5 x 5 block
    EXPECT_EQ(view.toPicture({100, 200}), QPoint(502, 1002));
    EXPECT_EQ(view.toPicture({-1, 480}), QPoint(-3, 2402)) << "beyond the display the mapping goes on";
    view.setSizes({240, 320}, {240, 320});
    EXPECT_EQ(view.toPicture({17, 19}), QPoint(17, 19));
}

TEST(ReducedViewTest, RedrawingAChangedPartGivesTheSamePixelsAsRedrawingTheWhole)
{
    const QSize picture(1179, 2556);
    QImage image = noise(picture, 7);
    ReducedView view;
    view.setSizes(picture, {221, 480});
    view.redraw(image, image.rect());
    // A dab of paint that straddles block edges, and one in the last rows and columns.
    for (const QRect dab : {QRect(100, 200, 41, 31), QRect(1170, 2550, 9, 6)}) {
        for (int y = dab.top(); y <= dab.bottom(); ++y)
            for (int x = dab.left(); x <= dab.right(); ++x)
                image.setPixel(x, y, qRgb(x & 255, 0, y & 255));
        view.redraw(image, dab);
    }
    ReducedView whole;
    whole.setSizes(picture, {221, 480});
    whole.redraw(image, image.rect());
    EXPECT_EQ(view.pixels(), whole.pixels());
    // Reducing averages: a flat picture stays exactly its colour.
    QImage flat(picture, QImage::Format_RGB32);
    flat.fill(qRgb(10, 200, 99));
    whole.redraw(flat, flat.rect());
    EXPECT_EQ(whole.pixels().pixel(0, 0), qRgb(10, 200, 99));
    EXPECT_EQ(whole.pixels().pixel(220, 479), qRgb(10, 200, 99));
}
