#include "support/whois_test_server.h"

#include <QTcpSocket>

WhoisTestServer::WhoisTestServer(QObject *parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &WhoisTestServer::Accept);
    if (!m_server.listen(QHostAddress::LocalHost, 0))
        qFatal(
            "WhoisTestServer: cannot listen on 127.0.0.1: %s", qPrintable(m_server.errorString()));
    m_port = m_server.serverPort();
}

bool WhoisTestServer::listenAgain()
{
    return m_server.listen(QHostAddress::LocalHost, m_port);
}

void WhoisTestServer::answerWith(const QList<QByteArray> &chunks)
{
    m_script.chunks = chunks;
    m_script.ending = WhoisTestScript::Ending::Close;
}

void WhoisTestServer::answerInTurn(const QByteArrayList &answers)
{
    m_answersInTurn = answers;
}

void WhoisTestServer::closeWithoutData()
{
    answerWith({});
}

void WhoisTestServer::resetAfter(const QList<QByteArray> &chunks)
{
    m_script.chunks = chunks;
    m_script.ending = WhoisTestScript::Ending::Reset;
}

void WhoisTestServer::staySilent()
{
    m_script.chunks.clear();
    m_script.ending = WhoisTestScript::Ending::Silent;
}

void WhoisTestServer::streamWithoutEnd(const QByteArray &chunk, qint64 maxBytes)
{
    Q_ASSERT(!chunk.isEmpty());
    m_script.chunks.clear();
    m_script.ending = WhoisTestScript::Ending::Stream;
    m_script.streamChunk = chunk;
    m_script.streamLimit = maxBytes;
}

quint16 WhoisTestServer::refusingPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        qFatal("WhoisTestServer: cannot find a free port on 127.0.0.1");
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

void WhoisTestServer::Accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        const qsizetype index = m_requests.size();
        m_requests.append(QByteArray());
        m_acceptTimes.append(std::chrono::steady_clock::now());
        ++m_openConnections;
        WhoisTestScript script = m_script;
        if (!m_answersInTurn.isEmpty()) {
            script.chunks = { m_answersInTurn.takeFirst() };
            script.ending = WhoisTestScript::Ending::Close;
        }
        auto *session = new WhoisTestSession(socket, script, this);
        connect(session, &WhoisTestSession::received, this,
            [this, index](const QByteArray &bytes) { m_requests[index] += bytes; });
        connect(session, &WhoisTestSession::finished, this, [this, session] {
            --m_openConnections;
            session->deleteLater();
        });
    }
}
