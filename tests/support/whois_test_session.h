#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>

class QTcpSocket;

// How the whois test server answers a connection.
struct WhoisTestScript {
    enum class Ending {
        Close, // close the connection in order after the chunks
        Reset, // reset the connection after the chunks
        Silent, // never answer, never close
        Stream, // write streamChunk again and again, then close
    };

    QList<QByteArray> chunks;
    Ending ending = Ending::Close;
    QByteArray streamChunk;
    qint64 streamLimit = 0; // the stream closes after this many bytes
    bool answerBeforeRequest = false;
    int pauseMs = 10; // between two writes, after the first has gone out
};

// One connection of the whois test server: collects the request, and once
// it holds CR LF (or at once, when the script says so) answers it. The
// answer ends (closes, resets, ...) only after the request has arrived.
class WhoisTestSession : public QObject {
    Q_OBJECT

public:
    WhoisTestSession(QTcpSocket *socket, const WhoisTestScript &script, QObject *parent);

signals:
    void received(QByteArray bytes);
    void finished(); // once, when the connection is gone

private:
    void OnReadyRead();
    void OnBytesWritten();
    void Start();
    void WriteNext();
    void End();
    void Finish();

    QTcpSocket *m_socket;
    const WhoisTestScript m_script;
    QByteArray m_request;
    bool m_requestComplete = false;
    bool m_started = false;
    bool m_chunksDone = false;
    qsizetype m_nextChunk = 0;
    qint64 m_streamed = 0;
    bool m_finished = false;
};
