// Embedded colour profiles are converted to sRGB on load, in every format that carries one.
#include "CodecFixtures.h"
#include "ModernEncoders.h"

#include "imaging/codecs/ColorProfile.h"
#include "imaging/codecs/ImageFile.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

QImage pureRed()
{
    QImage red(48, 32, QImage::Format_RGB888);
    red.fill(qRgb(255, 0, 0));
    return red;
}

bool near(QRgb actual, QRgb expected, int tolerance)
{
    return std::abs(qRed(actual) - qRed(expected)) <= tolerance &&
           std::abs(qGreen(actual) - qGreen(expected)) <= tolerance &&
           std::abs(qBlue(actual) - qBlue(expected)) <= tolerance;
}

struct Carrier
{
    const char* name;
    std::function<QByteArray(const QImage&, const QByteArray& icc)> encode;
};

const std::vector<Carrier>& carriers()
{
    static const std::vector<Carrier> all = {
        {"PNG iCCP", ModernEncoders::png},
        {"JPEG APP2", ModernEncoders::jpeg},
        {"TIFF", ModernEncoders::tiff},
        {"WebP", [](const QImage& p, const QByteArray& icc) { return ModernEncoders::webp(p, true, icc); }},
        {"HEIC", [](const QImage& p, const QByteArray& icc) { return ModernEncoders::heif(p, HeifKind::Heic, icc); }},
        {"AVIF", [](const QImage& p, const QByteArray& icc) { return ModernEncoders::heif(p, HeifKind::Avif, icc); }},
        {"JPEG XL", [](const QImage& p, const QByteArray& icc) { return ModernEncoders::jxl(p, true, icc); }},
    };
    return all;
}

TEST(ColorProfile, RedUnderAProfileThatSwapsRedAndGreenComesOutGreen)
{
    const QByteArray swapped = ModernEncoders::swappedRedGreenProfile();
    for (const Carrier& carrier : carriers()) {
        SCOPED_TRACE(carrier.name);
        const DecodedImage decoded = ImageFile::decode(carrier.encode(pureRed(), swapped));
        ASSERT_TRUE(decoded.ok()) << decoded.error.toStdString();
        const QRgb centre = decoded.image.pixel(24, 16);
        EXPECT_TRUE(near(centre, qRgb(0, 255, 0), 12)) << std::hex << centre;
    }
}

TEST(ColorProfile, SrgbNoProfileAndUnreadableProfilesLeaveThePixelsAlone)
{
    const QImage picture = CodecFixtures::gradient(40, 30);
    const QByteArray srgb = ColorProfile::fromPrimaries({0.64, 0.33}, {0.30, 0.60}, {0.15, 0.06}, {0.3127, 0.3290});
    EXPECT_TRUE(ColorProfile::isSrgb(srgb));
    EXPECT_FALSE(ColorProfile::isSrgb(ModernEncoders::swappedRedGreenProfile()));
    const QByteArray garbage = QByteArray("not a colour profile at all").repeated(8);
    for (const QByteArray& icc : {srgb, garbage}) {
        const DecodedImage decoded = ImageFile::decode(ModernEncoders::png(picture, icc));
        ASSERT_TRUE(decoded.ok()) << decoded.error.toStdString(); // a bad profile is never a refusal
        EXPECT_EQ(decoded.image, picture);
    }
}

TEST(ColorProfile, WideGamutIsConvertedAndAlphaKept)
{
    // Display P3's pure red lies outside sRGB: it stays the reddest sRGB has, not a duller red.
    const QByteArray p3 = ColorProfile::fromPrimaries({0.680, 0.320}, {0.265, 0.690}, {0.150, 0.060}, {0.3127, 0.3290});
    QImage translucent(4, 4, QImage::Format_ARGB32);
    translucent.fill(qRgba(0, 128, 0, 77));
    ColorProfile::convertToSrgb(translucent, p3);
    EXPECT_EQ(qAlpha(translucent.pixel(1, 1)), 77);
    EXPECT_LT(qRed(translucent.pixel(1, 1)), 40); // P3's mid green is a purer green than sRGB's
    EXPECT_GT(qGreen(translucent.pixel(1, 1)), 128);

    QImage red = pureRed();
    ColorProfile::convertToSrgb(red, p3);
    EXPECT_TRUE(near(red.pixel(0, 0), qRgb(255, 0, 0), 30)) << std::hex << red.pixel(0, 0);
}

} // namespace
