#pragma once

#include <QByteArray>
#include <QHostInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QUrl>

// Where RDAP requests go. The program asks the URL's own server over HTTPS;
// tests send every request to a server of their own (for example
// http://127.0.0.1:port), keeping the URL's path.
struct RdapRoute {
    QUrl fixedOrigin; // when set: its scheme, host and port replace the URL's
    int timeoutMs = 30000; // for the whole exchange
    int headerTimeoutMs = 10000; // from each request until its status and headers are in
};

// Where a redirect may lead. Every hop must be https and must not name or
// resolve to an internal address; within an automatic chain it must also
// stay on the host first asked.
enum class RdapRedirects { AnyPublicHost, SameHost };

// One RDAP exchange over HTTPS: a GET of the query URL, the body collected
// until it is complete. Redirects are followed by this class, up to
// kMaxRedirects times, each hop checked before it is asked; every
// certificate error is an error. Notifications: connected once the request
// went out, dataArrival for each piece of the body, then closed with the
// whole body of a successful answer (status 2xx and no transfer error), or
// error with a readable Japanese description (HTTP errors, cut-off bodies
// and refused redirects included). After closed, error or Close() nothing
// more is emitted until the next Get.
class RdapConnection : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 kMaxBodyBytes = qint64(16) * 1024 * 1024;
    static constexpr int kMaxRedirects = 5;

    explicit RdapConnection(const RdapRoute &route = {}, QObject *parent = nullptr);
    ~RdapConnection() override;

    // Ends any earlier exchange and starts this one, with extra request
    // headers when given (If-None-Match, for example). Returns an empty
    // string, or why it cannot start (no https URL, no TLS backend).
    QString get(const QUrl &url, RdapRedirects redirects = RdapRedirects::AnyPublicHost,
        const QList<QNetworkReply::RawHeaderPair> &headers = {});
    // Ends the exchange without any notification; harmless when closed.
    void close();
    bool isOpen() const { return m_reply != nullptr || m_lookupId >= 0; }
    // The HTTP status and headers of the answer to the last Get, once it
    // closed or failed (a 304 Not Modified fails); 0 and none before.
    int answerStatus() const { return m_answerStatus; }
    QByteArray answerHeader(const QByteArray &name) const;

    // The User-Agent header sent with every request.
    static QByteArray userAgent();

signals:
    void connected();
    void dataArrival(qint64 bytes);
    void closed(QByteArray body);
    void error(QString description);

private:
    // Sends the GET of one hop, written as url, to its routed address.
    void send(const QUrl &url);
    void onReadyRead();
    void onFinished();
    void onTimeout();
    // Checks the reply's Location and asks it, or fails with the reason.
    void followRedirect();
    // Asks the redirect's target once none of its addresses is internal.
    void onRedirectLookup(const QHostInfo &info);
    // Why a redirect to url is refused before any lookup, or empty.
    QString redirectRefusal(const QUrl &url) const;
    void fail(const QString &description);
    QString failureText() const;
    void releaseReply();
    void release();

    const RdapRoute m_route;
    QNetworkAccessManager m_network;
    QPointer<QNetworkReply> m_reply;
    QTimer m_deadline;
    QTimer m_headerDeadline;
    QByteArray m_body;
    QStringList m_sslErrors;
    QUrl m_url; // the hop being asked, as written
    QUrl m_next; // the redirect whose addresses are being looked up
    QString m_firstHost; // the host of the first hop
    RdapRedirects m_redirects = RdapRedirects::AnyPublicHost;
    int m_redirectCount = 0;
    int m_lookupId = -1; // the address lookup of a redirect under way
    bool m_sent = false;
    QList<QNetworkReply::RawHeaderPair> m_requestHeaders; // sent on every hop
    int m_answerStatus = 0;
    QList<QNetworkReply::RawHeaderPair> m_answerHeaders;
};

// The line shown for an HTTP error status; retryAfter is the value of the
// Retry-After header (seconds or an HTTP date), or empty.
QString rdapHttpErrorText(int status, const QByteArray &retryAfter);
