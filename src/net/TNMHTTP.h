// Fetches one http address into a file, directly or through an HTTP proxy. Get() blocks in a
// nested event loop, so the window keeps working, and reports the outcome through one of three
// callbacks; a request that gets no usable answer raises NetError.
#pragma once

#include <functional>

#include <QtCore/QDeadlineTimer>
#include <QtCore/QString>

#include "net/EventWait.h"
#include "net/HttpUrl.h"

class HttpResponseHead;
class QHostAddress;
class QTcpSocket;

class TNMHTTP
{
  public:
    static constexpr int kMaxRedirects = 5;

    QString Proxy() const { return proxy_; }
    void SetProxy(const QString& proxy) { proxy_ = proxy.trimmed(); }
    quint16 ProxyPort() const { return proxyPort_; }
    void SetProxyPort(quint16 port) { proxyPort_ = port; }
    QString Body() const { return body_; }
    void SetBody(const QString& path) { body_ = path; }
    // True: the answer's body goes to the file named by Body; false: it is read and dropped.
    bool InputFileMode() const { return inputFileMode_; }
    void SetInputFileMode(bool toFile) { inputFileMode_ = toFile; }
    // Milliseconds the whole request may take, redirects included.
    qint32 TimeOut() const { return timeOut_; }
    void SetTimeOut(qint32 milliseconds) { timeOut_ = milliseconds; }
    // The largest body accepted, in bytes; a longer answer fails the request. Negative: no cap.
    qint64 MaxBodyBytes() const { return maxBodyBytes_; }
    void SetMaxBodyBytes(qint64 bytes) { maxBodyBytes_ = bytes; }
    int ReportLevel() const { return reportLevel_; }
    void SetReportLevel(int level) { reportLevel_ = level; }

    std::function<void()> OnSuccess;
    std::function<void()> OnFailure;
    std::function<void()> OnConnectionFailed;

    void Get(const QString& url);

    // The status of the last answer read, 0 when its status line was not understood.
    int StatusCode() const { return statusCode_; }

  private:
    struct Answer
    {
        int status = 0;
        QString location;
        bool valid = false; // the status line was "HTTP/1.x NNN"
    };

    void follow(HttpUrl url);
    Answer fetch(const HttpUrl& url);
    QHostAddress resolve(const QString& host, EventWait& wait);
    EventWait::Outcome waitUntil(EventWait& wait, const std::function<bool()>& done);
    void open(QTcpSocket& socket, EventWait& wait, const QHostAddress& address, quint16 port);
    void readHead(QTcpSocket& socket, EventWait& wait, HttpResponseHead& head, QByteArray& buffer);
    void readBody(QTcpSocket& socket, EventWait& wait, const HttpResponseHead& head, QByteArray& buffer);
    void receiveBody(QTcpSocket& socket, EventWait& wait, const HttpResponseHead& head, QByteArray& buffer,
                     const std::function<void(const char*, qint64)>& store);
    void raise(const std::function<void()>& event);

    QString proxy_;
    quint16 proxyPort_ = 0;
    QString body_;
    bool inputFileMode_ = true;
    qint32 timeOut_ = 300000;
    qint64 maxBodyBytes_ = -1;
    int reportLevel_ = 0;
    int statusCode_ = 0;
    bool busy_ = false;
    QDeadlineTimer deadline_;
};
