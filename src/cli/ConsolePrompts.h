#pragma once
// The desktop for the command-line tool: it asks nothing, since the command line has said it all,
// and collects the message boxes for the tool to report.
#include "foundation/InertPrompts.h"

#include <QtCore/QList>

class ConsolePrompts final : public InertPrompts
{
  public:
    struct Message
    {
        MessageKind kind;
        QString text;
    };

    QList<Message> messages;

    Answer message(MessageKind kind, const QString& text, MessageButtons buttons) override;

    // The error and warning texts shown since the last call, one per line.
    QString takeProblems();
};
