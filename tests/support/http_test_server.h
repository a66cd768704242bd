#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QUrl>

#include <chrono>
#include <memory>

class QSslConfiguration;
class QTcpServer;
class QTcpSocket;

// How the HTTP test server answers one path.
struct HttpTestAnswer {
    enum class Body {
        Whole, // the body at once, with its Content-Length
        Slow, // the body one piece of pieceBytes every pauseMs
        Endless, // no length; writes the body again and again until the client goes
        Short, // declares a Content-Length 100 bytes longer than the body it sends
        Reset, // the headers and the body's first half, then a TCP reset
        EndlessHead, // headStart, then the body again and again: headers that never end
    };
    int status = 200;
    QList<std::pair<QByteArray, QByteArray>> headers;
    QByteArray body;
    Body delivery = Body::Whole;
    int pieceBytes = 64;
    int pauseMs = 20;
    QByteArray headStart; // EndlessHead: written once, in place of status and headers
};

// One request as the server saw it; header names in lower case.
struct HttpTestRequest {
    QByteArray method;
    QByteArray target;
    QHash<QByteArray, QByteArray> headers;
    std::chrono::steady_clock::time_point at; // when its head was complete
};

// An HTTP/1.1 server for the tests, on 127.0.0.1 at an ephemeral port from
// construction on, plain or (given a TLS configuration) over TLS. It records
// every request and answers each by its path as set up; a path it does not
// know gets 404. Each answer closes its connection.
//
//     HttpTestServer server;
//     server.answerJson("/domain/example.info", fixture);
//     server.redirect("/ip/192.0.2.1", "/ip/192.0.2.0/24");
class HttpTestServer : public QObject {
    Q_OBJECT

public:
    explicit HttpTestServer(const QSslConfiguration *tls = nullptr, QObject *parent = nullptr);
    ~HttpTestServer() override;

    quint16 port() const;
    // "http://127.0.0.1:<port>", or https with TLS.
    QUrl origin() const;

    void answer(const QByteArray &path, const HttpTestAnswer &answer);
    // Answers the next requests of the path with these answers, one each in
    // turn; later ones get the answer set otherwise.
    void answerInTurn(const QByteArray &path, const QList<HttpTestAnswer> &answers);
    void answerJson(const QByteArray &path, const QByteArray &json, int status = 200);
    void redirect(const QByteArray &path, const QByteArray &location, int status = 302);

    const QList<HttpTestRequest> &requests() const { return m_requests; }

private:
    void Accept();
    void Serve(QTcpSocket *socket, const QByteArray &head);

    std::unique_ptr<QTcpServer> m_server;
    bool m_tls = false;
    QHash<QByteArray, HttpTestAnswer> m_answers;
    QHash<QByteArray, QList<HttpTestAnswer>> m_answersInTurn;
    QList<HttpTestRequest> m_requests;
};
