#include "query/whois_connection.h"

#include "selection/usable_host.h"

#include <QTcpSocket>

WhoisConnection::WhoisConnection(const WhoisRoute &route, QObject *parent)
    : QObject(parent), m_route(route)
{
}

bool WhoisConnection::ConnectToHost(const QString &host, quint16 port)
{
    Close();
    if (!IsUsableHost(host))
        return false;
    sockWhois = new QTcpSocket(this);
    connect(sockWhois, &QTcpSocket::connected, this, &WhoisConnection::OnConnected);
    connect(sockWhois, &QTcpSocket::bytesWritten, this, &WhoisConnection::OnBytesWritten);
    connect(sockWhois, &QTcpSocket::readyRead, this, &WhoisConnection::OnReadyRead);
    connect(sockWhois, &QTcpSocket::errorOccurred, this, &WhoisConnection::OnSocketError);
    connect(sockWhois, &QTcpSocket::disconnected, this, &WhoisConnection::OnPeerClosed);
    if (!m_route.fixedAddress.isEmpty())
        sockWhois->connectToHost(m_route.fixedAddress, m_route.port);
    else
        sockWhois->connectToHost(host, port == 43 ? m_route.port : port);
    return true;
}

void WhoisConnection::Send(const QByteArray &bytes)
{
    if (!sockWhois || bytes.isEmpty())
        return;
    m_sendPending = true;
    sockWhois->write(bytes);
}

void WhoisConnection::Close()
{
    Release();
}

bool WhoisConnection::IsOpen() const
{
    return sockWhois != nullptr;
}

QHostAddress WhoisConnection::PeerAddress() const
{
    return sockWhois ? sockWhois->peerAddress() : QHostAddress();
}

void WhoisConnection::OnConnected()
{
    m_resetProbe.Watch(sockWhois->socketDescriptor());
    emit connected();
}

void WhoisConnection::OnBytesWritten(qint64 bytes)
{
    const QTcpSocket *socket = sockWhois;
    emit sendProgress(bytes, socket->bytesToWrite());
    if (!IsCurrent(socket) || socket->bytesToWrite() > 0)
        return;
    m_sendPending = false;
    emit sendComplete();
    if (IsCurrent(socket))
        DeliverAvailable();
}

void WhoisConnection::OnReadyRead()
{
    if (!m_sendPending)
        DeliverAvailable();
}

void WhoisConnection::OnSocketError(QAbstractSocket::SocketError socketError)
{
    // The socket reports the server's close as an error; it is the normal
    // end of a whois answer.
    if (socketError == QAbstractSocket::RemoteHostClosedError)
        OnPeerClosed();
    else
        Fail(sockWhois->errorString());
}

void WhoisConnection::OnPeerClosed()
{
    const QTcpSocket *socket = sockWhois;
    const bool reset = m_resetProbe.PeerReset();
    DeliverAvailable();
    if (!IsCurrent(socket))
        return;
    if (reset) {
        Fail(u"サーバとの接続がリセットされました。"_qs);
        return;
    }
    Release();
    emit closed();
}

void WhoisConnection::DeliverAvailable()
{
    const QByteArray chunk = sockWhois->readAll();
    if (!chunk.isEmpty())
        emit dataArrival(chunk);
}

void WhoisConnection::Fail(const QString &description)
{
    Release();
    emit error(description);
}

void WhoisConnection::Release()
{
    if (!sockWhois)
        return;
    sockWhois->disconnect(this);
    sockWhois->abort();
    m_resetProbe.Stop();
    sockWhois->deleteLater();
    sockWhois = nullptr;
    m_sendPending = false;
}
