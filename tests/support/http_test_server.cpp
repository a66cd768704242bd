#include "support/http_test_server.h"

#include <QSslServer>
#include <QTcpSocket>
#include <QTimer>

#include <sys/socket.h>

namespace {

constexpr qsizetype kMaxHeadBytes = 64 * 1024;

HttpTestRequest ParseHead(const QByteArray &head)
{
    HttpTestRequest request;
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    request.method = requestLine.value(0);
    request.target = requestLine.value(1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            request.headers.insert(
                lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
    }
    return request;
}

QByteArray StatusLine(int status)
{
    return "HTTP/1.1 " + QByteArray::number(status) + " Test\r\n";
}

// Writes pieces of an answer's body, and closes when it is done or the
// client has gone.
class BodyWriter : public QObject {
public:
    BodyWriter(QTcpSocket *socket, const HttpTestAnswer &answer)
        : QObject(socket), m_socket(socket), m_answer(answer)
    {
        connect(&m_pause, &QTimer::timeout, this, &BodyWriter::WriteNext);
        m_pause.setSingleShot(true);
        connect(socket, &QTcpSocket::bytesWritten, this, [this] {
            if (m_socket->bytesToWrite() == 0)
                m_pause.start(
                    m_answer.delivery == HttpTestAnswer::Body::Slow ? m_answer.pauseMs : 0);
        });
    }

    void WriteNext()
    {
        if (m_answer.delivery == HttpTestAnswer::Body::Endless
            || m_answer.delivery == HttpTestAnswer::Body::EndlessHead) {
            m_socket->write(m_answer.body);
            return;
        }
        if (m_written >= m_answer.body.size()) {
            m_socket->disconnectFromHost();
            return;
        }
        const QByteArray piece = m_answer.body.mid(m_written, m_answer.pieceBytes);
        m_written += piece.size();
        m_socket->write(piece);
    }

private:
    QTcpSocket *m_socket;
    const HttpTestAnswer m_answer;
    QTimer m_pause;
    qsizetype m_written = 0;
};

} // namespace

HttpTestServer::HttpTestServer(const QSslConfiguration *tls, QObject *parent)
    : QObject(parent), m_tls(tls != nullptr)
{
    if (tls) {
        auto server = std::make_unique<QSslServer>();
        server->setSslConfiguration(*tls);
        m_server = std::move(server);
    } else {
        m_server = std::make_unique<QTcpServer>();
    }
    connect(m_server.get(), &QTcpServer::pendingConnectionAvailable, this, &HttpTestServer::Accept);
    if (!m_server->listen(QHostAddress::LocalHost))
        qFatal("the HTTP test server cannot listen: %s", qPrintable(m_server->errorString()));
}

HttpTestServer::~HttpTestServer() = default;

quint16 HttpTestServer::port() const
{
    return m_server->serverPort();
}

QUrl HttpTestServer::origin() const
{
    return QUrl(
        (m_tls ? u"https://127.0.0.1:"_qs : u"http://127.0.0.1:"_qs) + QString::number(port()));
}

void HttpTestServer::answer(const QByteArray &path, const HttpTestAnswer &answer)
{
    m_answers.insert(path, answer);
}

void HttpTestServer::answerInTurn(const QByteArray &path, const QList<HttpTestAnswer> &answers)
{
    m_answersInTurn[path] += answers;
}

void HttpTestServer::answerJson(const QByteArray &path, const QByteArray &json, int status)
{
    HttpTestAnswer answer;
    answer.status = status;
    answer.headers = { { "Content-Type", "application/rdap+json" } };
    answer.body = json;
    m_answers.insert(path, answer);
}

void HttpTestServer::redirect(const QByteArray &path, const QByteArray &location, int status)
{
    HttpTestAnswer answer;
    answer.status = status;
    answer.headers = { { "Location", location } };
    m_answers.insert(path, answer);
}

void HttpTestServer::Accept()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        auto head = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, head] {
            if (head->endsWith("\r\n\r\n"))
                return; // answered already; a body is not expected
            *head += socket->readAll();
            if (head->size() > kMaxHeadBytes)
                socket->abort();
            else if (head->contains("\r\n\r\n"))
                Serve(socket, head->left(head->indexOf("\r\n\r\n") + 4));
        });
    }
}

void HttpTestServer::Serve(QTcpSocket *socket, const QByteArray &head)
{
    HttpTestRequest request = ParseHead(head);
    request.at = std::chrono::steady_clock::now();
    m_requests << request;
    const QByteArray path = request.target.split('?').first();
    HttpTestAnswer answer = m_answers.value(path);
    if (QList<HttpTestAnswer> &inTurn = m_answersInTurn[path]; !inTurn.isEmpty()) {
        answer = inTurn.takeFirst();
    } else if (!m_answers.contains(path)) {
        answer.status = 404;
        answer.headers = { { "Content-Type", "application/rdap+json" } };
        answer.body = R"({"errorCode": 404, "title": "Not Found"})";
    }

    if (answer.delivery == HttpTestAnswer::Body::EndlessHead) {
        new BodyWriter(socket, answer); // owned by the socket
        socket->write(answer.headStart);
        return;
    }
    QByteArray reply = StatusLine(answer.status) + "Connection: close\r\n";
    for (const auto &[name, value] : std::as_const(answer.headers))
        reply += name + ": " + value + "\r\n";
    const qsizetype declared =
        answer.body.size() + (answer.delivery == HttpTestAnswer::Body::Short ? 100 : 0);
    if (answer.delivery != HttpTestAnswer::Body::Endless)
        reply += "Content-Length: " + QByteArray::number(declared) + "\r\n";
    reply += "\r\n";
    if (answer.delivery == HttpTestAnswer::Body::Reset) {
        socket->write(reply + answer.body.first(answer.body.size() / 2));
        socket->flush();
        // With a zero linger time, closing sends a reset instead of a FIN.
        const linger reset { 1, 0 };
        setsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
        socket->abort();
        return;
    }
    if (answer.delivery == HttpTestAnswer::Body::Whole
        || answer.delivery == HttpTestAnswer::Body::Short) {
        reply += answer.body;
        answer.body.clear();
    }
    new BodyWriter(socket, answer); // owned by the socket
    socket->write(reply);
}
