// The RDAP half of the query command: the same busy state, status lines,
// history and referrals as a whois query, with the answer rendered to text
// once its body is complete.

#include "query/query_command.h"

#include "query/query_view.h"
#include "query/referral_policy.h"
#include "query/usable_host.h"
#include "rdap/rdap_lookup.h"
#include "rdap/rdap_parser.h"
#include "rdap/rdap_referral.h"
#include "rdap/rdap_text.h"

#include <QHostInfo>

#include <algorithm>

void QueryCommand::QueryRdap(const QueryKey &key, const QString &labelPrefix)
{
    const std::optional<QUrl> url = FindRdapUrl(key);
    if (!url) {
        m_view.ShowWarning(u"このキーに対応する RDAP サービスが見つかりません。"_qs);
        m_view.SetStatus(kIdle);
        return;
    }
    const QueryTarget target = QueryTarget::Rdap(*url);
    m_view.SetStatus(ConnectingStatus(target));
    StartQuery(target, labelPrefix + url->host() + u']', key.line);
}

void QueryCommand::ConnectRdap(const QueryTarget &target)
{
    m_target = target;
    m_view.EnterBusy();
    m_rdap.Close();
    // A server's answer chose this host; the addresses it stands for must
    // not lead into the user's own network. Tests route every host to
    // themselves.
    if (InChain() && m_rdapRoute.fixedOrigin.isEmpty()) {
        m_lookupId = QHostInfo::lookupHost(target.url.host(), this, [this](const QHostInfo &info) {
            if (info.lookupId() != m_lookupId)
                return;
            m_lookupId = -1;
            const QList<QHostAddress> addresses = info.addresses();
            if (addresses.isEmpty()
                || std::any_of(
                    addresses.begin(), addresses.end(), &IsInternalAddress))
                FailHop(u"内部ネットワークのアドレスには自動で接続しません"_qs);
            else
                GetRdap();
        });
        return;
    }
    GetRdap();
}

void QueryCommand::GetRdap()
{
    // Within a chain, a server's redirect must stay on the host it named.
    const QString failure = m_rdap.Get(
        m_target.url, InChain() ? RdapRedirects::SameHost : RdapRedirects::AnyPublicHost);
    if (!failure.isEmpty())
        onRdapError(failure);
}

void QueryCommand::onRdapData(qint64 bytes)
{
    m_view.SetStatus(u"データを受信中です。\u3000("_qs + QString::number(bytes) + u"bytes)"_qs);
}

void QueryCommand::onRdapClosed(const QByteArray &body)
{
    const std::optional<RdapRecord> record = ParseRdapRecord(body);
    if (!record) {
        onRdapError(u"RDAPサーバの応答を解釈できません。"_qs);
        return;
    }
    m_view.SetStatus(
        u"データを受信しました。\u3000("_qs + QString::number(body.size()) + u"bytes)"_qs);
    if (!InChain())
        m_view.clearPane();
    if (m_followReferrals)
        m_view.appendToPane(HopHeader(m_target.Display()));
    m_view.appendToPane(RenderRdapText(*record, body));

    std::optional<QueryTarget> referral;
    if (const std::optional<QUrl> link = RegistrarLink(*record, m_target.url.host()))
        referral = QueryTarget::Rdap(*link);
    if (m_followReferrals && FollowAutomatically(referral))
        return;
    FinishQuery(referral);
}

void QueryCommand::onRdapError(const QString &description)
{
    m_rdap.Close();
    if (InChain()) {
        FailHop(description);
        return;
    }
    m_view.SetStatus(QString());
    m_view.ShowWarning(description);
    m_view.LeaveBusy();
}
