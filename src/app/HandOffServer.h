#pragma once

#include <filesystem>
#include <functional>

#include <QLocalServer>

#include "app/FileHandOff.h"

class QLocalSocket;

// The running instance's end of the hand-off: it listens at a socket in the user's private folder,
// takes records only from peers of the same user, and answers each with one byte, 1 when the file
// was taken.
class THandOffServer : public QObject {
    Q_OBJECT
public:
    explicit THandOffServer(QObject* parent = nullptr);

    // Listens at `socketName`, whose folder the caller made private; the socket itself is the user's
    // alone (mode 0700). False when another server listens there or the socket cannot be made.
    bool Listen(const std::filesystem::path& socketName);
    // Stops listening: later instances find no receiver.
    void Close();
    bool Listening() const { return m_Server.isListening(); }

    // Whether the file of a record was taken (opened, or put aside to open soon).
    std::function<bool(const TFileHandOff& record)> OnHandOff;

private:
    void Accept();
    void Read(QLocalSocket& peer);

    QLocalServer m_Server;
};
