#include "imaging/codecs/ColorProfile.h"

#include "foundation/ErrorDetail.h"

#include <lcms2.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

struct ProfileCloser
{
    void operator()(void* profile) const { cmsCloseProfile(profile); }
};
using Profile = std::unique_ptr<void, ProfileCloser>;

struct TransformDeleter
{
    void operator()(void* transform) const { cmsDeleteTransform(transform); }
};
using Transform = std::unique_ptr<void, TransformDeleter>;

bool sameXyz(const cmsCIEXYZ* a, const cmsCIEXYZ* b)
{
    constexpr double tolerance = 2e-3; // the profile's 16.16 fixed point and chromatic adaptation
    return a && b && std::abs(a->X - b->X) < tolerance && std::abs(a->Y - b->Y) < tolerance &&
           std::abs(a->Z - b->Z) < tolerance;
}

bool sameCurve(const cmsToneCurve* a, const cmsToneCurve* b)
{
    if (!a || !b)
        return false;
    for (int i = 0; i <= 16; ++i) {
        const float x = float(i) / 16.0f;
        if (std::abs(cmsEvalToneCurveFloat(a, x) - cmsEvalToneCurveFloat(b, x)) > 2e-3f)
            return false;
    }
    return true;
}

bool matchesSrgb(cmsHPROFILE profile)
{
    const Profile srgb(cmsCreate_sRGBProfile());
    if (cmsGetColorSpace(profile) != cmsSigRgbData || cmsIsCLUT(profile, INTENT_PERCEPTUAL, LCMS_USED_AS_INPUT))
        return false;
    for (const cmsTagSignature tag : {cmsSigRedColorantTag, cmsSigGreenColorantTag, cmsSigBlueColorantTag})
        if (!sameXyz(static_cast<const cmsCIEXYZ*>(cmsReadTag(profile, tag)),
                     static_cast<const cmsCIEXYZ*>(cmsReadTag(srgb.get(), tag))))
            return false;
    for (const cmsTagSignature tag : {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag})
        if (!sameCurve(static_cast<const cmsToneCurve*>(cmsReadTag(profile, tag)),
                       static_cast<const cmsToneCurve*>(cmsReadTag(srgb.get(), tag))))
            return false;
    return true;
}

// A grey profile describes one channel; the picture holds it three times over.
void convertGrey(QImage& image, cmsHPROFILE grey, cmsHPROFILE srgb)
{
    const bool alpha = image.format() == QImage::Format_ARGB32;
    const Transform transform(cmsCreateTransform(grey, TYPE_GRAY_8, srgb, alpha ? TYPE_BGRA_8 : TYPE_RGB_8,
                                                 INTENT_PERCEPTUAL, alpha ? cmsFLAGS_COPY_ALPHA : 0));
    if (!transform) {
        writeErrorDetail(QStringLiteral("the picture's grey colour profile cannot be used; its colours are kept"));
        return;
    }
    std::vector<uchar> levels(size_t(image.width()));
    const int pixelBytes = alpha ? 4 : 3, greenOffset = 1;
    for (int y = 0; y < image.height(); ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x)
            levels[size_t(x)] = row[x * pixelBytes + greenOffset];
        cmsDoTransform(transform.get(), levels.data(), row, cmsUInt32Number(image.width()));
    }
}

} // namespace

bool ColorProfile::isSrgb(const QByteArray& icc)
{
    const Profile profile(cmsOpenProfileFromMem(icc.constData(), cmsUInt32Number(icc.size())));
    return profile && matchesSrgb(profile.get());
}

void ColorProfile::convertToSrgb(QImage& image, const QByteArray& icc)
{
    if (image.isNull() || icc.isEmpty())
        return;
    const Profile profile(cmsOpenProfileFromMem(icc.constData(), cmsUInt32Number(icc.size())));
    if (!profile) {
        writeErrorDetail(QStringLiteral("the picture's colour profile cannot be read; its colours are kept as sRGB"));
        return;
    }
    const cmsColorSpaceSignature space = cmsGetColorSpace(profile.get());
    if ((space != cmsSigRgbData && space != cmsSigGrayData) || matchesSrgb(profile.get()))
        return; // a CMYK profile describes inks the decoder has already turned into light
    if (image.format() != QImage::Format_RGB888 && image.format() != QImage::Format_ARGB32)
        image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB888);
    const Profile srgb(cmsCreate_sRGBProfile());
    if (space == cmsSigGrayData) {
        convertGrey(image, profile.get(), srgb.get());
        return;
    }
    const bool alpha = image.format() == QImage::Format_ARGB32;
    const cmsUInt32Number format = alpha ? TYPE_BGRA_8 : TYPE_RGB_8;
    const Transform transform(cmsCreateTransform(profile.get(), format, srgb.get(), format, INTENT_PERCEPTUAL,
                                                 alpha ? cmsFLAGS_COPY_ALPHA : 0));
    if (!transform) {
        writeErrorDetail(QStringLiteral("the picture's colour profile cannot be used; its colours are kept as sRGB"));
        return;
    }
    // In place, row by row: the rows of a QImage are padded to four bytes.
    const auto stride = cmsUInt32Number(image.bytesPerLine());
    uchar* pixels = image.bits();
    cmsDoTransformLineStride(transform.get(), pixels, pixels, cmsUInt32Number(image.width()),
                             cmsUInt32Number(image.height()), stride, stride, 0, 0);
}

QByteArray ColorProfile::fromPrimaries(Chromaticity red, Chromaticity green, Chromaticity blue, Chromaticity white)
{
    // sRGB's curve: linear near black, then a 2.4 power.
    const cmsFloat64Number srgbCurve[5] = {2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045};
    cmsToneCurve* curve = cmsBuildParametricToneCurve(nullptr, 4, srgbCurve);
    if (!curve)
        return {};
    const cmsCIExyY whitePoint{white.x, white.y, 1.0};
    const cmsCIExyYTRIPLE primaries{{red.x, red.y, 1.0}, {green.x, green.y, 1.0}, {blue.x, blue.y, 1.0}};
    cmsToneCurve* curves[3] = {curve, curve, curve};
    const Profile profile(cmsCreateRGBProfile(&whitePoint, &primaries, curves));
    cmsFreeToneCurve(curve);
    cmsUInt32Number size = 0;
    if (!profile || !cmsSaveProfileToMem(profile.get(), nullptr, &size) || size == 0)
        return {};
    QByteArray icc(qsizetype(size), Qt::Uninitialized);
    if (!cmsSaveProfileToMem(profile.get(), icc.data(), &size))
        return {};
    return icc;
}
