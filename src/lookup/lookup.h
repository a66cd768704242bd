#pragma once

#include "lookup/lookup_result.h"
#include "lookup/server_mode.h"
#include "query/response_decoder.h"
#include "query/whois_connection.h"
#include "rdap/rdap_connection.h"
#include "rdap/rdap_render_job.h"
#include "selection/query_key.h"
#include "selection/query_target.h"

#include <QHostInfo>
#include <QObject>
#include <QStringList>

#include <optional>

// One lookup of one key, from the key as typed to the answer as text,
// without any widget: checks the key, chooses the server once, connects,
// sends the key, decodes the answer as it arrives and, with following on,
// asks the referrals the answers name within ReferralPolicy's limits. A key
// whose registry runs no port-43 server, or any key in RDAP mode, is asked
// over RDAP instead, and its answer rendered to text once complete.
// A domain whose top-level label no data knows, or whose listed server cannot
// be reached, is asked at IANA, whose "whois:" line names the server to ask
// next; the host is remembered in the registry cache folder.
// It reports progress as signals and ends in finished() with the result, in
// failed() with the reason to show, or in the Stopped state. Each lookup
// owns its connections, so any number can run at once.
class Lookup : public QObject {
    Q_OBJECT

public:
    enum class State {
        Idle, // not started
        Choosing, // reading the key and choosing the server
        Connecting,
        Sending, // whois: the key is on its way
        Receiving,
        FollowingReferral, // an answer named the next server of the chain
        Finished, // finished() has the result
        Failed, // failed() had the reason, or the key was refused
        Stopped, // aborted, or the answer grew too large
    };
    Q_ENUM(State)
    // Whether a lookup in this state holds a connection or waits for one.
    static bool isBusy(State state);

    // Receiving stops here, so that a server that never stops sending cannot
    // fill the memory.
    static constexpr qint64 kMaxResponseBytes = qint64(64) * 1024 * 1024;

    // The key box text without the line breaks that end it.
    static QString withoutTrailingLineBreaks(QString keyText);

    // Every connection goes where the routes say: tests route every host to
    // their own servers.
    explicit Lookup(const WhoisRoute &route = {}, const RdapRoute &rdapRoute = {},
        QObject *parent = nullptr);

    // Where hosts learnt from IANA are remembered (RegistryCache); none keeps
    // them for this lookup only.
    void setRegistryCacheFolder(const QString &folder) { m_cacheFolder = folder; }
    // Without the answer's text in the result: for a caller that keeps what
    // textArrived gave it, so that a large answer is held once, not three
    // times (the text and each hop's answer).
    void setKeepText(bool keep) { m_keepText = keep; }

    // Runs the lookup of the key (as typed) on the server mode. Once only.
    void start(const QString &keyText, const ServerMode &server, bool followReferrals);
    // Ends a running lookup, keeping what arrived.
    void abort();

    State state() const { return m_state; }
    bool isBusy() const { return isBusy(m_state); }
    // The HTTP status and Retry-After header of the last RDAP answer, once
    // it is in (0 and empty before), for callers that pace their lookups.
    int rdapStatus() const { return m_rdap.answerStatus(); }
    QByteArray rdapRetryAfter() const { return m_rdap.answerHeader("Retry-After"); }

signals:
    void stateChanged(Lookup::State state);
    void statusChanged(const QString &text);
    // A new answer begins: what showed the last one is to be emptied.
    void answerStarted();
    void textArrived(const QString &text);
    void finished(const LookupResult &result);
    void failed(const QString &reason);

private:
    static inline const QString kIdle = u"アイドル中"_qs;
    static QString connectingStatus(const QueryTarget &target);
    // The line above each server's answer when referrals are followed.
    static QString hopHeader(const QString &server);

    void setState(State state);
    void setStatus(const QString &text) { emit statusChanged(text); }
    // Refuses a key or server that cannot be asked, with the status saying why.
    bool checkInput(const QString &keyText, const ServerMode &server);
    void chooseAndStart(const QueryKey &key, const ServerMode &server);
    // Refuses the lookup with a warning, before any connection.
    void refuse(const QString &warning);

    // Starts a query of the key's line to the target, described by the label.
    void startQuery(const QueryTarget &target, const QString &label);
    void connectServer(const QueryTarget &target);
    // Follows the referral within an automatic chain, if the limits allow.
    bool followAutomatically(const std::optional<QueryTarget> &referral);
    // Asks IANA for the server of a top-level label, as the first hop.
    void askIanaFirst(const QString &topLevel);
    // Asks IANA once after the listed server of the top-level label failed to
    // connect; false when that was done already or the server was not listed.
    bool askIanaAfterFailure(const QString &reason);
    // Follows the "whois:" line of IANA's answer, remembering its host.
    bool followIanaWhois();
    // Ends with the result gathered, offering the referral.
    void finish(const std::optional<QueryTarget> &referral);
    // Ends an automatic chain at a hop that failed, keeping the hops before.
    void failHop(const QString &reason);
    // Ends a lookup that failed outside a chain, keeping the text that arrived.
    void fail(const QString &reason);
    bool inChain() const { return m_followed > 0; }
    void onConnected();
    void onSendProgress(qint64 bytesSent);
    void onSendComplete();
    void onDataArrival(const QByteArray &chunk);
    void onClosed();
    void onError(const QString &description);
    // Ends the lookup from this side and shows the text still held by the decoder.
    void stopReceiving(const QString &status);
    void beginAnswer();
    // Adds text to the answer.
    void showText(const QString &text);
    // Adds text of the server's own answer, kept apart for this hop too.
    void showHopText(const QString &text);
    // Keeps the start of this server's answer, where referrals stand.
    void readForReferral(const QString &text);

    // RDAP (lookup_rdap.cpp).
    void connectRdap(const QueryTarget &target);
    void getRdap();
    void onRdapData(qint64 bytes);
    void onRdapClosed(const QByteArray &body);
    void onRdapRendered(const RdapRendering &rendering);
    void onRdapError(const QString &description);

    State m_state = State::Idle;
    WhoisConnection m_connection;
    ResponseDecoder m_decoder;
    const WhoisRoute m_route;
    RdapConnection m_rdap;
    RdapRenderJob m_renderJob; // reads a complete RDAP body off this thread
    qint64 m_rdapBodyBytes = 0;
    const RdapRoute m_rdapRoute;
    int m_addressLookupId = -1; // the address lookup of an RDAP referral under way
    bool m_followReferrals = false;
    LookupResult m_result;
    qint64 m_receivedBytes = 0;
    QueryTarget m_target; // the server being asked
    QString m_hopAnswer; // the start of this server's answer, read for a referral
    QStringList m_asked; // the hosts of the chain so far
    int m_followed = 0; // referrals followed automatically in this chain
    bool m_hopHeaders = false; // each server's answer under a line naming it
    QString m_cacheFolder;
    bool m_keepText = true;
    QString m_listedTopLevel; // the label whose listed server is being asked
    QString m_ianaTopLevel; // the label whose server IANA is being asked for

private slots: // NOLINT(readability-redundant-access-specifiers): the section moc reads
    // The addresses of an RDAP referral's host, checked before connecting.
    void onAddressesFound(const QHostInfo &info);
};
