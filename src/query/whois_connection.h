#pragma once

#include "query/peer_reset_probe.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>

class QTcpSocket;

// One whois exchange over TCP: connect, send the request, receive the answer
// until the server closes. The notifications come in this order only:
// connected, then sendProgress one or more times and sendComplete, then zero
// or more dataArrival, then closed; error may end the exchange at any point
// instead. After closed, error or Close() nothing more is emitted until the
// next connectToHost, and the object is ready for it.
// Where a connection goes: the chosen host and port in the program. Tests
// send every query to a server of their own, whatever host was chosen.
struct WhoisRoute {
    quint16 port = 43; // used instead of port 43
    QString fixedAddress; // when set, connect here, on `port`, whatever the host and port
};

class WhoisConnection : public QObject {
    Q_OBJECT

public:
    explicit WhoisConnection(const WhoisRoute &route = {}, QObject *parent = nullptr);

    // Ends any earlier exchange and starts connecting to the host. Returns
    // false at once, and starts nothing, when the host cannot be used (see
    // isUsableHost); otherwise the outcome arrives as connected() or error().
    bool connectToHost(const QString &host, quint16 port = 43);
    // Sends bytes on the open connection; sending nothing does nothing.
    void send(const QByteArray &bytes);
    // Ends the exchange without any notification; harmless when closed.
    void close();
    // True from connectToHost until closed, error or Close().
    bool isOpen() const;
    // The address connected to, once connected() has come.
    QHostAddress peerAddress() const;

signals:
    void connected();
    // bytesSent: what went out in this step; bytesRemaining: still queued.
    void sendProgress(qint64 bytesSent, qint64 bytesRemaining);
    void sendComplete();
    // Every byte that can be read now, in one chunk. Held back while a
    // send is incomplete, so no answer comes before sendComplete.
    void dataArrival(QByteArray chunk);
    // The server has ended the connection in order; the data it sent
    // before came first as dataArrival.
    void closed();
    // The exchange failed; description is the socket's readable text.
    void error(QString description);

private:
    void onConnected();
    void onBytesWritten(qint64 bytes);
    void onReadyRead();
    void onSocketError(QAbstractSocket::SocketError socketError);
    void onPeerClosed();
    void deliverAvailable();
    void fail(const QString &description);
    void release();
    bool isCurrent(const QTcpSocket *socket) const { return socket && socket == m_socket; }

    const WhoisRoute m_route;
    QTcpSocket *m_socket = nullptr;
    PeerResetProbe m_resetProbe;
    bool m_sendPending = false;
};
