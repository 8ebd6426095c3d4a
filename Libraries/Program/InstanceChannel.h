// What a second start of the reader hands to the running one: the books it
// was given and the desktop's activation token, through a local socket
// beside the instance lock. The lock decides which process is the reader;
// the reader's end replaces the socket a crashed reader left behind.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QLocalServer;

struct TInstanceRequest {
    QStringList Books; // full paths; none: only come to the front
    QString ActivationToken; // XDG_ACTIVATION_TOKEN (Wayland) or DESKTOP_STARTUP_ID (X11) of the start
};

// The socket of a name, beside its instance lock.
QString ProgramInstanceSocketPath(const QString &name);

// The request as the line sent over the socket, and back.
QByteArray EncodeInstanceRequest(const TInstanceRequest &request);
bool DecodeInstanceRequest(const QByteArray &line, TInstanceRequest &request);

// The running reader's end.
class TInstanceServer : public QObject {
    Q_OBJECT
public:
    explicit TInstanceServer(QObject *parent = nullptr);
    ~TInstanceServer() override;
    TInstanceServer(const TInstanceServer &) = delete;
    TInstanceServer &operator=(const TInstanceServer &) = delete;

    // Listens on the name's socket (a stale one is removed: only the holder
    // of the instance lock calls this). False when it cannot.
    bool Listen(const QString &name);
    // Called in the server's thread for each whole request.
    std::function<void(const TInstanceRequest &request)> OnRequest;

private:
    void Accept();
    std::unique_ptr<QLocalServer> Server;
};

// The second start's end: sends the request and waits for the reader's
// answer; false when no reader answered within the time.
bool SendInstanceRequest(const QString &name, const TInstanceRequest &request, int timeoutMs = 3000);
