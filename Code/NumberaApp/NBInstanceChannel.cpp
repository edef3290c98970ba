#include "NBInstanceChannel.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QUrl>

#include "Diagnostics.h"

namespace {

constexpr qint64 kMaximumMessageSize = 1 << 20;

}  // namespace

QString NBInstanceChannel::serverNameForDataFolder(const QString& dataFolder) {
    const QByteArray digest =
        QCryptographicHash::hash(QFileInfo(dataFolder).absoluteFilePath().toUtf8(),
                                 QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    return QStringLiteral("numbera-%1-%2").arg(::getuid()).arg(QString::fromLatin1(digest));
}

NBInstanceChannel::NBInstanceChannel(QString serverName, QObject* parent)
    : QObject(parent), m_serverName(std::move(serverName)) {}

NBInstanceChannel::~NBInstanceChannel() {
    if (m_server) m_server->close();
}

QStringList NBInstanceChannel::messageLinesForArguments(const QStringList& arguments) {
    QStringList lines;
    for (const QString& argument : arguments) {
        if (argument.isEmpty() || argument.contains('\n')) continue;
        const QUrl url(argument);
        if (url.scheme() == QLatin1String("numbera")) {
            lines << QStringLiteral("url ") + argument;
        } else if (url.isLocalFile()) {
            lines << QStringLiteral("open ") + url.toLocalFile();
        } else if (!argument.startsWith('-')) {
            lines << QStringLiteral("open ") + QFileInfo(argument).absoluteFilePath();
        }
    }
    if (lines.isEmpty()) lines << QStringLiteral("activate");
    return lines;
}

bool NBInstanceChannel::forwardToRunningInstance(const QStringList& arguments, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(timeoutMs)) return false;
    const QByteArray message = messageLinesForArguments(arguments).join('\n').toUtf8() + '\n';
    socket.write(message);
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(timeoutMs);
    return true;
}

bool NBInstanceChannel::listen() {
    if (m_server && m_server->isListening()) return true;
    delete m_server;
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_serverName)) {
        // Nobody answers on a name that is taken: a crashed instance left its socket.
        if (anotherInstanceAnswers()) {
            Diagnostics::error("Another instance is running for this data folder");
            return false;
        }
        QLocalServer::removeServer(m_serverName);
        if (!m_server->listen(m_serverName)) {
            Diagnostics::error("Cannot listen for other instances: " +
                               m_server->errorString().toStdString());
            return false;
        }
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->bytesAvailable() > kMaximumMessageSize) {
                    Diagnostics::error("Ignored an oversized message from another instance");
                    socket->abort();
                    return;
                }
                while (socket->canReadLine())
                    handleLine(QString::fromUtf8(socket->readLine()).trimmed());
            });
        }
    });
    return true;
}

bool NBInstanceChannel::isListening() const { return m_server && m_server->isListening(); }

bool NBInstanceChannel::anotherInstanceAnswers(int timeoutMs) const {
    QLocalSocket probe;
    probe.connectToServer(m_serverName);
    return probe.waitForConnected(timeoutMs);
}

void NBInstanceChannel::handleLine(const QString& line) {
    if (line.startsWith(QLatin1String("url "))) {
        emit urlReceived(line.mid(4));
    } else if (line.startsWith(QLatin1String("open "))) {
        emit fileReceived(line.mid(5));
    } else if (line == QLatin1String("activate")) {
        emit activationRequested();
    } else if (!line.isEmpty()) {
        Diagnostics::error("Ignored an unknown message from another instance");
    }
}
