#include "rdap/rdap_connection.h"

#include <QDateTime>
#include <QLocale>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslError>
#include <QSslSocket>

namespace {

QUrl Routed(const QUrl &url, const QUrl &origin)
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
qint64 RetryAfterSeconds(const QByteArray &value)
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

} // namespace

QString RdapHttpErrorText(int status, const QByteArray &retryAfter)
{
    if (status == 404)
        return u"該当するデータが見つかりません。"_qs;
    if (status == 429) {
        const qint64 seconds = RetryAfterSeconds(retryAfter);
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
    m_network.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, &RdapConnection::OnTimeout);
}

RdapConnection::~RdapConnection()
{
    Release();
}

QByteArray RdapConnection::UserAgent()
{
    return QByteArrayLiteral("Domquire/" DQ_VERSION);
}

QString RdapConnection::Get(const QUrl &url, const QList<QNetworkReply::RawHeaderPair> &headers)
{
    Close();
    const QUrl target = Routed(url, m_route.fixedOrigin);
    // Plain http is only ever the route of a test.
    const bool https = target.scheme() == u"https";
    if (!target.isValid() || (!https && m_route.fixedOrigin.isEmpty()))
        return u"RDAPサーバの URL が https ではないため問い合わせません。"_qs;
    if (https && !QSslSocket::supportsSsl())
        return u"TLS を利用できないため RDAPサーバに接続できません。"
               u"(Qt の TLS バックエンドが見つかりません)"_qs;

    QNetworkRequest request(target);
    request.setRawHeader("Accept", "application/rdap+json, application/json");
    request.setHeader(QNetworkRequest::UserAgentHeader, UserAgent());
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(
        QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    for (const auto &[name, value] : headers)
        request.setRawHeader(name, value);

    m_body.clear();
    m_sslErrors.clear();
    m_sent = false;
    m_answerStatus = 0;
    m_answerHeaders.clear();
    m_reply = m_network.get(request);
    connect(m_reply, &QNetworkReply::requestSent, this, [this] {
        if (!std::exchange(m_sent, true))
            emit connected();
    });
    connect(m_reply, &QNetworkReply::readyRead, this, &RdapConnection::OnReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &RdapConnection::OnFinished);
    connect(m_reply, &QNetworkReply::sslErrors, this, [this](const QList<QSslError> &errors) {
        for (const QSslError &sslError : errors)
            m_sslErrors << sslError.errorString();
    });
    m_deadline.start(m_route.timeoutMs);
    return {};
}

QByteArray RdapConnection::AnswerHeader(const QByteArray &name) const
{
    for (const auto &[header, value] : m_answerHeaders) {
        if (header.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

void RdapConnection::Close()
{
    Release();
}

void RdapConnection::OnReadyRead()
{
    const QByteArray piece = m_reply->read(kMaxBodyBytes + 1 - m_body.size());
    m_body += piece;
    if (m_body.size() > kMaxBodyBytes) {
        Fail(u"RDAPサーバの応答が大きすぎるため受信を中止しました。(16MB)"_qs);
        return;
    }
    if (!piece.isEmpty())
        emit dataArrival(piece.size());
}

void RdapConnection::OnFinished()
{
    if (!m_reply)
        return;
    OnReadyRead();
    if (!m_reply)
        return;
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    m_answerStatus = status.toInt();
    m_answerHeaders = m_reply->rawHeaderPairs();
    const bool answered =
        status.isValid() && m_reply->error() != QNetworkReply::OperationCanceledError;
    if (answered && status.toInt() >= 200 && status.toInt() < 300) {
        const QByteArray body = m_body;
        Release();
        emit closed(body);
        return;
    }
    if (answered && m_reply->error() != QNetworkReply::InsecureRedirectError
        && m_reply->error() != QNetworkReply::TooManyRedirectsError) {
        Fail(RdapHttpErrorText(status.toInt(), m_reply->rawHeader("Retry-After")));
        return;
    }
    Fail(FailureText());
}

QString RdapConnection::FailureText() const
{
    switch (m_reply->error()) {
    case QNetworkReply::SslHandshakeFailedError: {
        const QString reason =
            m_sslErrors.isEmpty() ? m_reply->errorString() : m_sslErrors.join(u'\n');
        return u"RDAPサーバと安全に接続できません。\n"_qs + reason;
    }
    case QNetworkReply::InsecureRedirectError:
        return u"RDAPサーバが暗号化されない http への転送を求めたため中止しました。"_qs;
    case QNetworkReply::TooManyRedirectsError:
        return u"RDAPサーバの転送が多すぎるため中止しました。"_qs;
    case QNetworkReply::TimeoutError:
        return u"RDAPサーバが応答しません。"_qs;
    default:
        return m_reply->errorString();
    }
}

void RdapConnection::OnTimeout()
{
    Fail(u"RDAPサーバが応答しません。"_qs);
}

void RdapConnection::Fail(const QString &description)
{
    Release();
    emit error(description);
}

void RdapConnection::Release()
{
    m_deadline.stop();
    if (!m_reply)
        return;
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}
