#include "app/RunningProgram.h"

#include <QtCore/QCryptographicHash>
#include <QtCore/QDataStream>
#include <QtCore/QDeadlineTimer>
#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QSet>
#include <QtCore/QThread>
#include <QtNetwork/QLocalSocket>

#include <cstdio>
#include <unistd.h>

namespace {

constexpr int answerWait = 5000;           // ms a running window may be busy before it answers
constexpr qint64 largestRequest = 1 << 16; // bytes: a few paths; more is not a start of ours
constexpr char accepted = 'k';

// The user's runtime folder is theirs alone; without one, the shared temporary folder with the
// user's id in the name (the socket itself is made for its owner only).
QString socketFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return runtime;
    return QDir::tempPath();
}

QString socketNameFor(const QString& workFolder)
{
    const QString canonical = QFileInfo(workFolder).canonicalFilePath();
    const QByteArray key = QCryptographicHash::hash(QFile::encodeName(canonical.isEmpty() ? workFolder : canonical),
                                                    QCryptographicHash::Sha256)
                               .toHex()
                               .left(16);
    return socketFolder() + QStringLiteral("/pictorel-%1-%2").arg(::getuid()).arg(QString::fromLatin1(key));
}

// The names this process answers on: its own window cannot answer while this thread waits for it.
QSet<QString>& answeredHere()
{
    static QSet<QString> names;
    return names;
}

QByteArray request(const QStringList& pictures)
{
    QStringList absolute;
    for (const QString& picture : pictures)
        absolute << QFileInfo(picture).absoluteFilePath();
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << absolute;
    return bytes;
}

} // namespace

RunningProgram::RunningProgram(const QString& workFolder, QObject* parent)
    : QObject(parent), name_(socketNameFor(workFolder))
{
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { receive(socket); });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            receive(socket);
        }
    });
}

RunningProgram::~RunningProgram()
{
    if (server_.isListening())
        answeredHere().remove(name_);
}

RunningProgram::HandOver RunningProgram::handOver(const QStringList& pictures, int patience) const
{
    if (answeredHere().contains(name_))
        return HandOver::NoAnswer;
    const QDeadlineTimer deadline(patience);
    for (;;) {
        QLocalSocket socket;
        socket.connectToServer(name_);
        if (socket.waitForConnected(answerWait)) {
            socket.write(request(pictures));
            while (socket.bytesAvailable() == 0 && socket.waitForReadyRead(answerWait)) {
            }
            return socket.read(1) == QByteArray(1, accepted) ? HandOver::Taken : HandOver::NoAnswer;
        }
        if (deadline.hasExpired())
            return HandOver::NoWindow;
        QThread::msleep(100);
    }
}

bool RunningProgram::listen()
{
    QLocalServer::removeServer(name_);
    if (server_.listen(name_)) {
        answeredHere().insert(name_);
        return true;
    }
    std::fprintf(stderr, "pictorel: cannot answer later starts on %s: %s\n", qPrintable(name_),
                 qPrintable(server_.errorString()));
    return false;
}

void RunningProgram::receive(QLocalSocket* socket)
{
    if (socket->bytesAvailable() > largestRequest) {
        socket->abort();
        return;
    }
    QDataStream in(socket);
    in.setVersion(QDataStream::Qt_6_0);
    in.startTransaction();
    QStringList pictures;
    in >> pictures;
    if (!in.commitTransaction()) {
        if (in.status() == QDataStream::ReadCorruptData)
            socket->abort();
        return; // otherwise the rest is still on its way
    }
    socket->write(&accepted, 1);
    socket->flush();
    socket->disconnectFromServer();
    emit opened(pictures);
}

#include "moc_RunningProgram.cpp"
