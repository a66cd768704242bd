#include "query/query_command.h"

#include "query/query_view.h"
#include "selection/blank_trim.h"
#include "selection/domain_list.h"
#include "selection/ip_list.h"
#include "selection/selection_error.h"
#include "selection/whois_hosts.h"
#include "serverlist/server_list.h"
#include "settings/code_page_932.h"

namespace {

const QString kIdle = u"アイドル中"_qs;

bool endsWithLineBreak(const QString &text)
{
    return text.endsWith(u'\r') || text.endsWith(u'\n');
}

} // namespace

QueryCommand::QueryCommand(QueryView &view, const QList<ServerEntry> &servers,
    ResultHistory &history, const WhoisRoute &route, QObject *parent)
    : QObject(parent), m_view(view), m_servers(servers), m_history(history), sockWhois(route)
{
    connect(&sockWhois, &WhoisConnection::connected, this, &QueryCommand::onConnected);
    connect(&sockWhois, &WhoisConnection::sendProgress, this,
        [this](qint64 bytesSent, qint64) { onSendProgress(bytesSent); });
    connect(&sockWhois, &WhoisConnection::sendComplete, this, &QueryCommand::onSendComplete);
    connect(&sockWhois, &WhoisConnection::dataArrival, this, &QueryCommand::onDataArrival);
    connect(&sockWhois, &WhoisConnection::closed, this, &QueryCommand::onClosed);
    connect(&sockWhois, &WhoisConnection::error, this, &QueryCommand::onError);
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

QString QueryCommand::AutoSelectServer(const QString &key)
{
    CIPList address;
    if (address.CheckIp(key))
        return address.WhoisFromIp();
    return cDomlist().WhoisFromDom(key);
}

void QueryCommand::Whois()
{
    if (!CheckInput())
        return;

    QString host;
    if (m_view.comboText() == kAutoSelectText) {
        m_view.SetStatus(u"whoisサーバを選択中です。"_qs);
        host = AutoSelectServer(TrimBlanks(m_view.keyText()));
        if (host == kSelectionError) {
            m_view.ShowWarning(
                u"自動選択リストに登録されていないアドレスです。または、書式が正しくありません。\r"
                u"\n"
                "サーバを手動で選択するか、またはキーワードを入力し直してください。"_qs);
            m_view.SetStatus(kIdle);
            return;
        }
        m_view.SetStatus(u"whoisサーバに接続します。"_qs);
        m_serverLabel = u"自動選択["_qs + host + u']';
    } else {
        m_view.SetStatus(u"whoisサーバに接続します。"_qs);
        host = TrimBlanks(GetSelectedServer());
        m_serverLabel = m_view.comboText();
    }
    m_view.clearPane();
    ConnectServer(host);
}

void QueryCommand::Clear()
{
    m_view.setKeyText(QString());
}

void QueryCommand::ConnectServer(const QString &host)
{
    m_view.EnterBusy();
    m_decoder.Reset();
    m_receivedBytes = 0;
    sockWhois.Close();
    if (!sockWhois.ConnectToHost(host)) {
        sockWhois.Close();
        m_view.LeaveBusy();
        m_view.ShowWarning(
            u"サーバへの接続に失敗しました｡アドレスが正しくない可能性があります。"_qs);
        m_view.SetStatus(kIdle);
    }
}

void QueryCommand::onConnected()
{
    m_view.SetStatus(u"接続しました。"_qs);
    sockWhois.Send(CodePage932::Encode(m_view.keyText()) + "\r\n");
}

void QueryCommand::onSendProgress(qint64 bytesSent)
{
    // The number is written with the blank that stands for a plus sign.
    m_view.SetStatus(u"送信中です。( "_qs + QString::number(bytesSent) + u"bytes)"_qs);
}

void QueryCommand::onSendComplete()
{
    m_view.clearPane();
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
    m_view.LeaveBusy();
    if (!sockWhois.IsOpen())
        m_history.PushHistory({ m_view.keyText(), m_serverLabel, m_view.paneText() });
    m_view.SetStatus(kIdle);
    m_view.focusKey();
    m_view.SetResultLabel(m_view.keyText(), m_serverLabel);
}

void QueryCommand::onError(const QString &description)
{
    sockWhois.Close();
    showDecoded(m_decoder.Flush());
    m_view.SetStatus(QString());
    m_view.ShowWarning(description);
    m_view.LeaveBusy();
}

void QueryCommand::Abort()
{
    if (!sockWhois.IsOpen())
        return;
    stopReceiving(u"接続を終了しました。"_qs);
}

void QueryCommand::stopReceiving(const QString &status)
{
    sockWhois.Close();
    showDecoded(m_decoder.Flush());
    m_view.LeaveBusy();
    m_view.SetStatus(status);
}

void QueryCommand::showDecoded(const QString &text)
{
    if (!text.isEmpty())
        m_view.appendToPane(text);
}
