#include "rdap/rdap_connection.h"

#include "rdap/rdap_error_body.h"
#include "selection/usable_host.h"

#include <QDateTime>
#include <QHostInfo>
#include <QLocale>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslError>
#include <QSslSocket>

namespace {

QUrl routed(const QUrl &url, const QUrl &origin)
{
    if (origin.isEmpty())
        return url;
    QUrl routed = url;
    routed.setScheme(origin.scheme());
    routed.setHost(origin.host());
    routed.setPort(origin.port());
    return routed;
}

// Seconds to wait from a Retry-After value, or -1 when it says none.
qint64 retryAfterSeconds(const QByteArray &value)
{
    bool number = false;
    const qint64 seconds = value.trimmed().toLongLong(&number);
    if (number)
        return seconds >= 0 ? seconds : -1;
    // An HTTP date (RFC 9110): "Sun, 06 Nov 1994 08:49:37 GMT".
    QDateTime when = QLocale::c().toDateTime(
        QString::fromLatin1(value.trimmed()), u"ddd, dd MMM yyyy HH:mm:ss 'GMT'"_qs);
    when.setTimeSpec(Qt::UTC);
    if (!when.isValid())
        return -1;
    return std::max<qint64>(0, QDateTime::currentDateTimeUtc().secsTo(when));
}

bool isRedirectStatus(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

const QString kRefusedInternal = u"RDAPサーバが内部ネットワークのアドレス (%1) への転送を求めたため中止しました。"_qs;

} // namespace

QString rdapHttpErrorText(int status, const QByteArray &retryAfter)
{
    if (status == 404)
        return u"該当するデータが見つかりません。"_qs;
    if (status == 429) {
        const qint64 seconds = retryAfterSeconds(retryAfter);
        if (seconds < 0)
            return u"問い合わせが多すぎます。しばらく待ってから再度お試しください。"_qs;
        return u"問い合わせが多すぎます。"_qs + QString::number(seconds)
            + u" 秒後に再度お試しください。"_qs;
    }
    return u"RDAPサーバがエラーを返しました。(HTTP "_qs + QString::number(status) + u')';
}

RdapConnection::RdapConnection(const RdapRoute &route, QObject *parent)
    : QObject(parent), m_route(route)
{
    // Each hop is checked here before it is asked (followRedirect).
    m_network.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, &RdapConnection::onTimeout);
    m_headerDeadline.setSingleShot(true);
    connect(&m_headerDeadline, &QTimer::timeout, this, [this] {
        fail(u"RDAPサーバが応答のヘッダを送り終えないため中止しました。"_qs);
    });
}

RdapConnection::~RdapConnection()
{
    release();
}

QByteArray RdapConnection::userAgent()
{
    return QByteArrayLiteral("Domquire/" DQ_VERSION);
}

QString RdapConnection::get(
    const QUrl &url, RdapRedirects redirects, const QList<QNetworkReply::RawHeaderPair> &headers)
{
    close();
    const QUrl target = routed(url, m_route.fixedOrigin);
    // Plain http is only ever the route of a test.
    const bool https = target.scheme() == u"https";
    if (!target.isValid() || (!https && m_route.fixedOrigin.isEmpty()))
        return u"RDAPサーバの URL が https ではないため問い合わせません。"_qs;
    if (https && !QSslSocket::supportsSsl())
        return u"TLS を利用できないため RDAPサーバに接続できません。"
               u"(Qt の TLS バックエンドが見つかりません)"_qs;

    m_sslErrors.clear();
    m_sent = false;
    m_firstHost = url.host();
    m_redirects = redirects;
    m_redirectCount = 0;
    m_requestHeaders = headers;
    m_answerStatus = 0;
    m_answerHeaders.clear();
    m_deadline.start(m_route.timeoutMs);
    send(url);
    return {};
}

void RdapConnection::send(const QUrl &url)
{
    QNetworkRequest request(routed(url, m_route.fixedOrigin));
    request.setRawHeader("Accept", "application/rdap+json, application/json");
    request.setHeader(QNetworkRequest::UserAgentHeader, userAgent());
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(
        QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    for (const auto &[name, value] : std::as_const(m_requestHeaders))
        request.setRawHeader(name, value);

    m_url = url;
    m_body.clear();
    m_reply = m_network.get(request);
    connect(m_reply, &QNetworkReply::requestSent, this, [this] {
        if (!std::exchange(m_sent, true))
            emit connected();
    });
    // Qt sets no limit on the headers; an answer whose headers never end
    // is stopped by their own deadline.
    connect(m_reply, &QNetworkReply::metaDataChanged, this, [this] {
        if (m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid())
            m_headerDeadline.stop();
    });
    connect(m_reply, &QNetworkReply::readyRead, this, &RdapConnection::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &RdapConnection::onFinished);
    connect(m_reply, &QNetworkReply::sslErrors, this, [this](const QList<QSslError> &errors) {
        for (const QSslError &sslError : errors)
            m_sslErrors << sslError.errorString();
    });
    m_headerDeadline.start(m_route.headerTimeoutMs);
}

QByteArray RdapConnection::answerHeader(const QByteArray &name) const
{
    for (const auto &[header, value] : m_answerHeaders) {
        if (header.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

void RdapConnection::close()
{
    release();
}

void RdapConnection::onReadyRead()
{
    const QByteArray piece = m_reply->read(kMaxBodyBytes + 1 - m_body.size());
    m_body += piece;
    if (m_body.size() > kMaxBodyBytes) {
        fail(u"RDAPサーバの応答が大きすぎるため受信を中止しました。(16MB)"_qs);
        return;
    }
    if (!piece.isEmpty())
        emit dataArrival(piece.size());
}

void RdapConnection::onFinished()
{
    if (!m_reply)
        return;
    onReadyRead();
    if (!m_reply)
        return;
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const QNetworkReply::NetworkError failure = m_reply->error();
    const bool answered = status.isValid() && failure != QNetworkReply::OperationCanceledError;
    const int code = status.toInt();
    m_answerStatus = code;
    m_answerHeaders = m_reply->rawHeaderPairs();
    if (answered && isRedirectStatus(code) && m_reply->hasRawHeader("Location")) {
        followRedirect();
        return;
    }
    if (answered && code >= 200 && code < 300) {
        // Qt reports a body cut short (a reset, fewer bytes than
        // Content-Length, a failed decompression) as an error on status 200.
        if (failure != QNetworkReply::NoError) {
            fail(u"RDAPサーバの応答を最後まで受信できませんでした。\n"_qs + m_reply->errorString());
            return;
        }
        const QByteArray body = m_body;
        release();
        emit closed(body);
        return;
    }
    if (answered) {
        fail(rdapHttpErrorText(code, m_reply->rawHeader("Retry-After")) + rdapErrorBodyText(m_body));
        return;
    }
    fail(failureText());
}

QString RdapConnection::redirectRefusal(const QUrl &url) const
{
    if (url.scheme() == u"http")
        return u"RDAPサーバが暗号化されない http への転送を求めたため中止しました。"_qs;
    if (url.scheme() != u"https")
        return u"RDAPサーバが https 以外 ("_qs + url.scheme()
            + u":) への転送を求めたため中止しました。"_qs;
    if (!url.isValid() || url.host().isEmpty())
        return u"RDAPサーバの転送先が正しくないため中止しました。"_qs;
    if (isInternalHost(url.host()))
        return kRefusedInternal.arg(url.host());
    if (m_redirects == RdapRedirects::SameHost
        && url.host().compare(m_firstHost, Qt::CaseInsensitive) != 0)
        return u"RDAPサーバが別のホスト ("_qs + url.host()
            + u") への転送を求めたため中止しました。"_qs;
    return {};
}

void RdapConnection::followRedirect()
{
    const QUrl next = m_url.resolved(QUrl::fromEncoded(m_reply->rawHeader("Location")));
    releaseReply();
    if (++m_redirectCount > kMaxRedirects) {
        fail(u"RDAPサーバの転送が多すぎるため中止しました。"_qs);
        return;
    }
    if (const QString refusal = redirectRefusal(next); !refusal.isEmpty()) {
        fail(refusal);
        return;
    }
    // A name is checked by the addresses it stands for. Tests route every
    // host to themselves.
    if (!m_route.fixedOrigin.isEmpty() || !QHostAddress(next.host()).isNull()) {
        send(next);
        return;
    }
    m_next = next;
    m_lookupId = QHostInfo::lookupHost(next.host(), this, &RdapConnection::onRedirectLookup);
}

void RdapConnection::onRedirectLookup(const QHostInfo &info)
{
    if (info.lookupId() != m_lookupId)
        return;
    m_lookupId = -1;
    const QList<QHostAddress> addresses = info.addresses();
    if (addresses.isEmpty())
        fail(info.errorString());
    else if (std::any_of(addresses.begin(), addresses.end(), &isInternalAddress))
        fail(kRefusedInternal.arg(m_next.host()));
    else
        send(m_next);
}

QString RdapConnection::failureText() const
{
    switch (m_reply->error()) {
    case QNetworkReply::SslHandshakeFailedError: {
        const QString reason =
            m_sslErrors.isEmpty() ? m_reply->errorString() : m_sslErrors.join(u'\n');
        return u"RDAPサーバと安全に接続できません。\n"_qs + reason;
    }
    case QNetworkReply::TimeoutError:
        return u"RDAPサーバが応答しません。"_qs;
    default:
        return m_reply->errorString();
    }
}

void RdapConnection::onTimeout()
{
    fail(u"RDAPサーバが応答しません。"_qs);
}

void RdapConnection::fail(const QString &description)
{
    release();
    emit error(description);
}

void RdapConnection::releaseReply()
{
    m_headerDeadline.stop();
    if (!m_reply)
        return;
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

void RdapConnection::release()
{
    m_deadline.stop();
    if (m_lookupId >= 0)
        QHostInfo::abortHostLookup(std::exchange(m_lookupId, -1));
    releaseReply();
}
