#include "InstanceChannel.h"

#include "Program.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <algorithm>

namespace {

// A request is one line of JSON; anything longer is no request of ours.
constexpr qint64 MaxRequestSize = 1 << 20;

} // namespace

QString ProgramInstanceSocketPath(const QString &name)
{
    QString path = ProgramInstanceLockPath(name);
    path.chop(QStringLiteral(".lock").size());
    return path + QStringLiteral(".socket");
}

QByteArray EncodeInstanceRequest(const TInstanceRequest &request)
{
    QJsonObject object;
    object[QStringLiteral("books")] = QJsonArray::fromStringList(request.Books);
    object[QStringLiteral("token")] = request.ActivationToken;
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

bool DecodeInstanceRequest(const QByteArray &line, TInstanceRequest &request)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(line.trimmed(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return false;
    const QJsonObject object = document.object();
    request = TInstanceRequest();
    for (const QJsonValue &book : object.value(QStringLiteral("books")).toArray())
        if (book.isString() && !book.toString().isEmpty())
            request.Books << book.toString();
    request.ActivationToken = object.value(QStringLiteral("token")).toString();
    return true;
}

TInstanceServer::TInstanceServer(QObject *parent) : QObject(parent) {}

TInstanceServer::~TInstanceServer() = default;

bool TInstanceServer::Listen(const QString &name)
{
    const QString path = ProgramInstanceSocketPath(name);
    QLocalServer::removeServer(path); // a crashed reader's socket
    Server = std::make_unique<QLocalServer>();
    Server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!Server->listen(path)) {
        Server.reset();
        return false;
    }
    connect(Server.get(), &QLocalServer::newConnection, this, &TInstanceServer::Accept);
    return true;
}

void TInstanceServer::Accept()
{
    while (QLocalSocket *socket = Server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > MaxRequestSize)
                    socket->abort();
                return;
            }
            TInstanceRequest request;
            const bool understood = DecodeInstanceRequest(socket->readLine(MaxRequestSize), request);
            socket->write(understood ? "ok\n" : "?\n");
            socket->flush();
            socket->disconnectFromServer();
            if (understood && OnRequest)
                OnRequest(request);
        });
    }
}

bool SendInstanceRequest(const QString &name, const TInstanceRequest &request, int timeoutMs)
{
    QElapsedTimer time;
    time.start();
    // A reader that has just taken the lock may not be listening yet.
    while (time.elapsed() < timeoutMs) {
        QLocalSocket socket;
        socket.connectToServer(ProgramInstanceSocketPath(name));
        if (socket.waitForConnected(int(std::max<qint64>(1, timeoutMs - time.elapsed())))) {
            socket.write(EncodeInstanceRequest(request));
            const int left = int(std::max<qint64>(1, timeoutMs - time.elapsed()));
            if (socket.waitForBytesWritten(left) && socket.waitForReadyRead(left))
                return socket.readLine().startsWith("ok");
            return false;
        }
        QThread::msleep(100);
    }
    return false;
}
