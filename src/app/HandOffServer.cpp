#include "app/HandOffServer.h"

#include <QLocalSocket>

#include "app/SingleInstance.h"

THandOffServer::THandOffServer(QObject* parent) : QObject(parent) {
    m_Server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_Server, &QLocalServer::newConnection, this, &THandOffServer::Accept);
}

bool THandOffServer::Listen(const std::filesystem::path& socketName) {
    return m_Server.listen(QString::fromStdString(socketName.string()));
}

void THandOffServer::Close() {
    m_Server.close();
}

void THandOffServer::Accept() {
    while (QLocalSocket* peer = m_Server.nextPendingConnection()) {
        connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        if (!PeerIsThisUser(static_cast<int>(peer->socketDescriptor()))) {
            peer->abort();
            peer->deleteLater();
            continue;
        }
        connect(peer, &QLocalSocket::readyRead, this, [this, peer] { Read(*peer); });
        if (peer->bytesAvailable() > 0) Read(*peer);
    }
}

void THandOffServer::Read(QLocalSocket& peer) {
    while (peer.bytesAvailable() >= static_cast<qint64>(TFileHandOff::Size)) {
        const QByteArray bytes = peer.read(TFileHandOff::Size);
        const auto record = TFileHandOff::Decode(reinterpret_cast<const unsigned char*>(bytes.constData()));
        const bool taken = record && OnHandOff && OnHandOff(*record);
        peer.write(taken ? "\1" : "\0", 1);
        peer.flush();
    }
}
