#pragma once

#include "history/result_history.h"
#include "query/response_decoder.h"
#include "query/whois_connection.h"
#include "serverlist/server_entry.h"

#include <QList>
#include <QObject>

class QueryView;

// One whois query from the Whois button to the answer on screen: checks the
// input, chooses the server, connects, sends the key, decodes and shows the
// answer as it arrives, and records the result in the history when the
// server closes the connection.
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

    bool CheckInput();
    QString GetSelectedServer() const;
    static QString AutoSelectServer(const QString &key);

    QString serverLabel() const { return m_serverLabel; }

private:
    void ConnectServer(const QString &host);
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
    QString m_serverLabel;
    qint64 m_receivedBytes = 0;
};
