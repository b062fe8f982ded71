// A server program the test starts on 127.0.0.1 and stops again when it goes out of scope.
#pragma once

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

    // Starts the program and waits until something accepts connections at port.
    bool start(const QString& program, const QStringList& arguments, quint16 port);
    // Starts the program and reads the port from the first number it prints.
    bool startAndReadPort(const QString& program, const QStringList& arguments);

    quint16 port() const { return port_; }

  private:
    bool waitUntilListening();

    QProcess process_;
    quint16 port_ = 0;
};
