#include "query/whois_connection.h"

#include "selection/usable_host.h"

#include <QTcpSocket>

WhoisConnection::WhoisConnection(const WhoisRoute &route, QObject *parent)
    : QObject(parent), m_route(route)
{
}

bool WhoisConnection::connectToHost(const QString &host, quint16 port)
{
    close();
    if (!isUsableHost(host))
        return false;
    m_socket = new QTcpSocket(this);
    connect(m_socket, &QTcpSocket::connected, this, &WhoisConnection::onConnected);
    connect(m_socket, &QTcpSocket::bytesWritten, this, &WhoisConnection::onBytesWritten);
    connect(m_socket, &QTcpSocket::readyRead, this, &WhoisConnection::onReadyRead);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &WhoisConnection::onSocketError);
    connect(m_socket, &QTcpSocket::disconnected, this, &WhoisConnection::onPeerClosed);
    if (!m_route.fixedAddress.isEmpty())
        m_socket->connectToHost(m_route.fixedAddress, m_route.port);
    else
        m_socket->connectToHost(host, port == 43 ? m_route.port : port);
    return true;
}

void WhoisConnection::send(const QByteArray &bytes)
{
    if (!m_socket || bytes.isEmpty())
        return;
    m_sendPending = true;
    m_socket->write(bytes);
}

void WhoisConnection::close()
{
    release();
}

bool WhoisConnection::isOpen() const
{
    return m_socket != nullptr;
}

QHostAddress WhoisConnection::peerAddress() const
{
    return m_socket ? m_socket->peerAddress() : QHostAddress();
}

void WhoisConnection::onConnected()
{
    m_resetProbe.watch(m_socket->socketDescriptor());
    emit connected();
}

void WhoisConnection::onBytesWritten(qint64 bytes)
{
    const QTcpSocket *socket = m_socket;
    emit sendProgress(bytes, socket->bytesToWrite());
    if (!isCurrent(socket) || socket->bytesToWrite() > 0)
        return;
    m_sendPending = false;
    emit sendComplete();
    if (isCurrent(socket))
        deliverAvailable();
}

void WhoisConnection::onReadyRead()
{
    if (!m_sendPending)
        deliverAvailable();
}

void WhoisConnection::onSocketError(QAbstractSocket::SocketError socketError)
{
    // The socket reports the server's close as an error; it is the normal
    // end of a whois answer.
    if (socketError == QAbstractSocket::RemoteHostClosedError)
        onPeerClosed();
    else
        fail(m_socket->errorString());
}

void WhoisConnection::onPeerClosed()
{
    const QTcpSocket *socket = m_socket;
    const bool reset = m_resetProbe.peerReset();
    deliverAvailable();
    if (!isCurrent(socket))
        return;
    if (reset) {
        fail(u"サーバとの接続がリセットされました。"_qs);
        return;
    }
    release();
    emit closed();
}

void WhoisConnection::deliverAvailable()
{
    const QByteArray chunk = m_socket->readAll();
    if (!chunk.isEmpty())
        emit dataArrival(chunk);
}

void WhoisConnection::fail(const QString &description)
{
    release();
    emit error(description);
}

void WhoisConnection::release()
{
    if (!m_socket)
        return;
    m_socket->disconnect(this);
    m_socket->abort();
    m_resetProbe.stop();
    m_socket->deleteLater();
    m_socket = nullptr;
    m_sendPending = false;
}
