#include "cli/CliCommand.h"

#include "app/Workbench.h"
#include "catalogue/ModelCatalogue.h"
#include "cli/BatchRunner.h"
#include "cli/CalendarOptions.h"
#include "cli/StandbyMaker.h"
#include "cli/TextOptions.h"
#include "foundation/IniFile.h"
#include "foundation/OptionsSettings.h"
#include "foundation/ProgramFolders.h"
#include "widgets/NumericRule.h"

#include <QtCore/QCommandLineParser>
#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QRegularExpression>
#include <QtCore/QSet>

#include <algorithm>
#include <limits>

namespace {

struct Job
{
    QString picture;
    MakeTarget target;
};

QString extensionOf(SaveFormatChoice format)
{
    const char* names[] = {"jpg", "gif", "png", "bmp"};
    return QLatin1String(names[int(format)]);
}

// Catalogue names may hold brackets, spaces or slashes; file names get a safe form of them.
QString safeName(const QString& name)
{
    QString safe = name;
    safe.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|\\s]+")), QStringLiteral("_"));
    return safe;
}

// The picture's base name for output names; a file passed by descriptor goes by the name it has.
QString pictureBaseName(const QString& picture)
{
    const QFileInfo info(picture);
    const bool byDescriptor = picture.startsWith(QLatin1String("/proc/self/fd/"));
    return (byDescriptor ? QFileInfo(info.symLinkTarget()) : info).completeBaseName();
}

// PICTURE_MODEL.EXT for every job in order; a name taken by an earlier job gets "-2", "-3", ...
// before the extension, so a batch never writes one file twice.
QStringList batchFileNames(const QStringList& pictures, const QList<MakeTarget>& targets, const QString& extension)
{
    QStringList names;
    QSet<QString> taken;
    for (const QString& picture : pictures) {
        for (const MakeTarget& target : targets) {
            const QString stem = QStringLiteral("%1_%2").arg(pictureBaseName(picture), safeName(target.name));
            QString name = stem + QLatin1Char('.') + extension;
            for (int n = 2; taken.contains(name); ++n)
                name = QStringLiteral("%1-%2.%3").arg(stem).arg(n).arg(extension);
            taken.insert(name);
            names << name;
        }
    }
    return names;
}

std::optional<ModelCatalogue> loadCatalogue(const QString& path, QString* error)
{
    ModelCatalogue catalogue;
    try {
        if (!catalogue.load(path)) {
            *error = QStringLiteral("%1 が見つかりません。").arg(path);
            return std::nullopt;
        }
    } catch (const ProgramError& e) {
        *error = e.text();
        return std::nullopt;
    }
    return catalogue;
}

// The program's own: an update the program installed wins over the shipped catalogue.
QString defaultCatalogue(const QString& programFolder)
{
    return ProgramFolders::forProgram(programFolder).catalogueToRead(ModelCatalogue::fileName());
}

} // namespace

CliCommand::CliCommand(QTextStream& out, QTextStream& err, QString programFolder, bool terminal)
    : out_(out), err_(err), programFolder_(std::move(programFolder)), terminal_(terminal)
{
}

QString CliCommand::helpText()
{
    return QStringLiteral(
               "Usage:\n"
               "  pictorel-cli models [--catalogue FILE]\n"
               "  pictorel-cli make PICTURE... (--model NAME | --size WxH --limit BYTES | --all-models CARRIER)\n"
               "               [--catalogue FILE] [--fit cover|width|height|both] [--offset X,Y] [--place 0-8]\n"
               "               [--margin RRGGBB] [--op NAME[:PARAM]]... [--format jpeg|gif|png|bmp]\n"
               "               [--stamp FILE@X,Y | --stamp FILE@X1,Y1,X2,Y2]... [--keep-aspect] [--frame FILE]...\n"
               "%2               [--settings FILE] [--calendar YEAR-MONTH@X,Y]... [--calendar-settings FILE]\n"
               "               [--calendar-font NAME[:SIZE[:bold][:italic]][:RRGGBB]] [--calendar-spacing H,V] -o OUT\n"
               "  pictorel-cli --help | --version\n"
               "\n"
               "make loads each picture, fits it onto the model's screen (cover and centred unless --fit says\n"
               "otherwise), applies the operations in order and saves it within the model's size limit, exactly\n"
               "as the program does. Operations: %1.\n"
               "Stamps and frames are drawn after the operations, each on a layer of its own, in command-line\n"
               "order: a stamp at its own size with its top-left at X,Y, or fitted into the rectangle X1,Y1 to\n"
               "X2,Y2 (stretched, or in proportion with --keep-aspect); a frame over the whole canvas, in\n"
               "proportion on the margin colour. A FILE without a folder comes from the program's stamp/ or\n"
               "frames/ folder.\n"
               "With several pictures or --all-models, OUT is a folder and the files are named PICTURE_MODEL.EXT;\n"
               "a name an earlier file of the batch already has gets -2, -3, ... before the extension.\n"
               "Each --calendar puts that month's calendar with its top-left corner at X,Y on a layer of its own,\n"
               "in command-line order; --calendar-settings reads a Calender.ini, otherwise its defaults apply.\n"
               "Exit status: 0 every file fits, 2 a file was written but does not fit, 1 an error.\n"
               "\n"
               "Examples:\n"
               "  pictorel-cli models\n"
               "  pictorel-cli make photo.jpg --model F900i -o wallpaper.jpg\n"
               "  pictorel-cli make photo.jpg --size 240x320 --limit 20480 --op sepia --op mosaic:6 -o small.png\n"
               "  pictorel-cli make holiday/*.jpg --all-models DoCoMo --format jpeg -o out/\n")
        .arg(StandbyMaker::operationNames().join(QStringLiteral(", ")), TextOptions::usage());
}

bool CliCommand::drawsText(const QStringList& arguments)
{
    if (arguments.value(1) != QLatin1String("make"))
        return false;
    for (const char* option : {"text", "calendar"})
        if (!DecorationArguments::occurrences(arguments, QLatin1String(option)).empty())
            return true;
    return false;
}

int CliCommand::run(const QStringList& arguments)
{
    const QString command = arguments.value(1);
    if (command == QLatin1String("--help") || command == QLatin1String("-h") || command.isEmpty()) {
        out_ << helpText();
        return command.isEmpty() ? 1 : 0;
    }
    if (command == QLatin1String("--version")) {
        out_ << "pictorel-cli " << PICTOREL_VERSION << "\n";
        return 0;
    }
    const QStringList rest = QStringList{arguments.value(0)} + arguments.mid(2);
    if (command == QLatin1String("models"))
        return runModels(rest);
    if (command == QLatin1String("make"))
        return runMake(rest);
    err_ << "unknown command '" << command << "'; see --help\n";
    return 1;
}

int CliCommand::runModels(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("catalogue"), QString(), QStringLiteral("FILE")});
    if (!parser.parse(arguments)) {
        err_ << parser.errorText() << "\n";
        return 1;
    }
    QString error;
    const QString path = parser.isSet(QStringLiteral("catalogue")) ? parser.value(QStringLiteral("catalogue"))
                                                                   : defaultCatalogue(programFolder_);
    const std::optional<ModelCatalogue> catalogue = loadCatalogue(path, &error);
    if (!catalogue) {
        err_ << error << "\n";
        return 1;
    }
    for (const TModelEntry& e : catalogue->entries())
        out_ << e.Carrier << '\t' << e.Name << '\t' << e.Width << '\t' << e.Height << '\t' << e.ColorBits << '\t'
             << e.SizeLimit << '\n';
    return 0;
}

namespace {

struct MakeRequest
{
    QStringList pictures;
    QList<MakeTarget> targets;
    MakeChoices choices;
    ProgramOptions options;
    QString out;
};

bool inRange(const NumericRule& rule, qint64 value)
{
    return value >= rule.minimum() && value <= rule.maximum();
}

// WxH, digits only on both sides; a side too long for an int reads as the largest one, which the
// range check then refuses by name.
std::optional<QSize> parseSize(const QString& text)
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

// Everything the options say, checked; an error text on the first fault.
QString readRequest(const QCommandLineParser& p, const QString& programFolder, MakeRequest& r)
{
    r.pictures = p.positionalArguments();
    if (r.pictures.isEmpty())
        return QStringLiteral("no picture given");
    r.out = p.value(QStringLiteral("o"));
    if (r.out.isEmpty())
        return QStringLiteral("no output given (-o OUT)");
    if (p.isSet(QStringLiteral("settings"))) {
        if (!QFileInfo(p.value(QStringLiteral("settings"))).isFile())
            return QStringLiteral("settings file %1 not found").arg(p.value(QStringLiteral("settings")));
        OptionsSettings::read(IniFile(p.value(QStringLiteral("settings"))), r.options);
    }
    if (p.isSet(QStringLiteral("format"))) {
        const QStringList formats{QStringLiteral("jpeg"), QStringLiteral("gif"), QStringLiteral("png"),
                                  QStringLiteral("bmp")};
        const qsizetype index = formats.indexOf(p.value(QStringLiteral("format")).toLower());
        if (index < 0)
            return QStringLiteral("unknown format '%1'").arg(p.value(QStringLiteral("format")));
        r.options.saveFormat = SaveFormatChoice(index);
    }
    if (p.isSet(QStringLiteral("place"))) {
        bool ok = false;
        r.options.placement = p.value(QStringLiteral("place")).toInt(&ok);
        if (!ok || r.options.placement < 0 || r.options.placement > 8)
            return QStringLiteral("--place takes 0 to 8");
    }
    if (p.isSet(QStringLiteral("margin"))) {
        const QColor margin(QLatin1Char('#') + p.value(QStringLiteral("margin")));
        if (!margin.isValid() || p.value(QStringLiteral("margin")).size() != 6)
            return QStringLiteral("--margin takes RRGGBB");
        r.options.marginColor = margin;
    }
    const QStringList fits{QStringLiteral("cover"), QStringLiteral("width"), QStringLiteral("height"),
                           QStringLiteral("both")};
    const qsizetype fit = fits.indexOf(p.isSet(QStringLiteral("fit")) ? p.value(QStringLiteral("fit")) : fits.first());
    if (fit < 0)
        return QStringLiteral("--fit takes cover, width, height or both");
    r.choices.fit = MakeChoices::Fit(fit);
    if (p.isSet(QStringLiteral("offset"))) {
        const QStringList xy = p.value(QStringLiteral("offset")).split(QLatin1Char(','));
        bool okX = false;
        bool okY = false;
        const QPoint offset(xy.value(0).toInt(&okX), xy.value(1).toInt(&okY));
        if (xy.size() != 2 || !okX || !okY)
            return QStringLiteral("--offset takes X,Y");
        r.choices.offset = offset;
    }
    r.choices.operations = p.values(QStringLiteral("op"));
    if (const QString error = TextOptions::read(p, r.choices.text); !error.isEmpty())
        return error;
    ProgramOptions probe = r.options;
    for (const QString& op : std::as_const(r.choices.operations)) {
        int id = 0;
        QString error;
        if (!StandbyMaker::applyOperationName(op, probe, &id, &error))
            return error;
    }

    const int targetKinds = int(p.isSet(QStringLiteral("model"))) + int(p.isSet(QStringLiteral("size"))) +
                            int(p.isSet(QStringLiteral("all-models")));
    if (targetKinds != 1)
        return QStringLiteral("give exactly one of --model, --size with --limit, --all-models");
    if (p.isSet(QStringLiteral("size"))) {
        const std::optional<QSize> size = parseSize(p.value(QStringLiteral("size")));
        bool ok = false;
        const qint64 limit = p.value(QStringLiteral("limit")).toLongLong(&ok);
        if (!size || !ok)
            return QStringLiteral("--size takes WxH and needs --limit BYTES");
        // The program's own fields never take other values.
        const NumericRule side = NumericRules::ScreenSide;
        const NumericRule limits = NumericRules::SizeLimit;
        if (!inRange(side, size->width()) || !inRange(side, size->height()))
            return QStringLiteral("--size takes a width and a height of %1 to %2 pixels, not %3")
                .arg(side.minimum())
                .arg(side.maximum())
                .arg(p.value(QStringLiteral("size")));
        if (!inRange(limits, limit))
            return QStringLiteral("--limit takes %1 to %2 bytes, not %3")
                .arg(limits.minimum())
                .arg(limits.maximum())
                .arg(limit);
        r.targets << MakeTarget{p.value(QStringLiteral("size")), size->width(), size->height(), limit};
        return {};
    }
    QString error;
    const QString cataloguePath =
        p.isSet(QStringLiteral("catalogue")) ? p.value(QStringLiteral("catalogue")) : defaultCatalogue(programFolder);
    const std::optional<ModelCatalogue> catalogue = loadCatalogue(cataloguePath, &error);
    if (!catalogue)
        return error;
    const QString wanted =
        p.value(p.isSet(QStringLiteral("model")) ? QStringLiteral("model") : QStringLiteral("all-models"));
    for (const TModelEntry& e : catalogue->entries())
        if (p.isSet(QStringLiteral("model")) ? e.Name == wanted && r.targets.isEmpty() : e.Carrier == wanted)
            r.targets << MakeTarget{e.Name, e.Width, e.Height, e.SizeLimit};
    if (r.targets.isEmpty())
        return p.isSet(QStringLiteral("model")) ? QStringLiteral("no model named '%1' in the catalogue").arg(wanted)
                                                : QStringLiteral("no carrier named '%1' in the catalogue").arg(wanted);
    return {};
}

// Texts join the other decorations, so that every decoration goes on in command-line order.
void interleaveTexts(const QStringList& arguments, MakeChoices& choices)
{
    const QList<int> positions = optionPositions(QStringLiteral("text"), arguments);
    for (qsizetype i = 0; i < choices.text.placements.size(); ++i) {
        const TextChoices one{choices.text.look, {choices.text.placements.at(i)}};
        choices.layers.push_back({positions.value(i, int(arguments.size())), [one](Workbench& bench, ConsolePrompts&) {
                                      TextOptions::placeOnWorkingLayer(bench.layers, one);
                                      return QString();
                                  }});
    }
    choices.text.placements.clear();
}

} // namespace

int CliCommand::runMake(const QStringList& arguments)
{
    QCommandLineParser parser;
    for (const char* name : {"model", "size", "limit", "all-models", "catalogue", "fit", "offset", "place", "margin",
                             "op", "format", "settings", "stamp", "frame"})
        parser.addOption({QLatin1String(name), QString(), QStringLiteral("VALUE")});
    for (const QString& name : CalendarOptions::optionNames())
        parser.addOption({name, QString(), QStringLiteral("VALUE")});
    parser.addOption({QStringLiteral("o"), QString(), QStringLiteral("OUT")});
    parser.addOption({QStringLiteral("keep-aspect"), QString()});
    TextOptions::addTo(parser);
    if (!parser.parse(arguments)) {
        err_ << parser.errorText() << "\n";
        return 1;
    }
    MakeRequest request;
    QString error = readRequest(parser, programFolder_, request);
    if (error.isEmpty())
        error = CalendarOptions::read(parser, arguments, request.choices);
    if (!error.isEmpty()) {
        err_ << error << "\n";
        return 1;
    }
    QString decorationError;
    for (LayerStep& step : DecorationArguments::read(arguments, programFolder_, &decorationError))
        request.choices.layers.push_back(std::move(step));
    if (!decorationError.isEmpty()) {
        err_ << decorationError << "\n";
        return 1;
    }
    interleaveTexts(arguments, request.choices);
    const qsizetype jobCount = request.pictures.size() * request.targets.size();
    const bool intoFolder = jobCount > 1 || QFileInfo(request.out).isDir() || request.out.endsWith(QLatin1Char('/'));
    if (intoFolder && !QDir().mkpath(request.out)) {
        err_ << "cannot create the folder " << request.out << "\n";
        return 1;
    }
    const StandbyMaker maker(request.options, programFolder_);
    const QStringList names =
        intoFolder ? batchFileNames(request.pictures, request.targets, extensionOf(request.options.saveFormat))
                   : QStringList();
    const qsizetype targetCount = request.targets.size();
    const auto pictureOf = [&](int i) -> const QString& { return request.pictures.at(i / targetCount); };
    const auto targetOf = [&](int i) -> const MakeTarget& { return request.targets.at(i % targetCount); };
    const auto outOf = [&](int i) { return intoFolder ? QDir(request.out).filePath(names.at(i)) : request.out; };
    // Pictures alone are independent; text and calendars share the font machinery, so they keep to one thread.
    const int threads = request.choices.layers.empty() ? BatchRunner::threadsFor(int(jobCount)) : 1;
    int status = 0;
    BatchRunner::run<MakeResult>(
        int(jobCount), threads, [&](int i) { return maker.make(pictureOf(i), targetOf(i), request.choices, outOf(i)); },
        [&](int i, const MakeResult& result) {
            if (terminal_ && jobCount > 1)
                err_ << QStringLiteral("\r[%1/%2] %3 → %4\x1b[K")
                            .arg(i + 1)
                            .arg(jobCount)
                            .arg(pictureOf(i), targetOf(i).name)
                     << Qt::flush;
            const int jobStatus = result.exitStatus();
            if (jobStatus == 1)
                err_ << (terminal_ && jobCount > 1 ? "\n" : "") << pictureOf(i) << " (" << targetOf(i).name
                     << "): " << result.summary() << "\n";
            else
                out_ << result.summary() << "\n" << Qt::flush;
            status = std::max(status, jobStatus == 1 ? 3 : jobStatus); // an error outranks a misfit
        });
    if (terminal_ && jobCount > 1)
        err_ << "\n";
    return status == 3 ? 1 : status;
}
