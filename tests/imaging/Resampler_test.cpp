#include "imaging/codecs/RowFeed.h"
#include "imaging/resampling/ResampleAxis.h"
#include "imaging/resampling/ResampleKernels.h"
#include "imaging/resampling/Resampler.h"

#include "support/PixelProbe.h"

#include <gtest/gtest.h>

#include <random>
#include <thread>

namespace {

QImage checkerboard(int w, int h, int cell = 1)
{
    QImage image(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, ((x / cell + y / cell) % 2) ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    return image;
}

} // namespace

TEST(ResamplerTest, ShrinkingFineDetailAveragesInsteadOfAliasing)
{
    // A one-pixel checkerboard shrunk 10x (and by an uneven 10.3x) must come out as flat mid grey;
    // point sampling would give pure black and white.
    const QImage board = checkerboard(1030, 770);
    for (const QSize target : {QSize(103, 77), QSize(100, 74)}) {
        const QImage out = Resampler::resize(board, target.width(), target.height());
        ASSERT_EQ(out.size(), target);
        ASSERT_EQ(out.format(), QImage::Format_RGB888);
        for (int y = 0; y < out.height(); ++y)
            for (int x = 0; x < out.width(); ++x)
                ASSERT_NEAR(qRed(out.pixel(x, y)), 127.5, 6)
                    << x << "," << y << " " << PixelProbe::keep(out, "grey").toStdString();
    }
}

TEST(ResamplerTest, ShrinkingAveragesExactBlocks)
{
    // 4x4 blocks of distinct values shrink to exactly their means.
    QImage image(8, 4, QImage::Format_RGB888);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            image.setPixel(x, y, x < 4 ? qRgb(x * 10, 0, 200) : qRgb(255, y * 20, 0));
    const QImage out = Resampler::resize(image, 2, 1);
    EXPECT_EQ(out.pixel(0, 0), qRgb(15, 0, 200));
    EXPECT_EQ(out.pixel(1, 0), qRgb(255, 30, 0));
}

TEST(ResamplerTest, FlatColourStaysExact)
{
    const QImage flat = PixelProbe::filled(333, 211, qRgb(254, 254, 254));
    for (const QSize target : {QSize(100, 70), QSize(1000, 500), QSize(50, 400)}) {
        const QImage out = Resampler::resize(flat, target.width(), target.height());
        EXPECT_EQ(PixelProbe::colors(out), std::set<QRgb>({0xfefefe})) << target.width() << "x" << target.height();
    }
}

TEST(ResamplerTest, EnlargingIsSmooth)
{
    QImage two(2, 1, QImage::Format_RGB888);
    two.setPixel(0, 0, qRgb(0, 0, 0));
    two.setPixel(1, 0, qRgb(200, 200, 200));
    const QImage out = Resampler::resize(two, 8, 1);
    // Monotonic ramp with intermediate values, ends held at the source colours.
    EXPECT_EQ(qRed(out.pixel(0, 0)), 0);
    EXPECT_EQ(qRed(out.pixel(7, 0)), 200);
    for (int x = 1; x < 8; ++x)
        EXPECT_GE(qRed(out.pixel(x, 0)), qRed(out.pixel(x - 1, 0)));
    EXPECT_EQ(PixelProbe::colors(out).size(), 6u);
}

TEST(ResamplerTest, MixedAxesShrinkOneWayAndEnlargeTheOther)
{
    // Vertical stripes of width 1 shrink across (to grey) while rows stretch down unchanged.
    const QImage stripes = checkerboard(400, 3, 1).copy(0, 0, 400, 1);
    const QImage out = Resampler::resize(stripes, 40, 30);
    ASSERT_EQ(out.size(), QSize(40, 30));
    for (int y = 0; y < 30; ++y)
        EXPECT_NEAR(qRed(out.pixel(20, y)), 127.5, 2);
}

TEST(ResamplerTest, LargePhotoShrinksToExactSize)
{
    // Large enough to take the multi-threaded path; every band must be written.
    const QImage board = checkerboard(3000, 2000, 2);
    const QImage out = Resampler::resize(board, 428, 321);
    ASSERT_EQ(out.size(), QSize(428, 321));
    for (int y : {0, 160, 320})
        for (int x : {0, 214, 427})
            EXPECT_NEAR(qGreen(out.pixel(x, y)), 127.5, 12) << x << "," << y;
}

TEST(ResamplerTest, AlphaIsLaidOverWhite)
{
    QImage clear(10, 10, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    const QImage out = Resampler::resize(clear, 5, 5);
    EXPECT_EQ(PixelProbe::colors(out), std::set<QRgb>({0xffffff}));
}

TEST(ResamplerTest, RefusesImpossibleSizes)
{
    const QImage image = PixelProbe::filled(10, 10, qRgb(1, 2, 3));
    QString error;
    EXPECT_TRUE(Resampler::resize(image, 0, 10, &error).isNull());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(Resampler::resize(image, -5, 10).isNull());
    EXPECT_TRUE(Resampler::resize(image, 100000, 100000).isNull());
    EXPECT_TRUE(Resampler::resize(QImage(), 10, 10).isNull());
}

TEST(ResamplerTest, VectorKernelMatchesThePortableOne)
{
    // Whatever kernel this machine picks must give exactly the portable result, tails and long runs included.
    std::mt19937 random(7);
    for (const int taps : {1, 2, 5, 14, 300}) {
        const size_t elements = 16 * 7 + size_t(taps % 13);
        std::vector<std::vector<uint8_t>> rows(static_cast<size_t>(taps), std::vector<uint8_t>(elements));
        std::vector<const uint8_t*> pointers;
        for (auto& row : rows) {
            for (auto& v : row)
                v = uint8_t(random() % 2 ? 255 : random() % 256);
            pointers.push_back(row.data());
        }
        // Equal inner weights with uneven ends, summing to one.
        std::vector<int16_t> weights(size_t(taps), int16_t(ResampleAxis::kWeightOne / taps));
        weights.front() = int16_t(weights.front() + ResampleAxis::kWeightOne - weights.front() * taps);
        std::vector<uint16_t> fast(elements), reference(elements);
        ResampleKernels::blendRowsDown(pointers.data(), weights.data(), taps, elements, fast.data());
        ResampleKernels::blendRowsDownPortable(pointers.data(), weights.data(), taps, elements, reference.data());
        EXPECT_EQ(fast, reference) << taps << " taps";
    }
}

TEST(ResamplerTest, APictureScaledWhileItsRowsComeGivesTheSamePartOrNoneWhenTheyStopShort)
{
    const QImage source = PixelProbe::noise(900, 700);
    const QRect part(37, 20, 300, 200);
    for (const QSize to : {QSize(500, 400), QSize(1200, 900)}) {
        const QImage expected = Resampler::resizePart(source, to.width(), to.height(), part);
        for (const int last : {source.height(), 100}) {
            RowFeed feed;
            std::thread decoder([&] {
                for (int rows = 7; rows < last; rows += 7)
                    feed.publish(source.constBits(), source.bytesPerLine(), source.size(), rows);
                feed.publish(source.constBits(), source.bytesPerLine(), source.size(), last);
                feed.close();
            });
            const QImage scaled =
                Resampler::resizePart(feed.waitForPicture(source.size()), to.width(), to.height(), part, nullptr,
                                      [&](int rows) { return feed.waitForRows(rows); });
            feed.release();
            decoder.join();
            if (last == source.height())
                EXPECT_EQ(scaled, expected) << to.width();
            else
                EXPECT_TRUE(scaled.isNull()) << to.width();
        }
    }
}

TEST(ResamplerTest, RowVectorKernelMatchesThePortableOne)
{
    // Intermediate values up to their top (255 << 8), at ratios from a few taps to thousands, and a
    // row whose last pixel is read: only the slack lies past it.
    std::mt19937 random(11);
    for (const auto& [from, to] : std::vector<std::pair<int, int>>{{6000, 1244}, {1845, 1179}, {6000, 3}, {7, 7}}) {
        const ResampleAxis axis(from, to);
        std::vector<uint16_t> row(size_t(from) * 3 + 8);
        for (auto& v : row)
            v = uint16_t(random() % 3 ? 0xFF00 : random() % 0xFF01);
        std::vector<uint8_t> fast(size_t(to) * 3), reference(size_t(to) * 3);
        ResampleKernels::blendAlongRow(row.data(), axis, fast.data());
        ResampleKernels::blendAlongRowPortable(row.data(), axis, reference.data());
        EXPECT_EQ(fast, reference) << from << "->" << to;
    }
}

TEST(ResamplerTest, WeightsStayPositiveAndWholeAtAnyRatio)
{
    for (const auto& [from, to] : std::vector<std::pair<int, int>>{
             {6000, 1}, {6000, 7}, {6000, 428}, {4000, 321}, {3, 2}, {2, 3}, {5, 5}, {17, 16000}}) {
        const ResampleAxis axis(from, to);
        ASSERT_EQ(axis.length(), to);
        for (int t = 0; t < to; ++t) {
            int sum = 0;
            for (int k = 0; k < axis.count(t); ++k) {
                ASSERT_GE(axis.weights(t)[k], 0) << from << "->" << to;
                sum += axis.weights(t)[k];
            }
            ASSERT_EQ(sum, ResampleAxis::kWeightOne) << from << "->" << to;
            ASSERT_GE(axis.first(t), 0);
            ASSERT_LE(axis.first(t) + axis.count(t), from);
        }
    }
    // A whole row of two halves averages to their mean even at 6000:1.
    QImage halves(6000, 1, QImage::Format_RGB888);
    for (int x = 0; x < 6000; ++x)
        halves.setPixel(x, 0, x < 3000 ? qRgb(0, 0, 0) : qRgb(200, 100, 50));
    const QImage dot = Resampler::resize(halves, 1, 1);
    EXPECT_NEAR(qRed(dot.pixel(0, 0)), 100, 1);
    EXPECT_NEAR(qGreen(dot.pixel(0, 0)), 50, 1);
    const QImage column = Resampler::resize(halves.transformed(QTransform().rotate(90)), 1, 1);
    EXPECT_NEAR(qRed(column.pixel(0, 0)), 100, 1);
}

// A part costs only its own pixels, and must be exactly the cut of the whole: the canvas is made from
// it and its bytes must not depend on how much of the working image was computed.
TEST(ResamplerTest, APartEqualsTheCutOfTheWhole)
{
    std::mt19937 random(7);
    QImage source(301, 203, QImage::Format_RGB888);
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            source.setPixel(x, y, qRgb(int(random() % 256), (x * 3 + y) & 0xFF, (x ^ y) & 0xFF));
    struct Case
    {
        QSize target;
        QRect part;
    };
    const Case cases[] = {
        {{97, 61}, {20, 10, 40, 30}},    // shrinking both ways
        {{97, 61}, {0, 0, 97, 61}},      // the whole
        {{97, 61}, {90, 55, 30, 30}},    // reaching beyond the corner
        {{640, 480}, {333, 100, 77, 9}}, // enlarging both ways
        {{150, 400}, {149, 0, 1, 400}},  // shrinking across, enlarging down
        {{500, 120}, {0, 119, 500, 1}},  // enlarging across, shrinking down
        {{301, 203}, {5, 6, 7, 8}},      // the same size
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.target.width() << "x" << c.target.height() << " part " << c.part.x() << ","
                                        << c.part.y() << " " << c.part.width() << "x" << c.part.height());
        const QImage whole = Resampler::resize(source, c.target.width(), c.target.height());
        const QImage part = Resampler::resizePart(source, c.target.width(), c.target.height(), c.part);
        EXPECT_EQ(part, whole.copy(c.part.intersected(whole.rect())));
    }
    QString error;
    EXPECT_TRUE(Resampler::resizePart(source, 50, 50, QRect(60, 0, 10, 10), &error).isNull());
    EXPECT_FALSE(error.isEmpty());
}
