#pragma once
// What a long operation reports to the progress dialog.
#include <QtCore/QString>

class Progress
{
  public:
    virtual ~Progress() = default;
    virtual void BeginProgress(int steps) = 0;
    // Sets the bar and the message and repaints at once: the work runs on the interface thread.
    virtual void ProgressStep(int position, const QString& message) = 0;
    virtual void EndProgress() = 0;
};

// Progress that goes nowhere, for work run without a dialog.
class NullProgress final : public Progress
{
  public:
    void BeginProgress(int) override {}
    void ProgressStep(int, const QString&) override {}
    void EndProgress() override {}
};

// Ends the progress on every path out of an operation.
class ProgressScope
{
  public:
    ProgressScope(Progress& progress, int steps) : progress_(progress) { progress_.BeginProgress(steps); }
    ~ProgressScope() { progress_.EndProgress(); }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;
    void step(int position, const QString& message) { progress_.ProgressStep(position, message); }

  private:
    Progress& progress_;
};
