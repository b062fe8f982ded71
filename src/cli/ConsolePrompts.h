#pragma once
// The desktop for the command-line tool: dialogs answer from what the command line said, and
// message boxes are collected for the tool to report.
#include "foundation/InertPrompts.h"

#include <QtCore/QQueue>

class ConsolePrompts final : public InertPrompts
{
  public:
    struct Message
    {
        MessageKind kind;
        QString text;
    };

    QQueue<QString> openFileNames;
    QQueue<QString> saveFileNames;
    QList<Message> messages;
    bool shift = false; // held while a stamp is dragged in proportion

    bool shiftDown() const override { return shift; }

    Answer message(MessageKind kind, const QString& text, MessageButtons buttons) override;
    QString openFileName(const FileDialogRequest&) override { return take(openFileNames); }
    QString saveFileName(const FileDialogRequest&, int*) override { return take(saveFileNames); }

    // The error and warning texts shown since the last call, one per line.
    QString takeProblems();

  private:
    static QString take(QQueue<QString>& queue) { return queue.isEmpty() ? QString() : queue.dequeue(); }
};
