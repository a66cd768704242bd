#include "query/query_command.h"

#include "query/query_view.h"
#include "query/referral.h"
#include "query/referral_policy.h"
#include "query/usable_host.h"
#include "selection/blank_trim.h"
#include "selection/server_choice.h"
#include "serverlist/server_list.h"
#include "settings/code_page_932.h"

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

} // namespace

QueryCommand::QueryCommand(QueryView &view, const QList<ServerEntry> &servers,
    ResultHistory &history, const WhoisRoute &route, const RdapRoute &rdapRoute, QObject *parent)
    : QObject(parent), m_view(view), m_servers(servers), m_history(history), sockWhois(route),
      m_route(route), m_rdap(rdapRoute), m_rdapRoute(rdapRoute)
{
    connect(&sockWhois, &WhoisConnection::connected, this, &QueryCommand::onConnected);
    connect(&sockWhois, &WhoisConnection::sendProgress, this,
        [this](qint64 bytesSent, qint64) { onSendProgress(bytesSent); });
    connect(&sockWhois, &WhoisConnection::sendComplete, this, &QueryCommand::onSendComplete);
    connect(&sockWhois, &WhoisConnection::dataArrival, this, &QueryCommand::onDataArrival);
    connect(&sockWhois, &WhoisConnection::closed, this, &QueryCommand::onClosed);
    connect(&sockWhois, &WhoisConnection::error, this, &QueryCommand::onError);
    connect(&m_rdap, &RdapConnection::connected, this,
        [this] { m_view.SetStatus(u"接続しました。"_qs); });
    connect(&m_rdap, &RdapConnection::dataArrival, this, &QueryCommand::onRdapData);
    connect(&m_rdap, &RdapConnection::closed, this, &QueryCommand::onRdapClosed);
    connect(&m_rdap, &RdapConnection::error, this, &QueryCommand::onRdapError);
}

QString QueryCommand::ConnectingStatus(const QueryTarget &target)
{
    return target.protocol == QueryTarget::Protocol::Rdap ? u"RDAPサーバに接続します。"_qs
                                                          : u"whoisサーバに接続します。"_qs;
}

QString QueryCommand::HopHeader(const QString &server)
{
    return u"---- "_qs + server + u" ----\r\n"_qs;
}

bool QueryCommand::CheckInput()
{
    QString key = m_view.keyText();
    while (endsWithLineBreak(key))
        key.chop(1);
    if (key != m_view.keyText())
        m_view.setKeyText(key);

    if (TrimBlanks(key).isEmpty()) {
        m_view.SetStatus(u"IPアドレス、またはドメイン名を入力してください。"_qs);
        return false;
    }
    // The key goes to the server as one request line; a line break inside it
    // would send further requests that the user never sees.
    if (holdsLineBreak(key)) {
        m_view.SetStatus(u"キーに改行が含まれています。1 行で入力してください。"_qs);
        return false;
    }
    if (TrimBlanks(m_view.comboText()).isEmpty()) {
        m_view.SetStatus(u"whoisサーバを選択するか入力してください"_qs);
        return false;
    }
    return true;
}

QString QueryCommand::GetSelectedServer() const
{
    return ::GetSelectedServer(m_servers, m_view.comboText());
}

void QueryCommand::Whois()
{
    if (!CheckInput())
        return;

    const QueryKey key = ReadQueryKey(m_view.keyText());
    const bool automatic = m_view.comboText() == kAutoSelectText;
    if (automatic)
        m_view.SetStatus(u"whoisサーバを選択中です。"_qs);
    if (key.noAsciiForm || key.tooLong) {
        m_view.ShowWarning(key.tooLong
                ? u"キーが長すぎます。1,024 文字以内で入力してください。"_qs
                : u"ドメイン名を ASCII 形式に変換できません。"_qs);
        m_view.SetStatus(kIdle);
        return;
    }
    if (m_view.comboText() == kRdapText) {
        QueryRdap(key, u"RDAP["_qs);
        return;
    }
    if (!automatic) {
        m_view.SetStatus(u"whoisサーバに接続します。"_qs);
        StartQuery(
            QueryTarget::Whois(TrimBlanks(GetSelectedServer())), m_view.comboText(), key.line);
        return;
    }

    const ServerChoice choice = AutoSelectServer(key);
    switch (choice.outcome) {
    case ServerChoice::Outcome::Whois:
        m_view.SetStatus(u"whoisサーバに接続します。"_qs);
        StartQuery(choice.target, u"自動選択["_qs + choice.target.host + u']', key.line);
        return;
    case ServerChoice::Outcome::RdapOnly:
        QueryRdap(key, u"自動選択[RDAP:"_qs);
        return;
    case ServerChoice::Outcome::NoServer:
    case ServerChoice::Outcome::NoAsciiForm:
        m_view.ShowWarning(
            u"自動選択リストに登録されていないアドレスです。または、書式が正しくありません。\r"
            u"\n"
            "サーバを手動で選択するか、またはキーワードを入力し直してください。"_qs);
        break;
    }
    m_view.SetStatus(kIdle);
}

void QueryCommand::FollowReferral()
{
    const std::optional<HistoryRecord> shown = m_history.Shown();
    if (IsRunning() || !shown || !shown->referral)
        return;
    const QueryKey key = ReadQueryKey(shown->key);
    if (key.noAsciiForm || key.tooLong)
        return;
    m_view.setKeyText(shown->key);
    m_view.SetStatus(ConnectingStatus(*shown->referral));
    StartQuery(*shown->referral, shown->referral->Display(), key.line);
}

void QueryCommand::Clear()
{
    m_view.setKeyText(QString());
}

void QueryCommand::StartQuery(const QueryTarget &target, const QString &label, const QString &line)
{
    m_serverLabel = label;
    m_line = line;
    m_asked = QStringList { target.host };
    m_followed = 0;
    // An RDAP query keeps what the pane showed until its answer is complete.
    if (target.protocol == QueryTarget::Protocol::Whois)
        m_view.clearPane();
    ConnectServer(target);
}

void QueryCommand::ConnectServer(const QueryTarget &target)
{
    if (target.protocol == QueryTarget::Protocol::Rdap) {
        ConnectRdap(target);
        return;
    }
    m_target = target;
    m_view.EnterBusy();
    m_decoder.Reset();
    m_receivedBytes = 0;
    m_hopAnswer.clear();
    sockWhois.Close();
    if (sockWhois.ConnectToHost(target.host, target.port))
        return;
    sockWhois.Close();
    if (InChain()) {
        FailHop(u"接続できません"_qs);
        return;
    }
    m_view.LeaveBusy();
    m_view.ShowWarning(u"サーバへの接続に失敗しました｡アドレスが正しくない可能性があります。"_qs);
    m_view.SetStatus(kIdle);
}

void QueryCommand::onConnected()
{
    // A server's answer chose this host; the address it stands for must not
    // lead into the user's own network. Tests route every host to themselves.
    if (InChain() && m_route.fixedAddress.isEmpty()
        && IsInternalAddress(sockWhois.PeerAddress())) {
        sockWhois.Close();
        FailHop(u"内部ネットワークのアドレスには自動で接続しません"_qs);
        return;
    }
    m_view.SetStatus(u"接続しました。"_qs);
    sockWhois.Send(CodePage932::Encode(m_line) + "\r\n");
}

void QueryCommand::onSendProgress(qint64 bytesSent)
{
    // The number is written with the blank that stands for a plus sign.
    m_view.SetStatus(u"送信中です。( "_qs + QString::number(bytesSent) + u"bytes)"_qs);
}

void QueryCommand::onSendComplete()
{
    if (!InChain())
        m_view.clearPane();
    if (m_followReferrals)
        m_view.appendToPane(HopHeader(m_target.Display()));
    m_view.SetStatus(u"送信完了"_qs);
}

void QueryCommand::onDataArrival(const QByteArray &chunk)
{
    const QString size = QString::number(chunk.size()) + u"bytes)"_qs;
    m_view.SetStatus(u"データを受信中です。\u3000("_qs + size);
    showDecoded(m_decoder.Decode(chunk));
    m_view.SetStatus(u"データを受信しました。\u3000("_qs + size);

    m_receivedBytes += chunk.size();
    if (m_receivedBytes >= kMaxResponseBytes)
        stopReceiving(u"応答が大きすぎるため受信を中止しました。(64MB)"_qs);
}

void QueryCommand::onClosed()
{
    showDecoded(m_decoder.Flush());
    m_view.SetStatus(u"接続を終了します。"_qs);
    sockWhois.Close();
    const std::optional<QueryTarget> referral = FindReferral(m_hopAnswer, m_target);
    if (m_followReferrals && FollowAutomatically(referral))
        return;
    FinishQuery(referral);
}

bool QueryCommand::FollowAutomatically(const std::optional<QueryTarget> &referral)
{
    if (!referral || !ReferralPolicy::MayFollow(*referral, m_asked, m_followed))
        return false;
    ++m_followed;
    m_asked.append(referral->host);
    m_serverLabel += u" → "_qs + referral->Display();
    m_view.SetStatus(ConnectingStatus(*referral));
    ConnectServer(*referral);
    return true;
}

void QueryCommand::FinishQuery(const std::optional<QueryTarget> &referral)
{
    const QString label =
        referral ? m_serverLabel + u" → "_qs + referral->Display() : m_serverLabel;
    m_view.LeaveBusy();
    if (!sockWhois.IsOpen())
        m_history.PushHistory({ m_view.keyText(), label, m_view.paneText(), referral });
    m_view.SetStatus(kIdle);
    m_view.focusKey();
    m_view.SetResultLabel(m_view.keyText(), label);
    m_view.SetReferral(referral);
}

void QueryCommand::FailHop(const QString &reason)
{
    showDecoded(m_decoder.Flush());
    m_view.appendToPane(u"---- "_qs + m_target.Display() + u": "_qs + reason + u" ----\r\n"_qs);
    FinishQuery(std::nullopt);
}

void QueryCommand::onError(const QString &description)
{
    sockWhois.Close();
    if (InChain()) {
        FailHop(description);
        return;
    }
    showDecoded(m_decoder.Flush());
    m_view.SetStatus(QString());
    m_view.ShowWarning(description);
    m_view.LeaveBusy();
}

void QueryCommand::Abort()
{
    if (!IsRunning())
        return;
    stopReceiving(u"接続を終了しました。"_qs);
}

void QueryCommand::stopReceiving(const QString &status)
{
    sockWhois.Close();
    m_rdap.Close();
    if (m_lookupId >= 0)
        QHostInfo::abortHostLookup(std::exchange(m_lookupId, -1));
    showDecoded(m_decoder.Flush());
    m_view.LeaveBusy();
    m_view.SetStatus(status);
}

void QueryCommand::showDecoded(const QString &text)
{
    if (text.isEmpty())
        return;
    m_view.appendToPane(text);
    if (m_hopAnswer.size() < kReferralScanChars)
        m_hopAnswer +=
            QStringView(text).first(qMin(text.size(), kReferralScanChars - m_hopAnswer.size()));
}
