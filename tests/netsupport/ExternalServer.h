// A server program the test starts on 127.0.0.1 and stops again when it goes out of scope.
#pragma once

#include <functional>

#include <QtCore/QProcess>
#include <QtCore/QString>
#include <QtCore/QStringList>

class ExternalServer
{
  public:
    ~ExternalServer();

    static bool installed(const QString& program);
    // A port nobody listens on right now.
    static quint16 freePort();

    // Starts the program on a free port, which arguments() puts on its command line, and waits
    // until it accepts connections; a port taken meanwhile by another test means another try.
    bool startOnFreePort(const QString& program, const std::function<QStringList(quint16)>& arguments);
    // Starts the program and reads the port from the first number it prints.
    bool startAndReadPort(const QString& program, const QStringList& arguments);

    quint16 port() const { return port_; }

  private:
    bool waitUntilListening();

    QProcess process_;
    quint16 port_ = 0;
};
