#include "cli/CliCommand.h"

#include "catalogue/LoadCatalogue.h"
#include "catalogue/ModelCatalogue.h"
#include "cli/ArgumentPaths.h"
#include "cli/BatchRunner.h"
#include "cli/CalendarOptions.h"
#include "cli/OptionValues.h"
#include "cli/StandbyMaker.h"
#include "cli/TextOptions.h"
#include "foundation/FileKind.h"
#include "foundation/IniFile.h"
#include "foundation/NumericRule.h"
#include "foundation/OptionsSettings.h"
#include "foundation/ProgramFolders.h"

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

FileFormat fileFormatOf(SaveFormatChoice format)
{
    const FileFormat formats[] = {FileFormat::Jpeg, FileFormat::Gif, FileFormat::Png, FileFormat::Bmp};
    return formats[int(format)];
}

// One file's format is its extension's; --format, when given, must say the same or name a file
// without an extension.
std::optional<FileFormat> singleFileFormat(const QString& out, const CommandLine& p, SaveFormatChoice chosen,
                                           QString* error)
{
    const std::optional<FileFormat> named = SaveCommand::formatOfExtension(out);
    const bool formatGiven = p.isSet(QStringLiteral("format"));
    if (named && formatGiven && *named != fileFormatOf(chosen))
        *error = QStringLiteral("--format %1 does not match the extension of %2")
                     .arg(p.value(QStringLiteral("format")), out);
    else if (!named && !formatGiven)
        *error = QStringLiteral("%1 has no extension .jpg, .jpeg, .gif, .png or .bmp; give one or --format").arg(out);
    else
        return named ? *named : fileFormatOf(chosen);
    return std::nullopt;
}

// Catalogue names may hold brackets, spaces or slashes; file names get a safe form of them.
QString safeName(const QString& name)
{
    QString safe = name;
    safe.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|\\s]+")), QStringLiteral("_"));
    return safe;
}

// PICTURE_MODEL.EXT for every job in order, PICTURE with the bytes of the picture's own name; a name taken by an
// earlier job gets "-2", "-3", ... before the extension, so a batch never writes one file twice.
QStringList batchFileNames(const QStringList& pictures, const QList<MakeTarget>& targets, const QString& extension)
{
    QStringList names;
    QSet<QString> taken;
    for (const QString& picture : pictures) {
        for (const MakeTarget& target : targets) {
            const QString stem = QStringLiteral("%1_%2").arg(ArgumentPaths::baseName(picture), safeName(target.name));
            QString name = stem + QLatin1Char('.') + extension;
            for (int n = 2; taken.contains(name); ++n)
                name = QStringLiteral("%1-%2.%3").arg(stem).arg(n).arg(extension);
            taken.insert(name);
            names << name;
        }
    }
    return names;
}

// Only a regular file is ever written: a device or a FIFO in the output's place is refused, and
// nothing is made beside it.
QString outputRefusal(const QString& path)
{
    if (!FileKind::isSpecial(path))
        return {};
    return ArgumentPaths::isFolder(path)
               ? QStringLiteral("%1 is a folder; nothing was written").arg(path)
               : QStringLiteral("%1 is not a regular file (a device or a FIFO); nothing was written").arg(path);
}

// The catalogue named by --catalogue, or else the program's own, read as the window reads it.
std::optional<ModelCatalogue> loadCatalogue(const CommandLine& p, const QString& programFolder, QString* error)
{
    const ProgramFolders folders = ProgramFolders::forProgram(programFolder);
    const bool named = p.isSet(QStringLiteral("catalogue"));
    const ReadablePath file(named ? p.value(QStringLiteral("catalogue"))
                                  : folders.catalogueToRead(ModelCatalogue::fileName()));
    ModelCatalogue catalogue;
    try {
        if (named ? catalogue.load(file.path()) : readProgramCatalogue(catalogue, folders))
            return catalogue;
        *error = QStringLiteral("catalogue %1 not found").arg(file.given());
    } catch (const ProgramError& e) {
        *error = file.named(e.text());
    }
    return std::nullopt;
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
               "One OUT file is written in the format its extension names; --format, when given, must agree.\n"
               "With several pictures or --all-models, OUT is a folder and the files are named PICTURE_MODEL.EXT;\n"
               "a name an earlier file of the batch already has gets -2, -3, ... before the extension.\n"
               "Each --calendar puts that month's calendar with its top-left corner at X,Y on a layer of its own,\n"
               "in command-line order; --calendar-settings reads a Calender.ini, otherwise its defaults apply.\n"
               "Everything after -- is a picture, even a name that starts with -.\n"
               "Exit status: 0 every file fits, 2 a file was written but does not fit, 1 an error.\n"
               "\n"
               "Examples:\n"
               "  pictorel-cli models\n"
               "  pictorel-cli make photo.jpg --model F900i -o wallpaper.jpg\n"
               "  pictorel-cli make photo.jpg --size 240x320 --limit 20480 --op sepia --op mosaic:6 -o small.png\n"
               "  pictorel-cli make holiday/*.jpg --all-models DoCoMo --format jpeg -o out/\n")
        .arg(OptionValues::operationNames().join(QStringLiteral(", ")), TextOptions::usage());
}

namespace {

QStringList makeOptions()
{
    QStringList names{QStringLiteral("model"),      QStringLiteral("size"),      QStringLiteral("limit"),
                      QStringLiteral("all-models"), QStringLiteral("catalogue"), QStringLiteral("fit"),
                      QStringLiteral("offset"),     QStringLiteral("place"),     QStringLiteral("margin"),
                      QStringLiteral("op"),         QStringLiteral("format"),    QStringLiteral("settings"),
                      QStringLiteral("stamp"),      QStringLiteral("frame"),     QStringLiteral("o")};
    return names + CalendarOptions::optionNames() + TextOptions::optionNames();
}

} // namespace

CliCommand::Invocation CliCommand::read(const QStringList& arguments)
{
    Invocation invocation;
    invocation.command = arguments.value(1);
    const QStringList rest = arguments.mid(2);
    std::optional<CommandLine> line;
    if (invocation.command == QLatin1String("models"))
        line = CommandLine::read(rest, {QStringLiteral("catalogue")}, {}, &invocation.error);
    else if (invocation.command == QLatin1String("make"))
        line = CommandLine::read(rest, makeOptions(), {QStringLiteral("keep-aspect")}, &invocation.error);
    if (line)
        invocation.line = std::move(*line);
    return invocation;
}

bool CliCommand::drawsText(const Invocation& invocation)
{
    const CommandLine& line = invocation.line;
    return invocation.command == QLatin1String("make") &&
           (line.isSet(QStringLiteral("text")) || line.isSet(QStringLiteral("calendar")));
}

int CliCommand::run(const QStringList& arguments)
{
    return run(read(arguments));
}

int CliCommand::run(const Invocation& invocation)
{
    const QString& command = invocation.command;
    if (command == QLatin1String("--help") || command == QLatin1String("-h") || command.isEmpty()) {
        out_ << helpText();
        return command.isEmpty() ? 1 : 0;
    }
    if (command == QLatin1String("--version")) {
        out_ << "pictorel-cli " << PICTOREL_VERSION << "\n";
        return 0;
    }
    if (command != QLatin1String("models") && command != QLatin1String("make")) {
        err_ << "unknown command '" << command << "'; see --help\n";
        return 1;
    }
    if (!invocation.error.isEmpty()) {
        err_ << invocation.error << "\n";
        return 1;
    }
    return command == QLatin1String("models") ? runModels(invocation.line) : runMake(invocation.line);
}

int CliCommand::runModels(const CommandLine& parser)
{
    if (!parser.positionalArguments().isEmpty()) {
        err_ << "models takes no pictures; see --help\n";
        return 1;
    }
    QString error;
    const std::optional<ModelCatalogue> catalogue = loadCatalogue(parser, programFolder_, &error);
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

// Everything the options say, checked; an error text on the first fault.
QString readRequest(const CommandLine& p, const QString& programFolder, MakeRequest& r)
{
    r.pictures = p.positionalArguments();
    if (r.pictures.isEmpty())
        return QStringLiteral("no picture given");
    r.out = p.value(QStringLiteral("o"));
    if (r.out.isEmpty())
        return QStringLiteral("no output given (-o OUT)");
    if (p.isSet(QStringLiteral("settings"))) {
        const ReadablePath settings(p.value(QStringLiteral("settings")));
        if (!QFileInfo(settings.path()).isFile())
            return QStringLiteral("settings file %1 not found").arg(settings.given());
        OptionsSettings::read(IniFile(settings.path()), r.options);
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
    ProgramOptions probe = r.options;
    for (const QString& op : std::as_const(r.choices.operations)) {
        int id = 0;
        QString error;
        if (!OptionValues::operation(op, probe, &id, &error))
            return error;
    }

    const int targetKinds = int(p.isSet(QStringLiteral("model"))) + int(p.isSet(QStringLiteral("size"))) +
                            int(p.isSet(QStringLiteral("all-models")));
    if (targetKinds != 1)
        return QStringLiteral("give exactly one of --model, --size with --limit, --all-models");
    if (p.isSet(QStringLiteral("size"))) {
        const std::optional<QSize> size = OptionValues::screenSize(p.value(QStringLiteral("size")));
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
    const std::optional<ModelCatalogue> catalogue = loadCatalogue(p, programFolder, &error);
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

} // namespace

int CliCommand::runMake(const CommandLine& parser)
{
    MakeRequest request;
    QString error = readRequest(parser, programFolder_, request);
    if (error.isEmpty())
        request.choices.layers = DecorationArguments::read(parser, programFolder_, &error);
    if (!error.isEmpty()) {
        err_ << error << "\n";
        return 1;
    }
    // A missing face is not fatal, as in the program, but the user learns which face is used.
    const std::pair<const char*, const char*> fonts[] = {{"text", "font"}, {"calendar", "calendar-font"}};
    for (const auto& [drawn, font] : fonts)
        if (parser.isSet(QLatin1String(drawn)) && parser.isSet(QLatin1String(font)))
            if (const QString note =
                    TextOptions::missingFontNote(parser.value(QLatin1String(font)).section(QLatin1Char(':'), 0, 0));
                !note.isEmpty())
                err_ << "note: " << note << "\n";
    const qsizetype jobCount = request.pictures.size() * request.targets.size();
    const bool intoFolder =
        jobCount > 1 || ArgumentPaths::isFolder(request.out) || request.out.endsWith(QLatin1Char('/'));
    if (intoFolder && !ArgumentPaths::makeFolders(request.out)) {
        err_ << "cannot create the folder " << request.out << "\n";
        return 1;
    }
    std::optional<FileFormat> format = fileFormatOf(request.options.saveFormat);
    if (!intoFolder && (error = outputRefusal(request.out)).isEmpty())
        format = singleFileFormat(request.out, parser, request.options.saveFormat, &error);
    if (!format || !error.isEmpty()) {
        err_ << error << "\n";
        return 1;
    }
    const StandbyMaker maker(request.options, programFolder_);
    const QStringList names =
        intoFolder ? batchFileNames(request.pictures, request.targets, extensionOf(request.options.saveFormat))
                   : QStringList();
    const qsizetype targetCount = request.targets.size();
    const auto pictureOf = [&](int i) -> const QString& { return request.pictures.at(i / targetCount); };
    const auto targetOf = [&](int i) -> const MakeTarget& { return request.targets.at(i % targetCount); };
    const auto outOf = [&](int i) { return intoFolder ? ArgumentPaths::join(request.out, names.at(i)) : request.out; };
    // Pictures alone are independent; text and calendars share the font machinery, so they keep to one thread.
    const int threads = request.choices.layers.empty() ? BatchRunner::threadsFor(int(jobCount)) : 1;
    int status = 0;
    BatchRunner::run<MakeResult>(
        int(jobCount), threads,
        [&](int i) {
            const QString out = outOf(i);
            if (const QString refusal = outputRefusal(out); !refusal.isEmpty())
                return MakeResult{refusal, std::nullopt, targetOf(i).sizeLimit};
            const ReadablePath picture(pictureOf(i));
            MakeResult result = maker.make(picture.path(), targetOf(i), request.choices, out, *format);
            result.error = picture.named(result.error);
            return result;
        },
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
