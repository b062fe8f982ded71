#pragma once
// One window per user and working folder. A later start of the program hands the pictures it was
// given to the window already running, which opens them as a drop and comes to the front, and then
// ends. The two meet on a local socket in the user's runtime folder, named after the working
// folder, which the folder lock guards: whoever holds the lock answers on the socket.
#include <QtCore/QObject>
#include <QtCore/QStringList>
#include <QtNetwork/QLocalServer>

class RunningProgram : public QObject
{
    Q_OBJECT
  public:
    explicit RunningProgram(const QString& workFolder, QObject* parent = nullptr);
    ~RunningProgram() override;

    enum class HandOver {
        Taken,    // the running window took the pictures (none: it only came forward)
        NoWindow, // nothing listens
        NoAnswer, // a window listens but did not answer in time
    };
    // Tries for up to `patience` milliseconds while nothing listens: a window that holds the
    // folder may be starting still.
    HandOver handOver(const QStringList& pictures, int patience = 0) const;
    // Answers later starts; only for the holder of the folder lock, which makes any socket left
    // by a program that ended abnormally its own to replace.
    bool listen();

    const QString& socketName() const { return name_; }

  signals:
    // Pictures a later start was given, with absolute paths; empty when it was given none.
    void opened(const QStringList& pictures);

  private:
    void receive(class QLocalSocket* socket);

    QString name_;
    QLocalServer server_;
};
