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
    m_socket = new QTcpSocket(this);
    connect(m_socket, &QTcpSocket::connected, this, &WhoisConnection::OnConnected);
    connect(m_socket, &QTcpSocket::bytesWritten, this, &WhoisConnection::OnBytesWritten);
    connect(m_socket, &QTcpSocket::readyRead, this, &WhoisConnection::OnReadyRead);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &WhoisConnection::OnSocketError);
    connect(m_socket, &QTcpSocket::disconnected, this, &WhoisConnection::OnPeerClosed);
    if (!m_route.fixedAddress.isEmpty())
        m_socket->connectToHost(m_route.fixedAddress, m_route.port);
    else
        m_socket->connectToHost(host, port == 43 ? m_route.port : port);
    return true;
}

void WhoisConnection::Send(const QByteArray &bytes)
{
    if (!m_socket || bytes.isEmpty())
        return;
    m_sendPending = true;
    m_socket->write(bytes);
}

void WhoisConnection::Close()
{
    Release();
}

bool WhoisConnection::IsOpen() const
{
    return m_socket != nullptr;
}

QHostAddress WhoisConnection::PeerAddress() const
{
    return m_socket ? m_socket->peerAddress() : QHostAddress();
}

void WhoisConnection::OnConnected()
{
    m_resetProbe.Watch(m_socket->socketDescriptor());
    emit connected();
}

void WhoisConnection::OnBytesWritten(qint64 bytes)
{
    const QTcpSocket *socket = m_socket;
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
        Fail(m_socket->errorString());
}

void WhoisConnection::OnPeerClosed()
{
    const QTcpSocket *socket = m_socket;
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
    const QByteArray chunk = m_socket->readAll();
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
    if (!m_socket)
        return;
    m_socket->disconnect(this);
    m_socket->abort();
    m_resetProbe.Stop();
    m_socket->deleteLater();
    m_socket = nullptr;
    m_sendPending = false;
}
