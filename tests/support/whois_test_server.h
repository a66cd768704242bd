#pragma once

#include "support/whois_test_session.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTcpServer>

#include <chrono>

// A whois server for tests and benchmarks. It listens on 127.0.0.1 at an
// ephemeral port from construction on, records everything each client
// sends, and answers each connection as the last chosen behaviour says,
// once the request line (ending in CR LF) has arrived:
//
//     WhoisTestServer server;
//     server.answerWith({"part one ", "part two\r\n"});
//     connection.ConnectToHost(u"127.0.0.1"_qs) ... on server.port()
//     QCOMPARE(server.receivedRequests(), QByteArrayList { "example.jp\r\n" });
class WhoisTestServer : public QObject {
    Q_OBJECT

public:
    explicit WhoisTestServer(QObject *parent = nullptr);

    quint16 port() const { return m_port; }

    // Writes the chunks one by one, letting the event loop turn between
    // them so that the client reads them apart, then closes in order.
    void answerWith(const QList<QByteArray> &chunks);
    // Answers the next connections with these answers, one each, in turn
    // and closes; later connections get the behaviour chosen otherwise.
    void answerInTurn(const QByteArrayList &answers);
    void closeWithoutData();
    // Writes the chunks like answerWith, then resets the connection.
    void resetAfter(const QList<QByteArray> &chunks);
    // Never answers and never closes.
    void staySilent();
    // Writes the chunk again and again for as long as the client reads,
    // and closes after maxBytes in all. The chunk must not be empty.
    void streamWithoutEnd(const QByteArray &chunk, qint64 maxBytes);

    // Starts answering as soon as a client connects, before its request.
    void setAnswerBeforeRequest(bool early) { m_script.answerBeforeRequest = early; }
    // The pause between two writes, after the earlier one has gone out
    // (10 ms at first; 0 writes on as soon as it has).
    void setPauseBetweenWrites(int milliseconds) { m_script.pauseMs = milliseconds; }

    // Every byte each client sent, one entry per accepted connection, in
    // the order the connections came.
    const QByteArrayList &receivedRequests() const { return m_requests; }
    // When each of those connections was accepted.
    const QList<std::chrono::steady_clock::time_point> &acceptTimes() const { return m_acceptTimes; }
    // Connections accepted and not yet ended by either side.
    int openConnectionCount() const { return m_openConnections; }

    // Stops listening, so that connecting is refused, and listens again on
    // the same port.
    void stopListening() { m_server.close(); }
    bool listenAgain();

    // A port on 127.0.0.1 where nothing listens, so connecting is refused.
    static quint16 refusingPort();

private:
    void Accept();

    QTcpServer m_server;
    quint16 m_port = 0;
    WhoisTestScript m_script;
    QByteArrayList m_requests;
    QList<std::chrono::steady_clock::time_point> m_acceptTimes;
    QByteArrayList m_answersInTurn;
    int m_openConnections = 0;
};
