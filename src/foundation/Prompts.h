#pragma once
// The one seam between the program and the desktop: message boxes, common dialogs, the browser,
// live input state and the busy cursor. The program uses QtPrompts; tests script the answers.
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtGui/QColor>
#include <QtGui/QFont>
#include <optional>

enum class MessageKind { Warning, Error, Information };
enum class MessageButtons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

// Captions of the three message kinds.
QString messageCaption(MessageKind kind);

struct FileDialogRequest
{
    QString title;
    QString folder;        // initial folder
    QString filter;        // "説明|*.a;*.b|説明2|*.c" as the classic filter string
    int filterIndex = 1;   // 1-based row of the filter
    QString defaultSuffix; // added to a name typed without an extension
    bool confirmOverwrite = true;
};

class Prompts
{
  public:
    virtual ~Prompts() = default;

    virtual Answer message(MessageKind kind, const QString& text, MessageButtons buttons = MessageButtons::Ok) = 0;
    // An empty result means the user cancelled.
    virtual QString openFileName(const FileDialogRequest& request) = 0;
    // chosenFilter, when given, receives the 1-based filter row the user left selected.
    virtual QString saveFileName(const FileDialogRequest& request, int* chosenFilter = nullptr) = 0;
    virtual std::optional<QColor> chooseColor(const QColor& initial) = 0;
    virtual std::optional<QFont> chooseFont(const QFont& initial, QColor* color) = 0;
    virtual void openUrl(const QString& address) = 0;

    virtual bool shiftDown() const = 0;
    virtual bool leftButtonDown() const = 0;
    virtual int screenDepth() const = 0;

    // The busy (hourglass) cursor; nests. Message boxes are shown with the normal cursor.
    virtual void beginBusy() = 0;
    virtual void endBusy() = 0;
};

// Shows the busy cursor for the life of the guard.
class BusyCursor
{
  public:
    explicit BusyCursor(Prompts& prompts) : prompts_(prompts) { prompts_.beginBusy(); }
    ~BusyCursor() { prompts_.endBusy(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

  private:
    Prompts& prompts_;
};
