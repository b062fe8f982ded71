#include "cli/ConsolePrompts.h"

Answer ConsolePrompts::message(MessageKind kind, const QString& text, MessageButtons buttons)
{
    messages.push_back({kind, text});
    // Questions get the answer that lets the work go on.
    return buttons == MessageButtons::Ok ? Answer::Ok : Answer::Yes;
}

QString ConsolePrompts::takeProblems()
{
    QStringList lines;
    for (const Message& m : std::as_const(messages))
        if (m.kind != MessageKind::Information)
            lines << m.text;
    messages.clear();
    return lines.join(QLatin1Char('\n'));
}
