#include "imaging/drawing/FontSubstitutes.h"

#include <QtCore/QStringList>
#include <QtGui/QFont>

#include <mutex>

void FontSubstitutes::install()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const QString pGothic = QStringLiteral("IPAPGothic"), gothic = QStringLiteral("IPAGothic");
        const QString pMincho = QStringLiteral("IPAPMincho"), mincho = QStringLiteral("IPAMincho");
        // Proportional faces fall back to the fixed-pitch ones of the same style, and the other way round.
        QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"), {pGothic, gothic});
        QFont::insertSubstitutions(QStringLiteral("ＭＳ ゴシック"), {gothic, pGothic});
        QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐ明朝"), {pMincho, mincho});
        QFont::insertSubstitutions(QStringLiteral("ＭＳ 明朝"), {mincho, pMincho});
    });
}

QString FontSubstitutes::forNumberGrid(const QString& face)
{
    if (face == QStringLiteral("ＭＳ Ｐゴシック"))
        return QStringLiteral("ＭＳ ゴシック");
    if (face == QStringLiteral("ＭＳ Ｐ明朝"))
        return QStringLiteral("ＭＳ 明朝");
    return face;
}
