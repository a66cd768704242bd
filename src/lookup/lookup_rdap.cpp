// The RDAP half of a lookup: the same states, status lines and referrals as
// a whois query, with the answer rendered to text once its body is complete.

#include "lookup/lookup.h"

#include "selection/usable_host.h"
#include "rdap/rdap_referral.h"

#include <QHostInfo>

#include <algorithm>

void Lookup::connectRdap(const QueryTarget &target)
{
    setState(State::Connecting);
    m_rdap.close();
    // A server's answer chose this host; the addresses it stands for must
    // not lead into the user's own network. Tests route every host to
    // themselves.
    if (inChain() && m_rdapRoute.fixedOrigin.isEmpty()) {
        m_addressLookupId =
            QHostInfo::lookupHost(target.url.host(), this, SLOT(onAddressesFound(QHostInfo)));
        return;
    }
    getRdap();
}

void Lookup::onAddressesFound(const QHostInfo &info)
{
    if (info.lookupId() != m_addressLookupId)
        return;
    m_addressLookupId = -1;
    const QList<QHostAddress> addresses = info.addresses();
    if (addresses.isEmpty()
        || std::any_of(addresses.begin(), addresses.end(), &isInternalAddress))
        failHop(u"内部ネットワークのアドレスには自動で接続しません"_qs);
    else
        getRdap();
}

void Lookup::getRdap()
{
    // Within a chain, a server's redirect must stay on the host it named.
    const QString failure = m_rdap.get(
        m_target.url, inChain() ? RdapRedirects::SameHost : RdapRedirects::AnyPublicHost);
    if (!failure.isEmpty())
        onRdapError(failure);
}

void Lookup::onRdapData(qint64 bytes)
{
    setStatus(u"データを受信中です。\u3000("_qs + QString::number(bytes) + u"bytes)"_qs);
}

void Lookup::onRdapClosed(const QByteArray &body)
{
    // A large answer is read on a worker thread; the state stays Receiving
    // until its text is back.
    m_rdapBodyBytes = body.size();
    m_renderJob.start(body);
}

void Lookup::onRdapRendered(const RdapRendering &rendering)
{
    if (!rendering.record) {
        onRdapError(u"RDAPサーバの応答を解釈できません。"_qs);
        return;
    }
    setStatus(u"データを受信しました。\u3000("_qs + QString::number(m_rdapBodyBytes) + u"bytes)"_qs);
    if (!inChain())
        beginAnswer();
    if (m_followReferrals)
        showText(hopHeader(m_target.display()));
    showText(rendering.text);
    m_result.hopAnswers.last() = rendering.text;
    m_result.rdapRecords.append(*rendering.record);

    std::optional<QueryTarget> referral;
    if (const std::optional<QUrl> link = registrarLink(*rendering.record, m_target.url.host()))
        referral = QueryTarget::rdap(*link);
    if (m_followReferrals && followAutomatically(referral))
        return;
    finish(referral);
}

void Lookup::onRdapError(const QString &description)
{
    m_rdap.close();
    if (inChain()) {
        failHop(description);
        return;
    }
    fail(description);
}
