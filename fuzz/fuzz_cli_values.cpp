// pictorel-cli's option values: the input is "NAME=VALUE" for one option, or, when it holds no '=',
// a whole command line, one argument per line. Nothing crashes, and what is accepted stays in the
// bounds the drawing and the effects are built for; what is refused says why. Whatever the bytes,
// a file name made of them gives back exactly those bytes.
#include "FuzzCheck.h"

#include "cli/CommandLine.h"
#include "cli/OptionValues.h"
#include "foundation/PathBytes.h"
#include "imaging/drawing/LayerKeyColor.h"

#include <cstdlib>

namespace {

bool inCoordinates(QPoint p)
{
    return std::abs(p.x()) <= OptionValues::MaxCoordinate && std::abs(p.y()) <= OptionValues::MaxCoordinate;
}

void checkValue(const QString& name, const QString& value)
{
    QString error;
    if (name == QLatin1String("size")) {
        OptionValues::screenSize(value);
    } else if (name == QLatin1String("stamp")) {
        const auto place = OptionValues::stampPlace(value, &error);
        FUZZ_CHECK(place ? inCoordinates(place->from) && inCoordinates(place->to) && !place->file.isEmpty()
                         : !error.isEmpty());
    } else if (name == QLatin1String("text")) {
        const auto place = OptionValues::textPlace(value, &error);
        FUZZ_CHECK(place ? inCoordinates(place->at) && !place->text.isEmpty() : !error.isEmpty());
    } else if (name == QLatin1String("font")) {
        TextFont font;
        if (OptionValues::textFont(value, font).isEmpty())
            FUZZ_CHECK(font.size >= 1 && font.size <= 1000 && !font.name.trimmed().isEmpty());
    } else if (name == QLatin1String("shadow")) {
        TextSettings look;
        if (OptionValues::shadow(value, look).isEmpty())
            FUZZ_CHECK(std::abs(look.shadowOffset.x()) <= 50 && std::abs(look.shadowOffset.y()) <= 50);
    } else if (name == QLatin1String("calendar")) {
        CalendarPlacement placement;
        if (OptionValues::calendarPlacement(value, &placement, &error))
            FUZZ_CHECK(placement.year >= 1900 && placement.year <= 2100 && placement.month >= 1 &&
                       placement.month <= 12 && inCoordinates(placement.at));
        else
            FUZZ_CHECK(!error.isEmpty());
    } else if (name == QLatin1String("calendar-font")) {
        CalendarFont font;
        if (OptionValues::calendarFont(value, &font))
            FUZZ_CHECK(font.size >= 1 && font.size <= 200 && font.color != LayerKeyColor);
    } else if (name == QLatin1String("calendar-spacing")) {
        int h = 0;
        int v = 0;
        if (OptionValues::calendarSpacing(value, &h, &v))
            FUZZ_CHECK(h >= 1 && h <= 100 && v >= 1 && v <= 100);
    } else if (name == QLatin1String("op")) {
        ProgramOptions options;
        int id = -1;
        if (OptionValues::operation(value, options, &id, &error))
            FUZZ_CHECK(id >= 0 && options.effects.mosaicSize >= 1 && options.effects.mosaicSize <= 255 &&
                       options.effects.blurStrength >= 1 && options.effects.blurStrength <= 20);
        else
            FUZZ_CHECK(!error.isEmpty());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    const QString name = PathBytes::fromBytes(bytes);
    FUZZ_CHECK(PathBytes::toBytes(name) == bytes);
    FUZZ_CHECK(PathBytes::holdsRawBytes(name) != (QString::fromUtf8(bytes).toUtf8() == bytes));
    const QString input = QString::fromUtf8(bytes);
    const qsizetype equals = input.indexOf(QLatin1Char('='));
    if (equals >= 0 && !input.left(equals).contains(QLatin1Char('\n'))) {
        checkValue(input.left(equals), input.mid(equals + 1));
        return 0;
    }
    const QStringList arguments = input.split(QLatin1Char('\n'));
    QString error;
    const std::optional<CommandLine> line =
        CommandLine::read(arguments, {QStringLiteral("stamp"), QStringLiteral("text"), QStringLiteral("o")},
                          {QStringLiteral("keep-aspect")}, &error);
    if (!line) {
        FUZZ_CHECK(!error.isEmpty());
        return 0;
    }
    FUZZ_CHECK(qsizetype(line->options().size()) + line->positionalArguments().size() <= arguments.size());
    for (const CommandLine::Option& option : line->options())
        checkValue(option.name, option.value);
    return 0;
}
