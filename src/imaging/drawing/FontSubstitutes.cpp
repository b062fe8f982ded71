#include "imaging/drawing/FontSubstitutes.h"

#include <QtCore/QStringList>
#include <QtGui/QFont>

#include <array>
#include <mutex>

namespace {

// Each style's Windows faces and the IPA faces standing in for them: proportional, then fixed-pitch.
struct FaceStyle
{
    const char16_t* proportional;
    const char16_t* fixedPitch;
    const char* ipaProportional;
    const char* ipaFixedPitch;
};

constexpr std::array<FaceStyle, 2> faceStyles{{
    {u"ＭＳ Ｐゴシック", u"ＭＳ ゴシック", "IPAPGothic", "IPAGothic"},
    {u"ＭＳ Ｐ明朝", u"ＭＳ 明朝", "IPAPMincho", "IPAMincho"},
}};

} // namespace

void FontSubstitutes::install()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // Proportional faces fall back to the fixed-pitch ones of the same style, and the other way round.
        for (const FaceStyle& style : faceStyles) {
            const QString proportional = QString::fromLatin1(style.ipaProportional);
            const QString fixedPitch = QString::fromLatin1(style.ipaFixedPitch);
            QFont::insertSubstitutions(QString::fromUtf16(style.proportional), {proportional, fixedPitch});
            QFont::insertSubstitutions(QString::fromUtf16(style.fixedPitch), {fixedPitch, proportional});
        }
    });
}

QString FontSubstitutes::forNumberGrid(const QString& face)
{
    for (const FaceStyle& style : faceStyles)
        if (face == QString::fromUtf16(style.proportional))
            return QString::fromUtf16(style.fixedPitch);
    return face;
}
