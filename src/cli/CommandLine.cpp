#include "cli/CommandLine.h"

#include <algorithm>

std::optional<CommandLine> CommandLine::read(const QStringList& arguments, const QStringList& valued,
                                             const QStringList& switches, QString* error)
{
    CommandLine line;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--")) {
            line.positional_ += arguments.mid(i + 1);
            break;
        }
        if (!argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            line.positional_ << argument;
            continue;
        }
        // "--name", "--name=VALUE"; a single dash takes a one-letter name: "-o OUT", "-oOUT".
        const bool longForm = argument.startsWith(QLatin1String("--"));
        const qsizetype equals = longForm ? argument.indexOf(QLatin1Char('=')) : -1;
        const QString name = longForm ? argument.mid(2, equals < 0 ? -1 : equals - 2) : argument.mid(1, 1);
        std::optional<QString> inlineValue;
        if (equals >= 0)
            inlineValue = argument.mid(equals + 1);
        else if (!longForm && argument.size() > 2)
            inlineValue = argument.mid(2);
        if (switches.contains(name)) {
            if (inlineValue) {
                *error = QStringLiteral("'%1' takes no value").arg(argument);
                return std::nullopt;
            }
            line.options_.push_back({name, QString()});
        } else if (valued.contains(name)) {
            if (!inlineValue && i + 1 >= arguments.size()) {
                *error = QStringLiteral("'%1' needs a value").arg(argument);
                return std::nullopt;
            }
            line.options_.push_back({name, inlineValue ? *inlineValue : arguments[++i]});
        } else {
            *error = QStringLiteral("unknown option '%1'; see --help").arg(argument);
            return std::nullopt;
        }
    }
    return line;
}

bool CommandLine::isSet(const QString& name) const
{
    return std::any_of(options_.begin(), options_.end(), [&name](const Option& o) { return o.name == name; });
}

QString CommandLine::value(const QString& name) const
{
    const QStringList all = values(name);
    return all.isEmpty() ? QString() : all.constLast();
}

QStringList CommandLine::values(const QString& name) const
{
    QStringList found;
    for (const Option& o : options_)
        if (o.name == name)
            found << o.value;
    return found;
}
