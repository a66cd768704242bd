#pragma once

#include <QtGlobal>

// Tells a reset by the peer of a TCP connection from an orderly close.
// QTcpSocket reports both as RemoteHostClosedError and closes its
// descriptor at once; a duplicate of the descriptor keeps the connection
// alive long enough to read its TCP state: closed after a reset, waiting
// for our close after the peer's orderly close.
class PeerResetProbe {
public:
    PeerResetProbe() = default;
    ~PeerResetProbe();
    PeerResetProbe(const PeerResetProbe &) = delete;
    PeerResetProbe &operator=(const PeerResetProbe &) = delete;

    // Starts watching the connection of a socket descriptor.
    void watch(qintptr descriptor);
    // True when the watched connection was ended by a reset.
    bool peerReset() const;
    // Lets the connection go; harmless when nothing is watched.
    void stop();

private:
    int m_descriptor = -1;
};
