#include "cli/TextOptions.h"

#include "cli/CommandLine.h"
#include "decoration/KeySafeColor.h"
#include "decoration/TextItems.h"
#include "decoration/TextTool.h"
#include "imaging/drawing/FontSubstitutes.h"
#include "workbench/Workbench.h"

#include <QtGui/QFontDatabase>
#include <QtGui/QFontInfo>

namespace {

constexpr int MaxFontSize = 1000;
constexpr int MaxShadowDistance = 50;

std::optional<QRgb> readColor(const QString& text)
{
    const QColor color(QLatin1Char('#') + text);
    if (text.size() != 6 || !color.isValid())
        return std::nullopt;
    return keySafeColor(color); // as the colour dialogs do: the key colour would vanish
}

std::optional<int> readInt(const QString& text, int minimum, int maximum)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value >= minimum && value <= maximum ? std::optional<int>(value) : std::nullopt;
}

QString readFont(const QString& value, TextFont& font)
{
    const QStringList parts = value.split(QLatin1Char(':'));
    const QString bad = QStringLiteral("--font takes NAME[:SIZE[:bold][:italic]], not '%1'").arg(value);
    if (parts.first().trimmed().isEmpty())
        return bad;
    font.name = parts.first();
    if (parts.size() > 1) {
        const std::optional<int> size = readInt(parts[1], 1, MaxFontSize);
        if (!size)
            return bad;
        font.size = *size;
    }
    for (const QString& style : parts.mid(2)) {
        if (style == QLatin1String("bold"))
            font.bold = true;
        else if (style == QLatin1String("italic"))
            font.italic = true;
        else
            return bad;
    }
    return {};
}

QString readShadow(const QString& value, TextSettings& look)
{
    if (value == QLatin1String("none")) {
        look.shadow = false;
        return {};
    }
    const QStringList parts = value.split(QLatin1Char(':'));
    const QString bad = QStringLiteral("--shadow takes POSITION:DISTANCE[:RRGGBB] (POSITION one of %1) or none")
                            .arg(TextItems::shadowPositions().join(QLatin1Char(' ')));
    const std::optional<int> distance = readInt(parts.value(1), 1, MaxShadowDistance);
    if (parts.size() < 2 || parts.size() > 3 || !TextItems::isShadowPosition(parts[0]) || !distance)
        return bad;
    look.shadowOffset = TextItems::shadowOffset(parts[0], *distance);
    if (parts.size() == 3) {
        const std::optional<QRgb> color = readColor(parts[2]);
        if (!color)
            return bad;
        look.shadowColor = *color;
    }
    return {};
}

} // namespace

QStringList TextOptions::optionNames()
{
    return {QStringLiteral("text"),   QStringLiteral("font"),      QStringLiteral("text-color"),
            QStringLiteral("shadow"), QStringLiteral("direction"), QStringLiteral("angle")};
}

QString TextOptions::read(const CommandLine& p, TextSettings& look)
{
    if (p.isSet(QStringLiteral("font")))
        if (const QString error = readFont(p.value(QStringLiteral("font")), look.font); !error.isEmpty())
            return error;
    if (p.isSet(QStringLiteral("text-color"))) {
        const std::optional<QRgb> color = readColor(p.value(QStringLiteral("text-color")));
        if (!color)
            return QStringLiteral("--text-color takes RRGGBB");
        look.textColor = *color;
    }
    if (p.isSet(QStringLiteral("shadow")))
        if (const QString error = readShadow(p.value(QStringLiteral("shadow")), look); !error.isEmpty())
            return error;
    if (p.isSet(QStringLiteral("direction"))) {
        look.direction = readInt(p.value(QStringLiteral("direction")), 0, 3);
        if (!look.direction)
            return QStringLiteral("--direction takes 0, 1, 2 or 3");
    }
    if (p.isSet(QStringLiteral("angle"))) {
        const std::optional<int> angle = readInt(p.value(QStringLiteral("angle")), 0, 270);
        if (!angle || *angle % 90 != 0)
            return QStringLiteral("--angle takes 0, 90, 180 or 270");
        look.angle = angle;
    }
    return {};
}

std::optional<LayerStep> TextOptions::step(const QString& value, const TextSettings& look, QString* error)
{
    const qsizetype at = value.lastIndexOf(QLatin1Char('@'));
    const QStringList xy = at < 0 ? QStringList() : value.mid(at + 1).split(QLatin1Char(','));
    const int limit = DecorationArguments::MaxCoordinate;
    const std::optional<int> x = readInt(xy.value(0), -limit, limit);
    const std::optional<int> y = readInt(xy.value(1), -limit, limit);
    if (xy.size() != 2 || !x || !y) {
        *error = QStringLiteral("--text takes TEXT@X,Y, each coordinate -%1 to %1, not '%2'").arg(limit).arg(value);
        return std::nullopt;
    }
    if (at == 0) {
        *error = QStringLiteral("--text '%1' has no text before the @").arg(value);
        return std::nullopt;
    }
    TextSettings text = look;
    text.text = value.left(at);
    return LayerStep{[value, text, point = QPoint(*x, *y)](Workbench& bench) {
        QString why;
        if (!TextTool::placeText(bench.layers, point, text, {}, &why))
            return QStringLiteral("--text '%1' could not be drawn: %2").arg(value, why);
        return QString();
    }};
}

QString TextOptions::missingFontNote(const QString& family)
{
    FontSubstitutes::install();
    const QStringList names = QStringList{family} + QFont::substitutes(family);
    if (std::any_of(names.begin(), names.end(), [](const QString& name) { return QFontDatabase::hasFamily(name); }))
        return {};
    return QStringLiteral("font '%1' is not installed; the text is drawn in '%2'")
        .arg(family, QFontInfo(QFont(family)).family());
}

QString TextOptions::usage()
{
    return QStringLiteral(
        "               [--text TEXT@X,Y]... [--font NAME[:SIZE[:bold][:italic]]] [--text-color RRGGBB]\n"
        "               [--shadow POSITION:DISTANCE[:RRGGBB] | --shadow none]\n"
        "               [--direction 0|1|2|3] [--angle 0|90|180|270]\n");
}
