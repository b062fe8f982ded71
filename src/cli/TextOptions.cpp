#include "cli/TextOptions.h"

#include "cli/CommandLine.h"
#include "cli/OptionValues.h"
#include "decoration/TextTool.h"
#include "imaging/drawing/FontSubstitutes.h"
#include "workbench/Workbench.h"

#include <QtGui/QFontDatabase>
#include <QtGui/QFontInfo>

QStringList TextOptions::optionNames()
{
    return {QStringLiteral("text"),   QStringLiteral("font"),      QStringLiteral("text-color"),
            QStringLiteral("shadow"), QStringLiteral("direction"), QStringLiteral("angle")};
}

QString TextOptions::read(const CommandLine& p, TextSettings& look)
{
    if (p.isSet(QStringLiteral("font")))
        if (const QString error = OptionValues::textFont(p.value(QStringLiteral("font")), look.font); !error.isEmpty())
            return error;
    if (p.isSet(QStringLiteral("text-color"))) {
        const std::optional<QRgb> color = OptionValues::color(p.value(QStringLiteral("text-color")));
        if (!color)
            return QStringLiteral("--text-color takes RRGGBB");
        look.textColor = *color;
    }
    if (p.isSet(QStringLiteral("shadow")))
        if (const QString error = OptionValues::shadow(p.value(QStringLiteral("shadow")), look); !error.isEmpty())
            return error;
    if (p.isSet(QStringLiteral("direction"))) {
        look.direction = OptionValues::integer(p.value(QStringLiteral("direction")), 0, 3);
        if (!look.direction)
            return QStringLiteral("--direction takes 0, 1, 2 or 3");
    }
    if (p.isSet(QStringLiteral("angle"))) {
        const std::optional<int> angle = OptionValues::integer(p.value(QStringLiteral("angle")), 0, 270);
        if (!angle || *angle % 90 != 0)
            return QStringLiteral("--angle takes 0, 90, 180 or 270");
        look.angle = angle;
    }
    return {};
}

std::optional<LayerStep> TextOptions::step(const QString& value, const TextSettings& look, QString* error)
{
    const std::optional<OptionValues::TextPlace> place = OptionValues::textPlace(value, error);
    if (!place)
        return std::nullopt;
    TextSettings text = look;
    text.text = place->text;
    return LayerStep{[value, text, point = place->at](Workbench& bench) {
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
