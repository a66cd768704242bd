#include "fake_query_view.h"
#include "query/query_command.h"
#include "rdap/fixture.h"
#include "rdap/rdap_parser.h"
#include "rdap/rdap_text.h"
#include "selection/whois_hosts.h"
#include "serverlist/server_list.h"
#include "support/http_test_server.h"
#include "support/whois_test_server.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

namespace {

constexpr int kTimeout = 10000;
const QString kIdle = u"アイドル中"_qs;
const QString kLocalHost = u"127.0.0.1"_qs;

// The log without the two status lines of each received chunk, whose number
// depends on how TCP splits the answer.
QStringList withoutChunkStatus(const QStringList &log)
{
    QStringList kept;
    for (const QString &line : log) {
        if (!line.startsWith(u"status:データを受信"))
            kept << line;
    }
    return kept;
}

} // namespace

class TestQueryCommand : public QObject {
    Q_OBJECT

private:
    // Every query of a test goes to the test servers, whatever host is chosen.
    struct Fixture {
        WhoisTestServer server;
        HttpTestServer rdap;
        FakeQueryView view;
        QList<ServerEntry> servers = LoadServerList(u"/nonexistent-folder"_qs);
        ResultHistory history;
        QueryCommand query { view, servers, history, WhoisRoute { server.port(), kLocalHost },
            RdapRoute { rdap.origin(), 30000 } };

        // Runs a query and waits until the inputs are enabled again.
        void run(const QString &key, const QString &combo)
        {
            view.key = key;
            view.combo = combo;
            query.Whois();
            QTRY_VERIFY_WITH_TIMEOUT(!view.busy, kTimeout);
        }
    };

private slots:
    void checkInput_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("combo");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("keyAfter");
        QTest::addColumn<QString>("status");

        const QString noKey = u"IPアドレス、またはドメイン名を入力してください。"_qs;
        const QString noServer = u"whoisサーバを選択するか入力してください"_qs;
        QTest::newRow("closing bracket stays")
            << u"例」"_qs << u"h"_qs << true << u"例」"_qs << QString();
        QTest::newRow("ideographic space only")
            << u"\u3000"_qs << u"h"_qs << false << u"\u3000"_qs << noKey;
        QTest::newRow("empty server") << u"a"_qs << QString() << false << u"a"_qs << noServer;
        QTest::newRow("blank server") << u"a"_qs << u" \u3000"_qs << false << u"a"_qs << noServer;
        QTest::newRow("tab is no blank") << u"\t"_qs << u"\t"_qs << true << u"\t"_qs << QString();
    }

    void checkInput()
    {
        QFETCH(QString, key);
        QFETCH(QString, combo);
        QFETCH(bool, accepted);
        QFETCH(QString, keyAfter);
        QFETCH(QString, status);

        Fixture f;
        f.view.key = key;
        f.view.combo = combo;
        QCOMPARE(f.query.CheckInput(), accepted);
        QCOMPARE(f.view.key, keyAfter);
        QCOMPARE(f.view.status, status);
    }

    // Every key of up to five characters from letters, blanks, CRs and LFs:
    // trailing line breaks are taken off the field, a key that still holds
    // one is refused, and no other character changes.
    void lineBreaksInTheKey()
    {
        const QString alphabet = u"a \r\n"_qs;
        const QRegularExpression trailingBreaks(u"[\r\n]+$"_qs);
        const QRegularExpression blanksOnly(u"^ *$"_qs);
        QStringList keys { QString() };
        for (qsizetype at = 0; at < keys.size(); ++at) {
            if (keys[at].size() < 5) {
                for (QChar c : alphabet)
                    keys << keys[at] + c;
            }
        }
        QCOMPARE(keys.size(), 1365);
        for (const QString &key : std::as_const(keys)) {
            QString expectedKey = key;
            expectedKey.remove(trailingBreaks);
            QString expectedStatus;
            if (blanksOnly.match(expectedKey).hasMatch())
                expectedStatus = u"IPアドレス、またはドメイン名を入力してください。"_qs;
            else if (expectedKey.contains(u'\r') || expectedKey.contains(u'\n'))
                expectedStatus = u"キーに改行が含まれています。1 行で入力してください。"_qs;

            Fixture f;
            f.view.key = key;
            f.view.combo = u"h"_qs;
            const QByteArray row = QByteArray("key ") + key.toUtf8().toPercentEncoding();
            QVERIFY2(f.query.CheckInput() == expectedStatus.isEmpty(), row.constData());
            QVERIFY2(f.view.key == expectedKey, row.constData());
            QVERIFY2(f.view.status == expectedStatus, row.constData());
        }
    }

    void rejectedInputStartsNothing_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("status");
        QTest::newRow("blank") << u"  "_qs
                               << u"IPアドレス、またはドメイン名を入力してください。"_qs;
        QTest::newRow("pasted line break")
            << u"evil\r\nexample.jp"_qs
            << u"キーに改行が含まれています。1 行で入力してください。"_qs;
    }

    void rejectedInputStartsNothing()
    {
        QFETCH(QString, key);
        QFETCH(QString, status);
        Fixture f;
        f.view.pane = u"earlier answer"_qs;
        f.view.key = key;
        f.view.combo = kLocalHost;
        f.query.Whois();
        QCOMPARE(f.view.log, QStringList { u"status:"_qs + status });
        QCOMPARE(f.view.pane, u"earlier answer"_qs);
        QCOMPARE(f.server.receivedRequests().size(), 0);
    }

    // A manual query: the status lines in order, the exact request, the
    // answer in the pane, the history record and the label.
    void manualQuery()
    {
        Fixture f;
        f.server.answerWith({ "Domain: example.jp\r\n", "Status: ", "Active\r\n" });
        f.run(u" example.jp "_qs, kLocalHost);

        QCOMPARE(f.server.receivedRequests(), QByteArrayList { " example.jp \r\n" });
        QCOMPARE(f.view.pane, u"Domain: example.jp\r\nStatus: Active\r\n"_qs);
        const QString label = u"label: example.jp  | 127.0.0.1"_qs;
        QCOMPARE(withoutChunkStatus(f.view.log),
            (QStringList { u"status:whoisサーバに接続します。"_qs, u"clear"_qs, u"busy"_qs,
                u"status:接続しました。"_qs, u"status:送信中です。( 14bytes)"_qs, u"clear"_qs,
                u"status:送信完了"_qs, u"status:接続を終了します。"_qs, u"idle"_qs,
                u"status:アイドル中"_qs, u"focus"_qs, label }));

        // Each chunk: "receiving" then "received", with the same size.
        const QStringList log = f.view.log;
        qsizetype received = 0;
        for (qsizetype i = 0; i < log.size(); ++i) {
            if (!log[i].startsWith(u"status:データを受信中です。\u3000("))
                continue;
            const QString size = log[i].mid(log[i].indexOf(u'(') + 1);
            QVERIFY(size.endsWith(u"bytes)"));
            QCOMPARE(log[i + 1], u"status:データを受信しました。\u3000("_qs + size);
            received += size.chopped(6).toLongLong();
        }
        QCOMPARE(received, qsizetype(36));

        QCOMPARE(f.history.historyCount(), 1);
        QCOMPARE(f.query.serverLabel(), kLocalHost);
    }

    void requestBytes_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("request");
        QTest::newRow("ascii") << u"192.0.2.1"_qs << QByteArray("192.0.2.1\r\n");
        QTest::newRow("japanese word as code page 932")
            << u"日本 株式会社"_qs
            << QByteArray("\x93\xfa\x96\x7b \x8a\x94\x8e\xae\x89\xef\x8e\xd0\r\n");
        QTest::newRow("japanese domain name in its ASCII form")
            << u"日本.jp"_qs << QByteArray("xn--wgv71a.jp\r\n");
        QTest::newRow("japanese name under an unknown label as code page 932")
            << u"日本.invalid"_qs << QByteArray("\x93\xfa\x96\x7b.invalid\r\n");
        QTest::newRow("unmappable as question mark") << u"a€b"_qs << QByteArray("a?b\r\n");
        QTest::newRow("trailing CR LF not doubled") << u"a\r\n"_qs << QByteArray("a\r\n");
    }

    void requestBytes()
    {
        QFETCH(QString, key);
        QFETCH(QByteArray, request);
        Fixture f;
        f.server.closeWithoutData();
        f.run(key, kLocalHost);
        QCOMPARE(f.server.receivedRequests(), QByteArrayList { request });
    }

    void closeWithoutDataRecordsEmptyResponse()
    {
        Fixture f;
        f.server.closeWithoutData();
        f.view.pane = u"earlier answer"_qs;
        f.run(u"example.jp"_qs, kLocalHost);
        QCOMPARE(f.view.pane, QString());
        QCOMPARE(f.view.status, kIdle);

        f.server.answerWith({ "second" });
        f.run(u"example.com"_qs, kLocalHost);
        const HistoryStep step = f.history.HistoryBack();
        QVERIFY(step.record);
        QCOMPARE(step.record->key, u"example.jp"_qs);
        QCOMPARE(step.record->response, QString());
    }

    // An ISO-2022-JP answer decodes whichever way its server was chosen:
    // from the list, typed in any case, or automatically.
    void isoAnswerDecodesFromAnyServer_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("combo");
        QTest::addColumn<QString>("serverLabel");

        const QString jpnic = WhoisHost::JPNIC.toString();
        const QString apnic = WhoisHost::APNIC.toString();
        const QString automatic = kAutoSelectText.toString();
        QTest::newRow("JPNIC entry")
            << u"x"_qs << u"JPNIC["_qs + jpnic + u']' << u"JPNIC["_qs + jpnic + u']';
        QTest::newRow("APNIC host typed with blanks")
            << u"x"_qs << u" "_qs + apnic + u' ' << u" "_qs + apnic + u' ';
        QTest::newRow("capital letters") << u"x"_qs << jpnic.toUpper() << jpnic.toUpper();
        QTest::newRow("trailing dot") << u"x"_qs << jpnic + u'.' << jpnic + u'.';
        QTest::newRow("auto: JPNIC block")
            << u"133.1.2.3"_qs << automatic << u"自動選択["_qs + jpnic + u']';
        QTest::newRow("auto: jp name") << u"example.jp"_qs << automatic
                                       << u"自動選択["_qs + WhoisHost::DotJp.toString() + u']';
    }

    void isoAnswerDecodesFromAnyServer()
    {
        QFETCH(QString, key);
        QFETCH(QString, combo);
        QFETCH(QString, serverLabel);

        Fixture f;
        f.server.answerWith({ "\x1b$B0!\x1b(B" });
        f.run(key, combo);
        QCOMPARE(f.query.serverLabel(), serverLabel);
        QCOMPARE(f.view.pane, u"亜"_qs);
        QCOMPARE(f.history.historyCount(), 1);
    }

    void autoSelectionWithoutServer()
    {
        Fixture f;
        f.server.answerWith({ "first answer" });
        f.run(u"example.jp"_qs, kAutoSelectText.toString());
        f.view.log.clear();
        const QString labelBefore = f.view.label;

        f.view.key = u"example.invalid"_qs;
        f.query.Whois();
        QCOMPARE(f.view.log,
            (QStringList {
                u"status:whoisサーバを選択中です。"_qs, u"warning"_qs, u"status:アイドル中"_qs }));
        QCOMPARE(f.view.warnings.constLast(),
            u"自動選択リストに登録されていないアドレスです。または、書式が正しくありません。\r\n"
            "サーバを手動で選択するか、またはキーワードを入力し直してください。"_qs);
        QCOMPARE(f.view.pane, u"first answer"_qs);
        QCOMPARE(f.view.label, labelBefore);
        QCOMPARE(f.query.serverLabel(), u"自動選択["_qs + WhoisHost::DotJp.toString() + u']');
        QCOMPARE(f.server.receivedRequests().size(), 1);
    }

    void unusableHostFailsAtOnce()
    {
        Fixture f;
        f.run(u"example.jp"_qs, u"bad host!"_qs);
        QCOMPARE(f.view.log,
            (QStringList { u"status:whoisサーバに接続します。"_qs, u"clear"_qs, u"busy"_qs,
                u"idle"_qs, u"warning"_qs, u"status:アイドル中"_qs }));
        QCOMPARE(f.view.warnings,
            QStringList {
                u"サーバへの接続に失敗しました｡アドレスが正しくない可能性があります。"_qs });
        QCOMPARE(f.history.historyCount(), 0);
    }

    void refusedConnectionShowsTheSocketsText()
    {
        Fixture f;
        QueryCommand refused(f.view, f.servers, f.history,
            WhoisRoute { WhoisTestServer::refusingPort(), kLocalHost });
        f.view.key = u"example.jp"_qs;
        f.view.combo = kLocalHost;
        refused.Whois();
        QTRY_VERIFY_WITH_TIMEOUT(!f.view.busy, kTimeout);
        QCOMPARE(f.view.status, QString());
        QCOMPARE(f.view.warnings.size(), 1);
        QVERIFY(!f.view.warnings[0].isEmpty());
        QCOMPARE(f.history.historyCount(), 0);
    }

    void resetMidAnswerKeepsThePartialText()
    {
        Fixture f;
        f.server.resetAfter({ "partial " });
        f.run(u"example.jp"_qs, kLocalHost);
        QCOMPARE(f.view.status, QString());
        QCOMPARE(f.view.warnings.size(), 1);
        QCOMPARE(f.view.pane, u"partial "_qs);
        QCOMPARE(f.history.historyCount(), 0);
        QVERIFY(!f.view.log.contains(u"status:接続を終了します。"_qs));
    }

    void abort()
    {
        Fixture f;
        f.query.Abort();
        QVERIFY(f.view.log.isEmpty());

        f.server.staySilent();
        f.view.key = u"example.jp"_qs;
        f.view.combo = kLocalHost;
        f.query.Whois();
        QVERIFY(f.view.busy);
        QTRY_COMPARE_WITH_TIMEOUT(f.view.status, u"送信完了"_qs, kTimeout);
        f.query.Abort();
        QVERIFY(!f.view.busy);
        QCOMPARE(f.view.status, u"接続を終了しました。"_qs);
        QCOMPARE(f.history.historyCount(), 0);

        // Nothing more arrives from the aborted connection.
        f.view.log.clear();
        QTest::qWait(100);
        QVERIFY(f.view.log.isEmpty());
    }

    // A query cut off inside a double-byte run does not disturb the next one.
    void eachQueryStartsTheDecoderAfresh()
    {
        Fixture f;
        const QString jpnic = WhoisHost::JPNIC.toString();
        f.server.resetAfter({ "\x1b$B0" });
        f.run(u"x"_qs, jpnic);
        f.server.answerWith({ "A\x1b$B$\"\x1b(BB" });
        f.run(u"x"_qs, jpnic);
        QCOMPARE(f.view.pane, u"AあB"_qs);
    }

    void endlessAnswerStopsAt64MiB()
    {
        Fixture f;
        const QByteArray line(1023, 'x');
        f.server.setPauseBetweenWrites(0);
        f.server.streamWithoutEnd(line.repeated(64) + '\n', QueryCommand::kMaxResponseBytes * 2);
        f.run(u"example.jp"_qs, kLocalHost);
        QCOMPARE(f.view.status, u"応答が大きすぎるため受信を中止しました。(64MB)"_qs);
        QCOMPARE(f.history.historyCount(), 0);
        QVERIFY(f.view.pane.size() >= QueryCommand::kMaxResponseBytes);
        QVERIFY(f.view.pane.startsWith(QString::fromLatin1(line)));
    }

    // Outcomes of the server choice that send nothing.
    void choicesWithoutRequest_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("combo");
        QTest::addColumn<QString>("warning");
        const QString noAscii = u"ドメイン名を ASCII 形式に変換できません。"_qs;
        const QString noRdap = u"このキーに対応する RDAP サービスが見つかりません。"_qs;
        const QString automatic = kAutoSelectText.toString();
        const QString rdap = kRdapText.toString();
        QTest::newRow("no ASCII form") << QString(70, u'あ') + u".jp"_qs << automatic << noAscii;
        QTest::newRow("RDAP: no ASCII form") << QString(70, u'あ') + u".jp"_qs << rdap << noAscii;
        QTest::newRow("RDAP: .jp") << u"example.jp"_qs << rdap << noRdap;
        QTest::newRow("RDAP: private address") << u"10.1.2.3"_qs << rdap << noRdap;
        QTest::newRow("RDAP: a word") << u"example"_qs << rdap << noRdap;
        // A key of 1,025 characters, on any server, is refused before it is read.
        const QString tooLong = u"キーが長すぎます。1,024 文字以内で入力してください。"_qs;
        const QString longName = QString(1021, u'a') + u".com"_qs;
        QTest::newRow("1,025 characters") << longName << automatic << tooLong;
        QTest::newRow("1,025 characters to a chosen server")
            << longName << u"whois.example.net"_qs << tooLong;
        QTest::newRow("1,025 characters on RDAP") << longName << rdap << tooLong;
    }

    void choicesWithoutRequest()
    {
        QFETCH(QString, key);
        QFETCH(QString, combo);
        QFETCH(QString, warning);
        Fixture f;
        f.view.key = key;
        f.view.combo = combo;
        f.query.Whois();
        QCOMPARE(f.view.warnings, QStringList { warning });
        QCOMPARE(f.view.status, kIdle);
        QVERIFY(!f.view.busy);
        QTest::qWait(50);
        QCOMPARE(f.server.receivedRequests().size(), 0);
        QCOMPARE(f.rdap.requests().size(), 0);
    }

    // An RDAP query: its status lines, the pane cleared only when the answer
    // is complete, the label and the registrar's record offered.
    void rdapQuery()
    {
        Fixture f;
        const QByteArray answer = ::Fixture(u"domain_info.json"_qs);
        f.rdap.answerJson("/rdap/domain/example.info", answer);
        f.run(u"example.info"_qs, kAutoSelectText.toString());
        const QString label = u"example.info | 自動選択[RDAP:rdap.identitydigital.services]"
                              u" → RDAP:rdap.registrar.example"_qs;
        QCOMPARE(withoutChunkStatus(f.view.log),
            (QStringList { u"status:whoisサーバを選択中です。"_qs,
                u"status:RDAPサーバに接続します。"_qs, u"busy"_qs, u"status:接続しました。"_qs,
                u"clear"_qs, u"idle"_qs, u"status:アイドル中"_qs, u"focus"_qs,
                u"label:"_qs + label }));
        QVERIFY(f.view.log.contains(u"status:データを受信しました。\u3000("_qs
            + QString::number(answer.size()) + u"bytes)"_qs));
        QCOMPARE(f.view.pane, RenderRdapText(*ParseRdapRecord(answer), answer));
        QCOMPARE(f.view.referral,
            QueryTarget::Rdap(QUrl(u"https://rdap.registrar.example/domain/example.info"_qs)));
        QCOMPARE(f.history.Shown()->server, label.section(u" | "_qs, 1));
    }

    // Following the registrar's record automatically: both answers under
    // their hop lines, recorded once.
    void rdapChain()
    {
        Fixture f;
        f.query.SetFollowReferrals(true);
        const QByteArray registry = ::Fixture(u"domain_info.json"_qs);
        const QByteArray registrar = ::Fixture(u"registrar_domain.json"_qs);
        f.rdap.answerJson("/rdap/domain/example.info", registry);
        f.rdap.answerJson("/domain/example.info", registrar);
        f.run(u"example.info"_qs, kAutoSelectText.toString());

        QCOMPARE(f.rdap.requests().size(), 2);
        QCOMPARE(f.view.pane,
            u"---- RDAP:rdap.identitydigital.services ----\r\n"_qs
                + RenderRdapText(*ParseRdapRecord(registry), registry)
                + u"---- RDAP:rdap.registrar.example ----\r\n"_qs
                + RenderRdapText(*ParseRdapRecord(registrar), registrar));
        QCOMPARE(f.view.label,
            u"example.info | 自動選択[RDAP:rdap.identitydigital.services]"
            u" → RDAP:rdap.registrar.example"_qs);
        QCOMPARE(f.history.historyCount(), 1);
        QVERIFY(f.view.warnings.isEmpty());
    }

    // A registrar link whose server redirects into the user's network ends
    // the chain before that address is asked.
    void rdapChainRedirectToLoopback()
    {
        Fixture f;
        f.query.SetFollowReferrals(true);
        const QByteArray registry = ::Fixture(u"domain_info.json"_qs);
        f.rdap.answerJson("/rdap/domain/example.info", registry);
        f.rdap.redirect("/domain/example.info", "https://127.0.0.1/domain/example.info", 301);
        f.run(u"example.info"_qs, kAutoSelectText.toString());

        QCOMPARE(f.rdap.requests().size(), 2);
        QVERIFY2(f.view.pane.endsWith(u"---- RDAP:rdap.registrar.example: RDAPサーバが内部ネットワーク"
                                      u"のアドレス (127.0.0.1) への転送を求めたため中止しました。 ----\r\n"_qs),
            qPrintable(f.view.pane));
        QCOMPARE(f.history.historyCount(), 1);
        QVERIFY(f.view.warnings.isEmpty());
    }

    // Automatic following: which hops are asked, what the pane and the label
    // show, and that the chain is recorded once.
    void automaticChain_data()
    {
        QTest::addColumn<QByteArrayList>("answers");
        QTest::addColumn<QStringList>("hosts"); // the hosts asked, in order
        QTest::addColumn<QString>("offered"); // the referral left to follow by hand

        QTest::newRow("IANA, registry, registrar")
            << QByteArrayList { "refer: whois.verisign-grs.com\r\n",
                   "Registrar WHOIS Server: whois.registrar.example\r\n", "Registrant: X\r\n" }
            << QStringList { u"whois.iana.org"_qs, u"whois.verisign-grs.com"_qs,
                   u"whois.registrar.example"_qs }
            << QString();
        QTest::newRow("no host twice")
            << QByteArrayList { "refer: a.example\r\n", "refer: whois.iana.org\r\n" }
            << QStringList { u"whois.iana.org"_qs, u"a.example"_qs } << u"whois.iana.org"_qs;
        QTest::newRow("three referrals at most")
            << QByteArrayList { "refer: a.example\r\n", "refer: b.example\r\n",
                   "refer: c.example\r\n", "refer: d.example\r\n" }
            << QStringList { u"whois.iana.org"_qs, u"a.example"_qs, u"b.example"_qs,
                   u"c.example"_qs }
            << u"d.example"_qs;
        QTest::newRow("other port by hand only")
            << QByteArrayList { "refer: a.example:4343\r\n" }
            << QStringList { u"whois.iana.org"_qs } << u"a.example:4343"_qs;
        QTest::newRow("no internal address")
            << QByteArrayList { "refer: 10.0.0.1\r\n" } << QStringList { u"whois.iana.org"_qs }
            << u"10.0.0.1"_qs;
        QTest::newRow("localhost is no referral")
            << QByteArrayList { "refer: LOCALHOST\r\n" } << QStringList { u"whois.iana.org"_qs }
            << QString();
        QTest::newRow("NUL inside the host")
            << QByteArrayList { QByteArray("refer: 192.0.2.1\0 whois.iana.org\r\n", 34) }
            << QStringList { u"whois.iana.org"_qs } << QString();
        QTest::newRow("blank inside the host") << QByteArrayList { "refer: 8 :2\r\n" }
                                               << QStringList { u"whois.iana.org"_qs } << QString();
    }

    void automaticChain()
    {
        QFETCH(QByteArrayList, answers);
        QFETCH(QStringList, hosts);
        QFETCH(QString, offered);
        Fixture f;
        f.query.SetFollowReferrals(true);
        f.server.answerInTurn(answers);
        f.run(u"example.com"_qs, u"whois.iana.org"_qs);

        QCOMPARE(f.server.receivedRequests(), QByteArrayList(hosts.size(), "example.com\r\n"));
        QString pane;
        for (qsizetype i = 0; i < hosts.size(); ++i)
            pane += u"---- "_qs + hosts[i] + u" ----\r\n"_qs + QString::fromLatin1(answers[i]);
        QCOMPARE(f.view.pane, pane);
        const QString label = (QStringList(hosts) << offered).filter(u"."_qs).join(u" → "_qs);
        QCOMPARE(f.view.label, u"example.com | "_qs + label);
        QCOMPARE(f.view.referral ? f.view.referral->Display() : QString(), offered);
        QCOMPARE(f.history.historyCount(), 1);
        QCOMPARE(f.history.Shown()->response, pane);
        QVERIFY(f.view.warnings.isEmpty());
    }

    // A hop that fails ends the chain with a line; the hops before it stay.
    void failedHopEndsTheChain()
    {
        Fixture f;
        f.query.SetFollowReferrals(true);
        f.server.answerInTurn({ "refer: a.example\r\n" });
        f.server.resetAfter({});
        f.run(u"example.com"_qs, u"whois.iana.org"_qs);

        QCOMPARE(f.server.receivedRequests().size(), 2);
        const QRegularExpression pane(
            u"^---- whois\\.iana\\.org ----\r\nrefer: a\\.example\r\n"
            "---- a\\.example ----\r\n---- a\\.example: [^\r\n]+ ----\r\n$"_qs);
        QVERIFY2(pane.match(f.view.pane).hasMatch(), qPrintable(f.view.pane));
        QVERIFY(f.view.warnings.isEmpty());
        QCOMPARE(f.history.historyCount(), 1);
        QCOMPARE(f.view.label, u"example.com | whois.iana.org → a.example"_qs);
        QCOMPARE(f.view.referral, std::nullopt);
    }

    void clearEmptiesTheKeyOnly()
    {
        Fixture f;
        f.view.key = u"example.jp"_qs;
        f.view.pane = u"answer"_qs;
        f.query.Clear();
        QCOMPARE(f.view.key, QString());
        QCOMPARE(f.view.pane, u"answer"_qs);
        QCOMPARE(f.view.log, QStringList { u"key:"_qs });
    }
};

QTEST_GUILESS_MAIN(TestQueryCommand)
#include "tst_query_command.moc"
