// Blocks the caller in a nested event loop until a condition holds, the deadline passes or the
// application quits. The window keeps painting and accepting input meanwhile.
#pragma once

#include <chrono>
#include <functional>

#include <QtCore/QEventLoop>
#include <QtCore/QObject>
#include <QtCore/QTimer>

class QAbstractSocket;
class QTcpServer;

class EventWait : public QObject
{
  public:
    enum class Outcome { Done, TimedOut, Aborted };

    explicit EventWait(std::chrono::milliseconds limit);

    // Every signal of a watched object makes the wait look at its condition again.
    void watch(QAbstractSocket* socket);
    void watch(QTcpServer* server);

    // Progress: the deadline of the running wait moves to a full limit from now.
    void restart();

    // Runs the event loop until done() is true; the deadline starts a full limit from now.
    Outcome until(const std::function<bool()>& done);

    std::chrono::milliseconds limit() const { return limit_; }
    void setLimit(std::chrono::milliseconds limit) { limit_ = limit; }

    // Makes the running wait look at its condition again, for sources that are not watched.
    void wake();

  private:
    std::chrono::milliseconds limit_;
    QEventLoop loop_;
    QTimer deadline_;
    const std::function<bool()>* done_ = nullptr;
    bool expired_ = false;
    bool satisfied_ = false;
};
