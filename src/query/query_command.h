#pragma once

#include "history/result_history.h"
#include "query/response_decoder.h"
#include "query/whois_connection.h"
#include "selection/query_target.h"
#include "serverlist/server_entry.h"

#include <QList>
#include <QObject>
#include <QStringList>

#include <optional>

class QueryView;

// One whois query from the Whois button to the answer on screen: checks the
// input, chooses the server, connects, sends the key, decodes and shows the
// answer as it arrives, and records the result in the history when the
// server closes the connection. An answer that names another whois server
// offers it as the result's referral; with automatic following on, the
// referrals are asked in turn and the chain is recorded as one result.
class QueryCommand : public QObject {
    Q_OBJECT

public:
    // Receiving stops here, so that a server that never stops sending cannot
    // fill the memory.
    static constexpr qint64 kMaxResponseBytes = qint64(64) * 1024 * 1024;

    QueryCommand(QueryView &view, const QList<ServerEntry> &servers, ResultHistory &history,
        const WhoisRoute &route = {}, QObject *parent = nullptr);

    // The Whois button.
    void Whois();
    // The Clear button: empties the key field only.
    void Clear();
    // The toolbar's abort: ends a running query, keeping what arrived.
    void Abort();

    // Asks the referral of the result on screen, for the same key.
    void FollowReferral();
    void SetFollowReferrals(bool follow) { m_followReferrals = follow; }

    bool CheckInput();
    QString GetSelectedServer() const;

    QString serverLabel() const { return m_serverLabel; }

private:
    // Starts a query of the line to the target, described by the label.
    void StartQuery(const QueryTarget &target, const QString &label, const QString &line);
    void ConnectServer(const QueryTarget &target);
    // Follows the referral within an automatic chain, if the limits allow.
    bool FollowAutomatically(const std::optional<QueryTarget> &referral);
    // Records the result on screen and shows it with its referral.
    void FinishQuery(const std::optional<QueryTarget> &referral);
    // Ends an automatic chain at a hop that failed, keeping the hops before.
    void FailHop(const QString &reason);
    bool InChain() const { return m_followed > 0; }
    void onConnected();
    void onSendProgress(qint64 bytesSent);
    void onSendComplete();
    void onDataArrival(const QByteArray &chunk);
    void onClosed();
    void onError(const QString &description);
    // Ends the query from this side and shows the text still held by the decoder.
    void stopReceiving(const QString &status);
    void showDecoded(const QString &text);

    QueryView &m_view;
    const QList<ServerEntry> &m_servers;
    ResultHistory &m_history;
    WhoisConnection sockWhois;
    ResponseDecoder m_decoder;
    const WhoisRoute m_route;
    QString m_serverLabel;
    qint64 m_receivedBytes = 0;
    QueryTarget m_target; // the server being asked
    QString m_line; // the request line, without CR LF
    QString m_hopAnswer; // the start of this server's answer, read for a referral
    bool m_followReferrals = false;
    QStringList m_asked; // the hosts of the chain so far
    int m_followed = 0; // referrals followed automatically in this chain
};
