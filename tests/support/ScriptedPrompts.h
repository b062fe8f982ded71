#pragma once
// The desktop as a test scripts it: message boxes are recorded and answered from a queue, dialogs
// answer from their own queues, and the live input state is whatever the test sets.
#include "foundation/Prompts.h"

#include <QtCore/QQueue>
#include <QtCore/QVector>

struct ShownMessage
{
    MessageKind kind;
    QString text;
    MessageButtons buttons;
};

class ScriptedPrompts final : public Prompts
{
  public:
    QQueue<Answer> answers;        // for Yes/No boxes; empty queue answers Yes
    QQueue<QString> openFileNames; // empty queue = cancelled
    QQueue<QString> saveFileNames; // empty queue = cancelled
    QQueue<int> saveFilterRows;    // the filter row chosen; empty queue = the preselected row
    QQueue<std::optional<QColor>> colors;
    QQueue<std::optional<QFont>> fonts;
    QVector<ShownMessage> shown;
    QVector<FileDialogRequest> fileRequests;
    QStringList openedUrls;
    bool shift = false;
    bool leftButton = false;
    int depth = 24;
    int busyDepth = 0;

    Answer message(MessageKind kind, const QString& text, MessageButtons buttons) override;
    QString openFileName(const FileDialogRequest& request) override;
    QString saveFileName(const FileDialogRequest& request, int* chosenFilter) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;
    std::optional<QFont> chooseFont(const QFont& initial, QColor* color) override;
    void openUrl(const QString& address) override { openedUrls << address; }
    bool shiftDown() const override { return shift; }
    bool leftButtonDown() const override { return leftButton; }
    int screenDepth() const override { return depth; }
    void beginBusy() override { ++busyDepth; }
    void endBusy() override { --busyDepth; }

    QStringList texts() const;
};
