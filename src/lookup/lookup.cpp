#include "lookup/lookup.h"

#include "encoding/code_page_932.h"
#include "query/referral.h"
#include "query/referral_policy.h"
#include "rdap/rdap_lookup.h"
#include "selection/blank_trim.h"
#include "selection/registry_cache.h"
#include "selection/server_choice.h"
#include "selection/usable_host.h"
#include "selection/whois_hosts.h"

#include <QHostInfo>

namespace {

// Referrals stand near the top of an answer; the rest is not searched.
constexpr qsizetype kReferralScanChars = qsizetype(1024) * 1024;

bool endsWithLineBreak(const QString &text)
{
    return text.endsWith(u'\r') || text.endsWith(u'\n');
}

bool holdsLineBreak(const QString &text)
{
    return text.contains(u'\r') || text.contains(u'\n');
}

const QString kNoRdapService = u"このキーに対応する RDAP サービスが見つかりません。"_qs;
// The registry data lists only http bases for the key (.kg, .mg).
const QString kRdapOnlyWithoutEncryption =
    u"このキーの RDAP サービスは暗号化なし (http) でのみ提供されているため、使用しません。"_qs;

} // namespace

bool Lookup::isBusy(State state)
{
    switch (state) {
    case State::Connecting:
    case State::Sending:
    case State::Receiving:
    case State::FollowingReferral:
        return true;
    case State::Idle:
    case State::Choosing:
    case State::Finished:
    case State::Failed:
    case State::Stopped:
        break;
    }
    return false;
}

QString Lookup::withoutTrailingLineBreaks(QString keyText)
{
    while (endsWithLineBreak(keyText))
        keyText.chop(1);
    return keyText;
}

Lookup::Lookup(const WhoisRoute &route, const RdapRoute &rdapRoute, QObject *parent)
    : QObject(parent), m_connection(route), m_route(route), m_rdap(rdapRoute),
      m_rdapRoute(rdapRoute)
{
    connect(&m_connection, &WhoisConnection::connected, this, &Lookup::onConnected);
    connect(&m_connection, &WhoisConnection::sendProgress, this,
        [this](qint64 bytesSent, qint64) { onSendProgress(bytesSent); });
    connect(&m_connection, &WhoisConnection::sendComplete, this, &Lookup::onSendComplete);
    connect(&m_connection, &WhoisConnection::dataArrival, this, &Lookup::onDataArrival);
    connect(&m_connection, &WhoisConnection::closed, this, &Lookup::onClosed);
    connect(&m_connection, &WhoisConnection::error, this, &Lookup::onError);
    connect(&m_rdap, &RdapConnection::connected, this, [this] {
        setState(State::Receiving);
        setStatus(u"接続しました。"_qs);
    });
    connect(&m_rdap, &RdapConnection::dataArrival, this, &Lookup::onRdapData);
    connect(&m_rdap, &RdapConnection::closed, this, &Lookup::onRdapClosed);
    connect(&m_renderJob, &RdapRenderJob::rendered, this, &Lookup::onRdapRendered);
    connect(&m_rdap, &RdapConnection::error, this, &Lookup::onRdapError);
}

QString Lookup::connectingStatus(const QueryTarget &target)
{
    return target.protocol == QueryTarget::Protocol::Rdap ? u"RDAPサーバに接続します。"_qs
                                                          : u"whoisサーバに接続します。"_qs;
}

QString Lookup::hopHeader(const QString &server)
{
    return u"---- "_qs + server + u" ----\r\n"_qs;
}

void Lookup::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged(state);
}

bool Lookup::checkInput(const QString &keyText, const ServerMode &server)
{
    if (trimBlanks(keyText).isEmpty()) {
        setStatus(u"IPアドレス、またはドメイン名を入力してください。"_qs);
        return false;
    }
    // The key goes to the server as one request line; a line break inside it
    // would send further requests that the user never sees.
    if (holdsLineBreak(keyText)) {
        setStatus(u"キーに改行が含まれています。1 行で入力してください。"_qs);
        return false;
    }
    const bool named =
        server.kind == ServerMode::Kind::ListEntry || server.kind == ServerMode::Kind::TypedHost;
    if (named && trimBlanks(server.label).isEmpty()) {
        setStatus(u"whoisサーバを選択するか入力してください"_qs);
        return false;
    }
    return true;
}

void Lookup::start(const QString &keyText, const ServerMode &server, bool followReferrals)
{
    if (m_state != State::Idle)
        return;
    setState(State::Choosing);
    m_followReferrals = followReferrals;
    m_hopHeaders = followReferrals;
    m_result.keyText = withoutTrailingLineBreaks(keyText);
    const QueryKey key = readQueryKey(m_result.keyText);
    m_result.keySent = key.line;

    if (server.kind == ServerMode::Kind::Referral) {
        if (key.noAsciiForm || key.tooLong) {
            setState(State::Failed);
            return;
        }
        setStatus(connectingStatus(server.referral));
        startQuery(server.referral, server.label);
        return;
    }
    if (!checkInput(m_result.keyText, server)) {
        setState(State::Failed);
        return;
    }
    chooseAndStart(key, server);
}

void Lookup::chooseAndStart(const QueryKey &key, const ServerMode &server)
{
    const bool automatic = server.kind == ServerMode::Kind::Automatic;
    if (automatic)
        setStatus(u"whoisサーバを選択中です。"_qs);
    if (key.tooLong) {
        refuse(u"キーが長すぎます。1,024 文字以内で入力してください。"_qs);
        return;
    }
    if (key.noAsciiForm) {
        refuse(u"ドメイン名を ASCII 形式に変換できません。"_qs);
        return;
    }
    if (key.asNumberTooLarge) {
        refuse(
            u"AS番号が大きすぎます。AS番号は 0 から 4294967295 まで (asdot 形式では 65535.65535 まで) です。"_qs);
        return;
    }
    if (!automatic && server.kind != ServerMode::Kind::Rdap) {
        setStatus(u"whoisサーバに接続します。"_qs);
        startQuery(QueryTarget::whois(trimBlanks(server.host)), server.label);
        return;
    }

    // RDAP mode asks the service that the automatic choice finds for the key.
    const ServerChoice choice = autoSelectServer(key);
    if (automatic && choice.outcome == ServerChoice::Outcome::Whois) {
        setStatus(u"whoisサーバに接続します。"_qs);
        m_listedTopLevel = choice.topLevel;
        startQuery(choice.target, u"自動選択["_qs + choice.target.host + u']');
        return;
    }
    if (!automatic || choice.outcome == ServerChoice::Outcome::RdapOnly) {
        const std::optional<QUrl> url = rdapLookupUrl(key, choice.rdap);
        if (!url) {
            const bool httpOnly = choice.rdap && !choice.rdap->baseUrls.isEmpty()
                && choice.rdap->httpsBase().isEmpty();
            refuse(httpOnly ? kRdapOnlyWithoutEncryption : kNoRdapService);
            return;
        }
        const QueryTarget target = QueryTarget::rdap(*url);
        setStatus(connectingStatus(target));
        startQuery(target, (automatic ? u"自動選択[RDAP:"_qs : u"RDAP["_qs) + url->host() + u']');
        return;
    }
    // A delegation newer than the data: IANA knows its server.
    if (automatic && !choice.topLevel.isEmpty()) {
        askIanaFirst(choice.topLevel);
        return;
    }
    refuse(u"自動選択リストに登録されていないアドレスです。または、書式が正しくありません。\r\n"
           u"サーバを手動で選択するか、またはキーワードを入力し直してください。"_qs);
}

void Lookup::refuse(const QString &warning)
{
    setState(State::Failed);
    emit failed(warning);
    setStatus(kIdle);
}

void Lookup::startQuery(const QueryTarget &target, const QString &label)
{
    m_result.serverLabel = label;
    m_asked = QStringList { target.host };
    m_followed = 0;
    // An RDAP answer replaces what was shown only once it is complete.
    if (target.protocol == QueryTarget::Protocol::Whois)
        beginAnswer();
    connectServer(target);
}

void Lookup::connectServer(const QueryTarget &target)
{
    m_target = target;
    m_result.hops.append(target);
    m_result.hopAnswers.append(QString());
    if (target.protocol == QueryTarget::Protocol::Rdap) {
        connectRdap(target);
        return;
    }
    setState(State::Connecting);
    m_decoder.reset();
    m_receivedBytes = 0;
    m_hopAnswer.clear();
    m_connection.close();
    if (m_connection.connectToHost(target.host, target.port))
        return;
    m_connection.close();
    if (inChain()) {
        failHop(u"接続できません"_qs);
        return;
    }
    refuse(u"サーバへの接続に失敗しました｡アドレスが正しくない可能性があります。"_qs);
}

void Lookup::onConnected()
{
    // A server's answer chose this host; the address it stands for must not
    // lead into the user's own network. Tests route every host to themselves.
    if (inChain() && m_route.fixedAddress.isEmpty()
        && isInternalAddress(m_connection.peerAddress())) {
        m_connection.close();
        failHop(u"内部ネットワークのアドレスには自動で接続しません"_qs);
        return;
    }
    m_listedTopLevel.clear(); // only a server that cannot be reached sends to IANA
    setState(State::Sending);
    setStatus(u"接続しました。"_qs);
    m_connection.send(CodePage932::encode(m_result.keySent) + "\r\n");
}

void Lookup::onSendProgress(qint64 bytesSent)
{
    // The number is written with the blank that stands for a plus sign.
    setStatus(u"送信中です。( "_qs + QString::number(bytesSent) + u"bytes)"_qs);
}

void Lookup::onSendComplete()
{
    setState(State::Receiving);
    if (m_hopHeaders)
        showText(hopHeader(m_target.display()));
    setStatus(u"送信完了"_qs);
}

void Lookup::onDataArrival(const QByteArray &chunk)
{
    const QString size = QString::number(chunk.size()) + u"bytes)"_qs;
    setStatus(u"データを受信中です。\u3000("_qs + size);
    const QString text = m_decoder.decode(chunk);
    showHopText(text);
    readForReferral(text);
    setStatus(u"データを受信しました。\u3000("_qs + size);

    m_receivedBytes += chunk.size();
    if (m_receivedBytes >= kMaxResponseBytes)
        stopReceiving(u"応答が大きすぎるため受信を中止しました。(64MB)"_qs);
}

void Lookup::onClosed()
{
    const QString rest = m_decoder.flush();
    showHopText(rest);
    readForReferral(rest);
    setStatus(u"接続を終了します。"_qs);
    m_connection.close();
    const std::optional<QueryTarget> referral = findReferral(m_hopAnswer, m_target);
    if (m_ianaTopLevel.isEmpty() ? m_followReferrals && followAutomatically(referral)
                                 : followIanaWhois())
        return;
    finish(referral);
}

void Lookup::askIanaFirst(const QString &topLevel)
{
    m_ianaTopLevel = topLevel;
    m_hopHeaders = true;
    setStatus(u"whoisサーバに接続します。"_qs);
    startQuery(QueryTarget::whois(WhoisHost::kIana.toString()), WhoisHost::kIana.toString());
}

bool Lookup::askIanaAfterFailure(const QString &reason)
{
    if (m_listedTopLevel.isEmpty())
        return false;
    m_ianaTopLevel = std::exchange(m_listedTopLevel, QString());
    m_hopHeaders = true;
    showText(u"---- "_qs + m_target.display() + u": "_qs + reason + u" ----\r\n"_qs);
    // IANA that cannot be reached either ends the lookup as a failure.
    const QueryTarget iana = QueryTarget::whois(WhoisHost::kIana.toString());
    m_asked.append(iana.host);
    m_result.serverLabel += u" → "_qs + iana.display();
    setState(State::FollowingReferral);
    setStatus(connectingStatus(iana));
    connectServer(iana);
    return true;
}

bool Lookup::followIanaWhois()
{
    const QString topLevel = std::exchange(m_ianaTopLevel, QString());
    const std::optional<QString> host = findIanaWhoisHost(m_hopAnswer);
    // A host already asked, such as the listed one that failed, is not asked again.
    if (!host || m_asked.contains(*host, Qt::CaseInsensitive))
        return false;
    if (!m_cacheFolder.isEmpty())
        RegistryCache(m_cacheFolder).learn(topLevel, *host);
    return followAutomatically(QueryTarget::whois(*host));
}

bool Lookup::followAutomatically(const std::optional<QueryTarget> &referral)
{
    if (!referral || !ReferralPolicy::mayFollow(*referral, m_asked, m_followed))
        return false;
    setState(State::FollowingReferral);
    ++m_followed;
    m_asked.append(referral->host);
    m_result.serverLabel += u" → "_qs + referral->display();
    setStatus(connectingStatus(*referral));
    connectServer(*referral);
    return true;
}

void Lookup::finish(const std::optional<QueryTarget> &referral)
{
    if (referral)
        m_result.serverLabel += u" → "_qs + referral->display();
    m_result.referral = referral;
    setState(State::Finished);
    setStatus(kIdle);
    emit finished(m_result);
}

void Lookup::failHop(const QString &reason)
{
    showHopText(m_decoder.flush());
    showText(u"---- "_qs + m_target.display() + u": "_qs + reason + u" ----\r\n"_qs);
    finish(std::nullopt);
}

void Lookup::fail(const QString &reason)
{
    setStatus(QString());
    emit failed(reason);
    setState(State::Failed);
}

void Lookup::onError(const QString &description)
{
    m_connection.close();
    if (m_state == State::Connecting && askIanaAfterFailure(description))
        return;
    if (inChain()) {
        failHop(description);
        return;
    }
    showHopText(m_decoder.flush());
    fail(description);
}

void Lookup::abort()
{
    if (!isBusy())
        return;
    stopReceiving(u"接続を終了しました。"_qs);
}

void Lookup::stopReceiving(const QString &status)
{
    m_connection.close();
    m_rdap.close();
    m_renderJob.cancel();
    if (m_addressLookupId >= 0)
        QHostInfo::abortHostLookup(std::exchange(m_addressLookupId, -1));
    showHopText(m_decoder.flush());
    setState(State::Stopped);
    setStatus(status);
}

void Lookup::beginAnswer()
{
    m_result.text.clear();
    emit answerStarted();
}

void Lookup::showHopText(const QString &text)
{
    if (m_keepText && !m_result.hopAnswers.isEmpty())
        m_result.hopAnswers.last() += text;
    showText(text);
}

void Lookup::showText(const QString &text)
{
    if (text.isEmpty())
        return;
    if (m_keepText)
        m_result.text += text;
    emit textArrived(text);
}

void Lookup::readForReferral(const QString &text)
{
    if (m_hopAnswer.size() < kReferralScanChars)
        m_hopAnswer +=
            QStringView(text).first(qMin(text.size(), kReferralScanChars - m_hopAnswer.size()));
}
