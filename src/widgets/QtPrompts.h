#pragma once
#include "foundation/Prompts.h"

#include <functional>

class QWidget;

// Prompts on the real desktop: Qt message boxes, file, colour and font dialogs, the default browser.
class QtPrompts final : public Prompts
{
  public:
    // The window boxes and dialogs are centred on, asked at every box (none yet during start-up).
    void setDialogOwner(std::function<QWidget*()> owner) { owner_ = std::move(owner); }

    Answer message(MessageKind kind, const QString& text, MessageButtons buttons) override;
    QString openFileName(const FileDialogRequest& request) override;
    QString saveFileName(const FileDialogRequest& request, int* chosenFilter) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;
    std::optional<QFont> chooseFont(const QFont& initial, QColor* color) override;
    void openUrl(const QString& address) override;

    bool shiftDown() const override;
    bool leftButtonDown() const override;
    int screenDepth() const override;

    void beginBusy() override;
    void endBusy() override;

  private:
    QWidget* owner() const { return owner_ ? owner_() : nullptr; }

    std::function<QWidget*()> owner_;
    int busyDepth_ = 0;
};

// "JPEG形式|*.jpg;*.jpeg|GIF形式|*.gif" -> Qt's "JPEG形式 (*.jpg *.jpeg);;GIF形式 (*.gif)".
QStringList qtFilterRows(const QString& classicFilter);
