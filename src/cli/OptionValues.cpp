#include "cli/OptionValues.h"

#include "decoration/KeySafeColor.h"
#include "decoration/TextItems.h"
#include "foundation/EffectRules.h"
#include "workspace/OperationLog.h"

#include <QtCore/QRegularExpression>
#include <QtGui/QColor>

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {

constexpr int MaxFontSize = 1000;
constexpr int MaxShadowDistance = 50;

struct NamedOperation
{
    const char* name;
    OperationId id;
    int EffectOptions::*parameter = nullptr; // what ":N" sets, if anything
    NumericRule range{0, 0};                 // the values it takes
};

const NamedOperation namedOperations[] = {
    {"rotate-left", OperationId::RotateLeft},
    {"rotate-right", OperationId::RotateRight},
    {"flip-vertical", OperationId::FlipVertical},
    {"flip-horizontal", OperationId::FlipHorizontal},
    {"darken", OperationId::Darken},
    {"brighten", OperationId::Brighten},
    {"denoise", OperationId::RemoveNoise},
    {"smooth", OperationId::Smooth},
    {"sharpen", OperationId::Sharpen, &EffectOptions::sharpness, EffectRules::Sharpness},
    {"mono", OperationId::Mono},
    {"sepia", OperationId::Sepia},
    {"oil", OperationId::Oil, &EffectOptions::oilBrush, EffectRules::OilBrush},
    {"canvas", OperationId::Canvas, &EffectOptions::canvasDepth, EffectRules::CanvasDepth},
    {"ripple", OperationId::Ripple, &EffectOptions::rippleAmplitude, EffectRules::RippleAmplitude},
    {"wave", OperationId::Wave, &EffectOptions::wavesAmplitude, EffectRules::WavesAmplitude},
    {"lens", OperationId::Lens, &EffectOptions::lensPower, EffectRules::LensPower},
    {"mosaic", OperationId::Mosaic, &EffectOptions::mosaicSize, EffectRules::MosaicSize},
    {"blur", OperationId::Blur, &EffectOptions::blurStrength, EffectRules::BlurStrength},
};

// The style words that may follow a font's size: each one "bold" or "italic".
bool readStyles(const QStringList& words, bool& bold, bool& italic)
{
    for (const QString& word : words) {
        if (word == QLatin1String("bold"))
            bold = true;
        else if (word == QLatin1String("italic"))
            italic = true;
        else
            return false;
    }
    return true;
}

} // namespace

// WxH, digits only on both sides; a side too long for an int reads as the largest one, which the
// range check then refuses by name.
std::optional<QSize> OptionValues::screenSize(const QString& text)
{
    const auto number = [](QStringView digits) -> std::optional<int> {
        const bool onlyDigits = !digits.isEmpty() && std::all_of(digits.begin(), digits.end(), [](QChar c) {
            return c >= QLatin1Char('0') && c <= QLatin1Char('9');
        });
        if (!onlyDigits)
            return std::nullopt;
        bool ok = false;
        const int value = digits.toInt(&ok);
        return ok ? value : std::numeric_limits<int>::max();
    };
    const qsizetype x = text.indexOf(QLatin1Char('x'));
    const std::optional<int> width = number(QStringView(text).left(std::max<qsizetype>(x, 0)));
    const std::optional<int> height = number(QStringView(text).mid(x + 1));
    if (x < 0 || !width || !height)
        return std::nullopt;
    return QSize(*width, *height);
}

// Comma-separated coordinates, each within the drawable range; an empty list when one is not.
std::vector<int> OptionValues::coordinates(const QString& text)
{
    std::vector<int> values;
    for (const QString& part : text.split(QLatin1Char(','))) {
        bool ok = false;
        const int value = part.trimmed().toInt(&ok);
        if (!ok || std::abs(value) > MaxCoordinate)
            return {};
        values.push_back(value);
    }
    return values;
}

std::optional<OptionValues::StampPlace> OptionValues::stampPlace(const QString& value, QString* error)
{
    const qsizetype at = value.lastIndexOf(QLatin1Char('@'));
    const std::vector<int> c = coordinates(value.mid(at + 1));
    if (at <= 0 || (c.size() != 2 && c.size() != 4)) {
        *error = QStringLiteral("--stamp takes FILE@X,Y or FILE@X1,Y1,X2,Y2, each coordinate -%1 to %1, not '%2'")
                     .arg(MaxCoordinate)
                     .arg(value);
        return std::nullopt;
    }
    const QPoint from(c[0], c[1]);
    return StampPlace{value.left(at), from, c.size() == 2 ? from : QPoint(c[2], c[3])};
}

std::optional<OptionValues::TextPlace> OptionValues::textPlace(const QString& value, QString* error)
{
    const qsizetype at = value.lastIndexOf(QLatin1Char('@'));
    const QStringList xy = at < 0 ? QStringList() : value.mid(at + 1).split(QLatin1Char(','));
    const std::optional<int> x = integer(xy.value(0), -MaxCoordinate, MaxCoordinate);
    const std::optional<int> y = integer(xy.value(1), -MaxCoordinate, MaxCoordinate);
    if (xy.size() != 2 || !x || !y) {
        *error =
            QStringLiteral("--text takes TEXT@X,Y, each coordinate -%1 to %1, not '%2'").arg(MaxCoordinate).arg(value);
        return std::nullopt;
    }
    if (at == 0) {
        *error = QStringLiteral("--text '%1' has no text before the @").arg(value);
        return std::nullopt;
    }
    return TextPlace{value.left(at), QPoint(*x, *y)};
}

std::optional<QRgb> OptionValues::color(const QString& text)
{
    const QColor color(QLatin1Char('#') + text);
    if (text.size() != 6 || !color.isValid())
        return std::nullopt;
    return keySafeColor(color); // as the colour dialogs do: the key colour would vanish
}

std::optional<int> OptionValues::integer(const QString& text, int minimum, int maximum)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value >= minimum && value <= maximum ? std::optional<int>(value) : std::nullopt;
}

QString OptionValues::textFont(const QString& value, TextFont& font)
{
    const QStringList parts = value.split(QLatin1Char(':'));
    const QString bad = QStringLiteral("--font takes NAME[:SIZE[:bold][:italic]], not '%1'").arg(value);
    if (parts.first().trimmed().isEmpty())
        return bad;
    font.name = parts.first();
    if (parts.size() > 1) {
        const std::optional<int> size = integer(parts[1], 1, MaxFontSize);
        if (!size)
            return bad;
        font.size = *size;
    }
    return readStyles(parts.mid(2), font.bold, font.italic) ? QString() : bad;
}

QString OptionValues::shadow(const QString& value, TextSettings& look)
{
    if (value == QLatin1String("none")) {
        look.shadow = false;
        return {};
    }
    const QStringList parts = value.split(QLatin1Char(':'));
    const QString bad = QStringLiteral("--shadow takes POSITION:DISTANCE[:RRGGBB] (POSITION one of %1) or none")
                            .arg(TextItems::shadowPositions().join(QLatin1Char(' ')));
    const std::optional<int> distance = integer(parts.value(1), 1, MaxShadowDistance);
    if (parts.size() < 2 || parts.size() > 3 || !TextItems::isShadowPosition(parts[0]) || !distance)
        return bad;
    look.shadowOffset = TextItems::shadowOffset(parts[0], *distance);
    if (parts.size() == 3) {
        const std::optional<QRgb> shadowColor = color(parts[2]);
        if (!shadowColor)
            return bad;
        look.shadowColor = *shadowColor;
    }
    return {};
}

bool OptionValues::calendarSpacing(const QString& text, int* h, int* v)
{
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("^(\\d{1,3}),(\\d{1,3})$")).match(text);
    if (!m.hasMatch())
        return false;
    *h = m.captured(1).toInt();
    *v = m.captured(2).toInt();
    return *h >= 1 && *h <= 100 && *v >= 1 && *v <= 100;
}

bool OptionValues::calendarPlacement(const QString& text, CalendarPlacement* placement, QString* error)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{4})-(\\d{1,2})@(-?\\d{1,9}),(-?\\d{1,9})$"));
    const QRegularExpressionMatch m = form.match(text);
    const auto refuse = [error, &text](const QString& what) {
        if (error)
            *error = QStringLiteral("--calendar takes YEAR-MONTH@X,Y; in '%1' %2").arg(text, what);
        return false;
    };
    if (!m.hasMatch())
        return refuse(QStringLiteral("that form is not found"));
    *placement = {m.captured(1).toInt(), m.captured(2).toInt(), QPoint(m.captured(3).toInt(), m.captured(4).toInt())};
    if (placement->year < 1900 || placement->year > 2100)
        return refuse(QStringLiteral("the year is not 1900 to 2100"));
    if (placement->month < 1 || placement->month > 12)
        return refuse(QStringLiteral("the month is not 1 to 12"));
    const int limit = MaxCoordinate;
    if (std::abs(placement->at.x()) > limit || std::abs(placement->at.y()) > limit)
        return refuse(QStringLiteral("a coordinate is not -%1 to %1").arg(limit));
    return true;
}

bool OptionValues::calendarFont(const QString& text, CalendarFont* font)
{
    QStringList parts = text.split(QLatin1Char(':'));
    CalendarFont parsed;
    parsed.name = parts.takeFirst();
    if (parsed.name.isEmpty())
        return false;
    // Six hex digits can only be the colour: a size has at most three.
    if (const std::optional<QRgb> last = parts.isEmpty() ? std::nullopt : color(parts.constLast())) {
        parsed.color = *last;
        parts.removeLast();
    }
    if (!parts.isEmpty()) {
        const std::optional<int> size = integer(parts.takeFirst(), 1, 200);
        if (!size)
            return false;
        parsed.size = *size;
    }
    if (!readStyles(parts, parsed.bold, parsed.italic))
        return false;
    parsed.color = keySafeColor(parsed.color); // as the program's font chooser
    *font = parsed;
    return true;
}

QStringList OptionValues::operationNames()
{
    QStringList names;
    for (const NamedOperation& op : namedOperations)
        names << QLatin1String(op.name);
    return names;
}

bool OptionValues::operation(const QString& opText, ProgramOptions& options, int* operationId, QString* error)
{
    const QString name = opText.section(QLatin1Char(':'), 0, 0);
    const QString parameter = opText.section(QLatin1Char(':'), 1);
    for (const NamedOperation& op : namedOperations) {
        if (name != QLatin1String(op.name))
            continue;
        *operationId = int(op.id);
        if (parameter.isEmpty())
            return true;
        if (!op.parameter) {
            *error = QStringLiteral("'%1' takes no parameter").arg(name);
            return false;
        }
        const std::optional<int> value = NumericRule::read(parameter);
        if (!value || *value < op.range.minimum() || *value > op.range.maximum()) {
            *error = QStringLiteral("'%1' takes a parameter of %2 to %3, not '%4'")
                         .arg(name)
                         .arg(op.range.minimum())
                         .arg(op.range.maximum())
                         .arg(parameter);
            return false;
        }
        options.effects.*op.parameter = *value;
        return true;
    }
    *error =
        QStringLiteral("unknown operation '%1' (known: %2)").arg(name, operationNames().join(QStringLiteral(", ")));
    return false;
}
