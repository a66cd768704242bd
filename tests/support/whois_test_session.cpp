#include "support/whois_test_session.h"

#include <QTcpSocket>
#include <QTimer>

#include <sys/socket.h>

WhoisTestSession::WhoisTestSession(
    QTcpSocket *socket, const WhoisTestScript &script, QObject *parent)
    : QObject(parent), m_socket(socket), m_script(script)
{
    m_socket->setParent(this);
    connect(m_socket, &QTcpSocket::readyRead, this, &WhoisTestSession::OnReadyRead);
    connect(m_socket, &QTcpSocket::bytesWritten, this, &WhoisTestSession::OnBytesWritten);
    connect(m_socket, &QTcpSocket::disconnected, this, &WhoisTestSession::Finish);
    if (m_script.answerBeforeRequest)
        Start();
}

void WhoisTestSession::OnReadyRead()
{
    const QByteArray bytes = m_socket->readAll();
    // CR LF may straddle two reads; look from the last byte of the earlier.
    const qsizetype searchFrom = qMax(m_request.size() - 1, qsizetype(0));
    m_request += bytes;
    emit received(bytes);
    if (m_requestComplete || m_request.indexOf("\r\n", searchFrom) < 0)
        return;
    m_requestComplete = true;
    if (!m_started)
        Start();
    else if (m_chunksDone)
        End();
}

void WhoisTestSession::OnBytesWritten()
{
    if (m_socket->bytesToWrite() > 0)
        return;
    if (m_script.pauseMs > 0)
        QTimer::singleShot(m_script.pauseMs, this, &WhoisTestSession::WriteNext);
    else
        WriteNext();
}

void WhoisTestSession::Start()
{
    m_started = true;
    WriteNext();
}

void WhoisTestSession::WriteNext()
{
    if (m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    if (m_script.ending == WhoisTestScript::Ending::Stream && m_streamed < m_script.streamLimit) {
        const QByteArray piece = m_script.streamChunk.first(
            qMin(m_script.streamChunk.size(), m_script.streamLimit - m_streamed));
        m_streamed += piece.size();
        m_socket->write(piece);
        return;
    }
    while (m_nextChunk < m_script.chunks.size()) {
        const QByteArray &chunk = m_script.chunks[m_nextChunk++];
        if (!chunk.isEmpty()) {
            m_socket->write(chunk);
            return;
        }
    }
    // An answer begun before the request ends only once the request is in.
    m_chunksDone = true;
    if (m_requestComplete)
        End();
}

void WhoisTestSession::End()
{
    switch (m_script.ending) {
    case WhoisTestScript::Ending::Close:
    case WhoisTestScript::Ending::Stream:
        m_socket->disconnectFromHost();
        break;
    case WhoisTestScript::Ending::Reset: {
        // With a zero linger time, closing sends a reset instead of a FIN.
        const linger immediately { 1, 0 };
        ::setsockopt(static_cast<int>(m_socket->socketDescriptor()), SOL_SOCKET, SO_LINGER,
            &immediately, sizeof immediately);
        m_socket->abort();
        Finish();
        break;
    }
    case WhoisTestScript::Ending::Silent:
        break;
    }
}

void WhoisTestSession::Finish()
{
    if (m_finished)
        return;
    m_finished = true;
    emit finished();
}
