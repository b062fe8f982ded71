#pragma once
// The program's application object. Every event, and so every handler a signal reaches from one, is
// delivered inside one guard: an error that escapes a handler is shown in an error box with its
// text and the program goes on. No exception crosses the event loop.
#include <QtWidgets/QApplication>

#include <exception>

class Prompts;

class GuardedApplication : public QApplication
{
  public:
    GuardedApplication(int& argc, char** argv);

    // Where escaped errors are shown; without prompts they go to standard error. `prompts` must
    // outlive the events delivered while it is set.
    void setPrompts(Prompts* prompts) { prompts_ = prompts; }

    bool notify(QObject* receiver, QEvent* event) override;

  private:
    void report(std::exception_ptr error);

    Prompts* prompts_ = nullptr;
};
