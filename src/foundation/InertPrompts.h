#pragma once
// A desktop that answers nothing: every dialog is cancelled, every question gets its first answer,
// no key or button is down. Front ends without a window build on it.
#include "foundation/Prompts.h"

class InertPrompts : public Prompts
{
  public:
    Answer message(MessageKind, const QString&, MessageButtons buttons) override
    {
        return buttons == MessageButtons::Ok ? Answer::Ok : Answer::Yes;
    }
    QString openFileName(const FileDialogRequest&) override { return {}; }
    QString saveFileName(const FileDialogRequest&, int*) override { return {}; }
    std::optional<QColor> chooseColor(const QColor&) override { return std::nullopt; }
    std::optional<QFont> chooseFont(const QFont&, QColor*) override { return std::nullopt; }
    void openUrl(const QString&) override {}
    bool shiftDown() const override { return false; }
    bool leftButtonDown() const override { return false; }
    int screenDepth() const override { return 24; }
    void beginBusy() override {}
    void endBusy() override {}
};
