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
// next ConnectToHost, and the object is ready for it.
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
    // IsUsableHost); otherwise the outcome arrives as connected() or error().
    bool ConnectToHost(const QString &host, quint16 port = 43);
    // Sends bytes on the open connection; sending nothing does nothing.
    void Send(const QByteArray &bytes);
    // Ends the exchange without any notification; harmless when closed.
    void Close();
    // True from ConnectToHost until closed, error or Close().
    bool IsOpen() const;
    // The address connected to, once connected() has come.
    QHostAddress PeerAddress() const;

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
    void OnConnected();
    void OnBytesWritten(qint64 bytes);
    void OnReadyRead();
    void OnSocketError(QAbstractSocket::SocketError socketError);
    void OnPeerClosed();
    void DeliverAvailable();
    void Fail(const QString &description);
    void Release();
    bool IsCurrent(const QTcpSocket *socket) const { return socket && socket == m_socket; }

    const WhoisRoute m_route;
    QTcpSocket *m_socket = nullptr;
    PeerResetProbe m_resetProbe;
    bool m_sendPending = false;
};
