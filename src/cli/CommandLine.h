#pragma once
// A command's arguments, read once: the options in the order they stand, each with its value, and
// the pictures. "--name VALUE", "--name=VALUE" and "-o OUT" take values; "--" ends the options, so
// everything after it is a picture, even a name that starts with "-".
#include <QtCore/QStringList>

#include <optional>
#include <vector>

class CommandLine
{
  public:
    struct Option
    {
        QString name;
        QString value; // empty for a switch
    };

    // `valued` names the options that take a value, `switches` those that do not. On a fault,
    // nothing and `error` says why.
    static std::optional<CommandLine> read(const QStringList& arguments, const QStringList& valued,
                                           const QStringList& switches, QString* error);

    const std::vector<Option>& options() const { return options_; }
    const QStringList& positionalArguments() const { return positional_; }
    bool isSet(const QString& name) const;
    // The last value given, as the last word wins.
    QString value(const QString& name) const;
    QStringList values(const QString& name) const;

  private:
    std::vector<Option> options_;
    QStringList positional_;
};
