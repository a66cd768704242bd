#include "history/result_history.h"
#include "lookup/lookup.h"
#include "rdap/fixture.h"
#include "rdap/rdap_parser.h"
#include "rdap/rdap_text.h"
#include "selection/registry_cache.h"
#include "selection/registry_data.h"
#include "selection/whois_hosts.h"
#include "support/http_test_server.h"
#include "support/whois_test_server.h"

#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

constexpr int kTimeout = 60000;
const QString kIdle = u"アイドル中"_qs;
const QString kLocalHost = u"127.0.0.1"_qs;
const QString kAutomatic = u"---自動選択---"_qs;
const QString kRdap = u"---RDAP---"_qs;
const QString kJpnicEntry = u"JPNIC["_qs + WhoisHost::kJpnic.toString() + u']';

// The server mode of a server combo text: the two special items, the JPNIC
// entry of the built-in list, or a typed host.
ServerMode ModeOf(const QString &combo)
{
    if (combo == kAutomatic)
        return ServerMode::automatic();
    if (combo == kRdap)
        return ServerMode::rdap();
    if (combo == kJpnicEntry)
        return ServerMode::listEntry(combo, WhoisHost::kJpnic.toString());
    return ServerMode::typedHost(combo);
}

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

// What a lookup reports, kept as a window would show it: the pane, the
// status line, the busy state, warnings and the result in the history.
struct Recorder {
    QString pane;
    QString status;
    QString label;
    QStringList warnings;
    bool busy = false;
    std::optional<QueryTarget> referral;
    std::optional<LookupResult> result;
    QStringList log;
    ResultHistory history;

    void watch(Lookup &lookup)
    {
        QObject::connect(&lookup, &Lookup::stateChanged, &lookup, [this](Lookup::State state) {
            if (Lookup::isBusy(state) != busy)
                log << ((busy = Lookup::isBusy(state)) ? u"busy"_qs : u"idle"_qs);
        });
        QObject::connect(&lookup, &Lookup::statusChanged, &lookup, [this](const QString &text) {
            status = text;
            log << u"status:"_qs + text;
        });
        QObject::connect(&lookup, &Lookup::answerStarted, &lookup, [this] {
            pane.clear();
            log << u"clear"_qs;
        });
        QObject::connect(&lookup, &Lookup::textArrived, &lookup,
            [this](const QString &text) { pane += text; });
        QObject::connect(&lookup, &Lookup::failed, &lookup, [this](const QString &text) {
            warnings << text;
            log << u"warning"_qs;
        });
        QObject::connect(&lookup, &Lookup::finished, &lookup, [this](const LookupResult &found) {
            result = found;
            history.pushHistory({ found.keyText, found.serverLabel, found.text, found.referral });
            label = found.keyText + u" | "_qs + found.serverLabel;
            referral = found.referral;
            log << u"label:"_qs + label;
        });
    }
};

bool Ended(Lookup::State state)
{
    return state == Lookup::State::Finished || state == Lookup::State::Failed
        || state == Lookup::State::Stopped;
}

} // namespace

class TestLookup : public QObject {
    Q_OBJECT

private:
    // Every lookup of a test goes to the test servers, whatever host is chosen.
    struct Fixture {
        WhoisTestServer server;
        HttpTestServer rdap;
        Recorder view;
        bool followReferrals = false;
        QString cacheFolder;
        std::unique_ptr<Lookup> lookup;

        Lookup &start(const QString &key, const ServerMode &mode,
            const WhoisRoute &route = {}, const RdapRoute &rdapRoute = {})
        {
            lookup = std::make_unique<Lookup>(
                route.fixedAddress.isEmpty() ? WhoisRoute { server.port(), kLocalHost } : route,
                rdapRoute.fixedOrigin.isEmpty() ? RdapRoute { rdap.origin(), 30000 } : rdapRoute);
            view.watch(*lookup);
            lookup->setRegistryCacheFolder(cacheFolder);
            lookup->start(key, mode, followReferrals);
            return *lookup;
        }
        // Runs a lookup and waits until it has ended.
        void run(const QString &key, const QString &combo) { run(key, ModeOf(combo)); }
        void run(const QString &key, const ServerMode &mode, const WhoisRoute &route = {})
        {
            start(key, mode, route);
            QTRY_VERIFY_WITH_TIMEOUT(Ended(lookup->state()), kTimeout);
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

        QCOMPARE(Lookup::withoutTrailingLineBreaks(key), keyAfter);
        Fixture f;
        f.server.staySilent();
        Lookup &lookup = f.start(key, ModeOf(combo));
        // A refused key or server says why and connects nowhere.
        QCOMPARE(f.view.log.size() == 1 && lookup.state() == Lookup::State::Failed, !accepted);
        if (!accepted)
            QCOMPARE(f.view.status, status);
        lookup.abort();
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

            Recorder view;
            Lookup lookup(WhoisRoute { WhoisTestServer::refusingPort(), kLocalHost });
            view.watch(lookup);
            lookup.start(key, ServerMode::typedHost(u"h"_qs), false);
            const QByteArray row = QByteArray("key ") + key.toUtf8().toPercentEncoding();
            const bool refused = lookup.state() == Lookup::State::Failed;
            QVERIFY2(refused != expectedStatus.isEmpty(), row.constData());
            QVERIFY2(Lookup::withoutTrailingLineBreaks(key) == expectedKey, row.constData());
            if (refused)
                QVERIFY2(view.status == expectedStatus, row.constData());
            lookup.abort();
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
        f.start(key, ModeOf(kLocalHost));
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
                u"status:接続しました。"_qs, u"status:送信中です。( 14bytes)"_qs,
                u"status:送信完了"_qs, u"status:接続を終了します。"_qs, u"idle"_qs,
                u"status:アイドル中"_qs, label }));

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

        QCOMPARE(f.view.history.historyCount(), 1);
        QCOMPARE(f.view.result->serverLabel, kLocalHost);
        QCOMPARE(f.view.result->keyText, u" example.jp "_qs);
        QCOMPARE(f.view.result->keySent, u" example.jp "_qs);
        QCOMPARE(f.view.result->hops, QList<QueryTarget> { QueryTarget::whois(kLocalHost) });
        QCOMPARE(f.view.result->text, f.view.pane);
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

    // Keys as people type and paste them, through the automatic choice: the
    // server asked, the bytes it received, and the label keeps the key as
    // typed.
    void typedKeys_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QByteArray>("request");
        const QString verisign = u"whois.verisign-grs.com"_qs;
        const QString jprs = u"whois.jprs.jp"_qs;
        const QString arin = u"whois.arin.net"_qs;
        const QString iana = u"whois.iana.org"_qs;
        const struct {
            const char *name;
            QString key;
            QString host;
            QByteArray request;
        } rows[] = {
            { "final dot", u"example.com."_qs, verisign, "example.com" },
            { "final dot, .jp", u"example.jp."_qs, jprs, "example.jp" },
            { "trailing ideographic space", u"example.com\u3000"_qs, verisign, "example.com" },
            { "full-width IPv4", u"８．８．８．８"_qs, arin, "8.8.8.8" },
            { "full-width AS", u"ＡＳ１５１６９"_qs, arin, "AS15169" },
            { "IDN top level alone", u"みんな"_qs, iana, "xn--q9jyb4c" },
            { "IPv4 prefix", u"8.8.8.8/24"_qs, arin, "8.8.8.8/24" },
            { "IPv4-mapped", u"::ffff:8.8.8.8"_qs, arin, "8.8.8.8" },
            { "6to4", u"2002:0808:0808::1"_qs, arin, "8.8.8.8" },
            { "Teredo", u"2001:0:4136:e378:8000:63bf:f7f7:f7f7"_qs, arin, "8.8.8.8" },
            { "asdot", u"AS1.1"_qs, iana, "AS65537" },
            { "URL", u"https://example.jp/path?q=1"_qs, jprs, "example.jp" },
            { "CentralNic", u"example.us.com"_qs, u"whois.centralnic.net"_qs, "example.us.com" },
            { ".za", u"example.co.za"_qs, u"whois.registry.net.za"_qs, "example.co.za" },
            { "half-width blanks as typed", u"  example.jp  "_qs, jprs, "  example.jp  " },
            { "blanks inside an address as typed", u"8 . 8 . 8 . 8"_qs, arin, "8 . 8 . 8 . 8" },
            { "company name in code page 932", u"ＡＢＣ株式会社"_qs, iana,
                "\x82\x60\x82\x61\x82\x62\x8a\x94\x8e\xae\x89\xef\x8e\xd0" },
        };
        for (const auto &row : rows)
            QTest::newRow(row.name) << row.key << row.host << row.request + "\r\n";
    }

    void typedKeys()
    {
        QFETCH(QString, key);
        QFETCH(QString, host);
        QFETCH(QByteArray, request);
        Fixture f;
        f.server.closeWithoutData();
        f.run(key, ServerMode::automatic());
        QVERIFY(f.view.result);
        QCOMPARE(f.view.result->hops, QList<QueryTarget> { QueryTarget::whois(host) });
        QCOMPARE(f.server.receivedRequests(), QByteArrayList { request });
        QCOMPARE(f.view.label, key + u" | 自動選択["_qs + host + u']');
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
        const HistoryStep step = f.view.history.historyBack();
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

        const QString jpnic = WhoisHost::kJpnic.toString();
        const QString apnic = WhoisHost::kApnic.toString();
        const QString automatic = kAutomatic;
        QTest::newRow("JPNIC entry")
            << u"x"_qs << u"JPNIC["_qs + jpnic + u']' << u"JPNIC["_qs + jpnic + u']';
        QTest::newRow("APNIC host typed with blanks")
            << u"x"_qs << u" "_qs + apnic + u' ' << u" "_qs + apnic + u' ';
        QTest::newRow("capital letters") << u"x"_qs << jpnic.toUpper() << jpnic.toUpper();
        QTest::newRow("trailing dot") << u"x"_qs << jpnic + u'.' << jpnic + u'.';
        QTest::newRow("auto: JPNIC block")
            << u"133.1.2.3"_qs << automatic << u"自動選択["_qs + jpnic + u']';
        QTest::newRow("auto: jp name") << u"example.jp"_qs << automatic
                                       << u"自動選択["_qs + WhoisHost::kDotJp.toString() + u']';
    }

    void isoAnswerDecodesFromAnyServer()
    {
        QFETCH(QString, key);
        QFETCH(QString, combo);
        QFETCH(QString, serverLabel);

        Fixture f;
        f.server.answerWith({ "\x1b$B0!\x1b(B" });
        f.run(key, combo);
        QCOMPARE(f.view.result->serverLabel, serverLabel);
        QCOMPARE(f.view.pane, u"亜"_qs);
        QCOMPARE(f.view.history.historyCount(), 1);
    }

    void autoSelectionWithoutServer()
    {
        Fixture f;
        f.server.answerWith({ "first answer" });
        f.run(u"example.jp"_qs, kAutomatic);
        f.view.log.clear();
        const QString labelBefore = f.view.label;

        f.start(u".invalid"_qs, ServerMode::automatic());
        QCOMPARE(f.view.log,
            (QStringList {
                u"status:whoisサーバを選択中です。"_qs, u"warning"_qs, u"status:アイドル中"_qs }));
        QCOMPARE(f.view.warnings.constLast(),
            u"自動選択リストに登録されていないアドレスです。または、書式が正しくありません。\r\n"
            "サーバを手動で選択するか、またはキーワードを入力し直してください。"_qs);
        QCOMPARE(f.view.pane, u"first answer"_qs);
        QCOMPARE(f.view.label, labelBefore);
        QCOMPARE(f.lookup->state(), Lookup::State::Failed);
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
        QCOMPARE(f.view.history.historyCount(), 0);
    }

    void refusedConnectionShowsTheSocketsText()
    {
        Fixture f;
        f.run(u"example.jp"_qs, ServerMode::typedHost(kLocalHost),
            WhoisRoute { WhoisTestServer::refusingPort(), kLocalHost });
        QCOMPARE(f.view.status, QString());
        QCOMPARE(f.view.warnings.size(), 1);
        QVERIFY(!f.view.warnings[0].isEmpty());
        QCOMPARE(f.view.history.historyCount(), 0);
    }

    void resetMidAnswerKeepsThePartialText()
    {
        Fixture f;
        f.server.resetAfter({ "partial " });
        f.run(u"example.jp"_qs, kLocalHost);
        QCOMPARE(f.view.status, QString());
        QCOMPARE(f.view.warnings.size(), 1);
        QCOMPARE(f.view.pane, u"partial "_qs);
        QCOMPARE(f.view.history.historyCount(), 0);
        QVERIFY(!f.view.log.contains(u"status:接続を終了します。"_qs));
    }

    void abort()
    {
        Fixture f;
        Lookup idle;
        f.view.watch(idle);
        idle.abort();
        QVERIFY(f.view.log.isEmpty());
        QCOMPARE(idle.state(), Lookup::State::Idle);

        f.server.staySilent();
        f.start(u"example.jp"_qs, ServerMode::typedHost(kLocalHost));
        QVERIFY(f.view.busy);
        QTRY_COMPARE_WITH_TIMEOUT(f.view.status, u"送信完了"_qs, kTimeout);
        f.lookup->abort();
        QCOMPARE(f.lookup->state(), Lookup::State::Stopped);
        QVERIFY(!f.view.busy);
        QCOMPARE(f.view.status, u"接続を終了しました。"_qs);
        QCOMPARE(f.view.history.historyCount(), 0);

        // Nothing more arrives from the aborted connection.
        f.view.log.clear();
        QTest::qWait(100);
        QVERIFY(f.view.log.isEmpty());
    }

    // A query cut off inside a double-byte run does not disturb the next one.
    void eachQueryStartsTheDecoderAfresh()
    {
        Fixture f;
        const QString jpnic = WhoisHost::kJpnic.toString();
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
        f.server.streamWithoutEnd(line.repeated(64) + '\n', Lookup::kMaxResponseBytes * 2);
        f.run(u"example.jp"_qs, kLocalHost);
        QCOMPARE(f.view.status, u"応答が大きすぎるため受信を中止しました。(64MB)"_qs);
        QCOMPARE(f.view.history.historyCount(), 0);
        QVERIFY(f.view.pane.size() >= Lookup::kMaxResponseBytes);
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
        const QString automatic = kAutomatic;
        const QString rdap = kRdap;
        QTest::newRow("no ASCII form") << QString(70, u'あ') + u".jp"_qs << automatic << noAscii;
        QTest::newRow("RDAP: no ASCII form") << QString(70, u'あ') + u".jp"_qs << rdap << noAscii;
        QTest::newRow("RDAP: .jp") << u"example.jp"_qs << rdap << noRdap;
        QTest::newRow("RDAP: private address") << u"10.1.2.3"_qs << rdap << noRdap;
        QTest::newRow("RDAP: a word") << u"example"_qs << rdap << noRdap;
        const QString httpOnly =
            u"このキーの RDAP サービスは暗号化なし (http) でのみ提供されているため、使用しません。"_qs;
        QTest::newRow("RDAP: .kg, http only") << u"example.kg"_qs << rdap << httpOnly;
        QTest::newRow("RDAP: .mg, http only") << u"example.mg"_qs << rdap << httpOnly;
        const QString asTooLarge =
            u"AS番号が大きすぎます。AS番号は 0 から 4294967295 まで (asdot 形式では 65535.65535 まで) です。"_qs;
        QTest::newRow("AS beyond 32 bits") << u"AS4294967296"_qs << automatic << asTooLarge;
        QTest::newRow("AS beyond 32 bits to a chosen server")
            << u"ＡＳ４２９４９６７２９６"_qs << u"whois.example.net"_qs << asTooLarge;
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
        f.start(key, ModeOf(combo));
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
        f.run(u"example.info"_qs, kAutomatic);
        const QString label = u"example.info | 自動選択[RDAP:rdap.identitydigital.services]"
                              u" → RDAP:rdap.registrar.example"_qs;
        QCOMPARE(withoutChunkStatus(f.view.log),
            (QStringList { u"status:whoisサーバを選択中です。"_qs,
                u"status:RDAPサーバに接続します。"_qs, u"busy"_qs, u"status:接続しました。"_qs,
                u"clear"_qs, u"idle"_qs, u"status:アイドル中"_qs, u"label:"_qs + label }));
        QVERIFY(f.view.log.contains(u"status:データを受信しました。\u3000("_qs
            + QString::number(answer.size()) + u"bytes)"_qs));
        QCOMPARE(f.view.pane, renderRdapText(*parseRdapRecord(answer), answer));
        QCOMPARE(f.view.referral,
            QueryTarget::rdap(QUrl(u"https://rdap.registrar.example/domain/example.info"_qs)));
        QCOMPARE(f.view.history.shown()->server, label.section(u" | "_qs, 1));
    }

    // Following the registrar's record automatically: both answers under
    // their hop lines, recorded once.
    void rdapChain()
    {
        Fixture f;
        f.followReferrals = true;
        const QByteArray registry = ::Fixture(u"domain_info.json"_qs);
        const QByteArray registrar = ::Fixture(u"registrar_domain.json"_qs);
        f.rdap.answerJson("/rdap/domain/example.info", registry);
        f.rdap.answerJson("/domain/example.info", registrar);
        f.run(u"example.info"_qs, kAutomatic);

        QCOMPARE(f.rdap.requests().size(), 2);
        QCOMPARE(f.view.pane,
            u"---- RDAP:rdap.identitydigital.services ----\r\n"_qs
                + renderRdapText(*parseRdapRecord(registry), registry)
                + u"---- RDAP:rdap.registrar.example ----\r\n"_qs
                + renderRdapText(*parseRdapRecord(registrar), registrar));
        QCOMPARE(f.view.label,
            u"example.info | 自動選択[RDAP:rdap.identitydigital.services]"
            u" → RDAP:rdap.registrar.example"_qs);
        QCOMPARE(f.view.history.historyCount(), 1);
        QVERIFY(f.view.warnings.isEmpty());
    }

    // A registrar link whose server redirects into the user's network ends
    // the chain before that address is asked.
    void rdapChainRedirectToLoopback()
    {
        Fixture f;
        f.followReferrals = true;
        const QByteArray registry = ::Fixture(u"domain_info.json"_qs);
        f.rdap.answerJson("/rdap/domain/example.info", registry);
        f.rdap.redirect("/domain/example.info", "https://127.0.0.1/domain/example.info", 301);
        f.run(u"example.info"_qs, kAutomatic);

        QCOMPARE(f.rdap.requests().size(), 2);
        QVERIFY2(f.view.pane.endsWith(u"---- RDAP:rdap.registrar.example: RDAPサーバが内部ネットワーク"
                                      u"のアドレス (127.0.0.1) への転送を求めたため中止しました。 ----\r\n"_qs),
            qPrintable(f.view.pane));
        QCOMPARE(f.view.history.historyCount(), 1);
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
        f.followReferrals = true;
        f.server.answerInTurn(answers);
        f.run(u"example.com"_qs, u"whois.iana.org"_qs);

        QCOMPARE(f.server.receivedRequests(), QByteArrayList(hosts.size(), "example.com\r\n"));
        QString pane;
        for (qsizetype i = 0; i < hosts.size(); ++i)
            pane += u"---- "_qs + hosts[i] + u" ----\r\n"_qs + QString::fromLatin1(answers[i]);
        QCOMPARE(f.view.pane, pane);
        const QString label = (QStringList(hosts) << offered).filter(u"."_qs).join(u" → "_qs);
        QCOMPARE(f.view.label, u"example.com | "_qs + label);
        QCOMPARE(f.view.referral ? f.view.referral->display() : QString(), offered);
        QCOMPARE(f.view.history.historyCount(), 1);
        QCOMPARE(f.view.history.shown()->response, pane);
        QVERIFY(f.view.warnings.isEmpty());
    }

    // A hop that fails ends the chain with a line; the hops before it stay.
    void failedHopEndsTheChain()
    {
        Fixture f;
        f.followReferrals = true;
        f.server.answerInTurn({ "refer: a.example\r\n" });
        f.server.resetAfter({});
        f.run(u"example.com"_qs, u"whois.iana.org"_qs);

        QCOMPARE(f.server.receivedRequests().size(), 2);
        const QRegularExpression pane(
            u"^---- whois\\.iana\\.org ----\r\nrefer: a\\.example\r\n"
            "---- a\\.example ----\r\n---- a\\.example: [^\r\n]+ ----\r\n$"_qs);
        QVERIFY2(pane.match(f.view.pane).hasMatch(), qPrintable(f.view.pane));
        QVERIFY(f.view.warnings.isEmpty());
        QCOMPARE(f.view.history.historyCount(), 1);
        QCOMPARE(f.view.label, u"example.com | whois.iana.org → a.example"_qs);
        QCOMPARE(f.view.referral, std::nullopt);
    }

    // A top-level label that no data knows is asked at IANA first; its
    // "whois:" line names the server asked next and remembered for later
    // lookups. Without that line IANA's answer is the result.
    void unknownTopLevelAskedAtIana_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("ianaAnswer");
        QTest::addColumn<QString>("learnt"); // the host IANA names, if any

        QTest::newRow("whois line") << u"example.dqnew"_qs
                                    << QByteArray("domain: DQNEW\r\nrefer: whois.a.example\r\n"
                                                  "whois:      Whois.Nic.DQNEW\r\n")
                                    << u"whois.nic.dqnew"_qs;
        QTest::newRow("no whois line") << u"sub.example.dqbare"_qs
                                       << QByteArray("domain: DQBARE\r\nstatus: ACTIVE\r\n")
                                       << QString();
    }

    void unknownTopLevelAskedAtIana()
    {
        QFETCH(QString, key);
        QFETCH(QByteArray, ianaAnswer);
        QFETCH(QString, learnt);
        const QTemporaryDir cache;
        const auto builtIn = qScopeGuard([] { RegistryData::use(nullptr); });
        Fixture f;
        f.cacheFolder = cache.path();
        f.server.answerInTurn({ ianaAnswer, "Domain Name: X\r\n" });
        f.run(key, kAutomatic);

        const QString topLevel = key.section(u'.', -1);
        QString pane = u"---- whois.iana.org ----\r\n"_qs + QString::fromLatin1(ianaAnswer);
        if (!learnt.isEmpty())
            pane += u"---- "_qs + learnt + u" ----\r\nDomain Name: X\r\n"_qs;
        QCOMPARE(f.view.pane, pane);
        QCOMPARE(f.server.receivedRequests(),
            QByteArrayList(learnt.isEmpty() ? 1 : 2, key.toLatin1() + "\r\n"));
        const QString label = QStringList { u"whois.iana.org"_qs, learnt }.join(u" → "_qs);
        QCOMPARE(f.view.label, key + u" | "_qs + (learnt.isEmpty() ? u"whois.iana.org"_qs : label));
        QCOMPARE(f.view.history.historyCount(), 1);
        QVERIFY(f.view.warnings.isEmpty());
        QCOMPARE(RegistryCache(cache.path()).readLearntHosts().contains(
                     (topLevel + u'\t' + learnt).toLatin1()),
            !learnt.isEmpty());

        // The next lookup goes straight to the learnt host.
        f.server.answerWith({ "again\r\n" });
        f.run(key, kAutomatic);
        QCOMPARE(f.view.label,
            key + u" | "_qs + (learnt.isEmpty() ? u"whois.iana.org"_qs : u"自動選択["_qs + learnt + u']'));
        QCOMPARE(f.server.receivedRequests().size(), learnt.isEmpty() ? 2 : 3);
    }

    // A listed server that refuses sends the lookup to IANA once; a different
    // "whois:" host replaces the listed one and is asked.
    void refusedListedServerAskedAtIana_data()
    {
        QTest::addColumn<QByteArray>("ianaAnswer");
        QTest::addColumn<QString>("asked"); // the host asked after IANA, if any
        QTest::addColumn<QString>("labelEnd"); // after IANA: the host asked or offered
        QTest::newRow("other host") << QByteArray("whois: whois.denic2.example\r\n")
                                    << u"whois.denic2.example"_qs << u" → whois.denic2.example"_qs;
        QTest::newRow("same host") << QByteArray("whois: whois.denic.de\r\n") << QString()
                                   << u" → whois.denic.de"_qs;
        QTest::newRow("no whois line") << QByteArray("domain: DE\r\n") << QString() << QString();
    }

    void refusedListedServerAskedAtIana()
    {
        QFETCH(QByteArray, ianaAnswer);
        QFETCH(QString, asked);
        QFETCH(QString, labelEnd);
        const QTemporaryDir cache;
        const auto builtIn = qScopeGuard([] { RegistryData::use(nullptr); });
        Fixture f;
        f.cacheFolder = cache.path();
        f.followReferrals = true;
        f.server.answerInTurn({ ianaAnswer, "Domain: example.de\r\n" });
        f.server.stopListening();
        f.start(u"example.de"_qs, ServerMode::automatic());
        // Only the listed host is refused: IANA is asked on the next connection.
        QObject::connect(f.lookup.get(), &Lookup::stateChanged, f.lookup.get(),
            [&f, listening = false](Lookup::State state) mutable {
                if (state == Lookup::State::FollowingReferral && !std::exchange(listening, true))
                    QVERIFY(f.server.listenAgain());
            });
        QTRY_VERIFY_WITH_TIMEOUT(Ended(f.lookup->state()), kTimeout);

        QCOMPARE(f.server.receivedRequests(),
            QByteArrayList(asked.isEmpty() ? 1 : 2, "example.de\r\n"));
        const QRegularExpression pane(u"^---- whois\\.denic\\.de: [^\r\n]+ ----\r\n"
                                      "---- whois\\.iana\\.org ----\r\n"_qs
            + QRegularExpression::escape(QString::fromLatin1(ianaAnswer))
            + (asked.isEmpty() ? QString()
                               : u"---- "_qs + QRegularExpression::escape(asked)
                       + u" ----\r\nDomain: example\\.de\r\n"_qs)
            + u'$');
        QVERIFY2(pane.match(f.view.pane).hasMatch(), qPrintable(f.view.pane));
        const QString label = u"自動選択[whois.denic.de] → whois.iana.org"_qs;
        QCOMPARE(f.view.label, u"example.de | "_qs + label + labelEnd);
        QCOMPARE(f.view.history.historyCount(), 1);
        const QByteArray learnt = RegistryCache(cache.path()).readLearntHosts();
        QCOMPARE(learnt.isEmpty(), asked.isEmpty());
        QVERIFY(asked.isEmpty() || learnt.contains("de\t" + asked.toLatin1()));
    }

    // Every server mode against each way a server can end: the final state,
    // the label, the servers asked and the text of the result.
    void modesAndOutcomes_data()
    {
        QTest::addColumn<ServerMode>("mode");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("outcome"); // answer, reset, refused, bad json, 404
        QTest::addColumn<Lookup::State>("state");
        QTest::addColumn<QString>("label"); // of a finished lookup
        QTest::addColumn<QString>("target"); // the server asked, as labels show it

        const auto rdapDomain = QueryTarget::rdap(QUrl(u"https://rdap.example/domain/a.example"_qs));
        const struct {
            const char *name;
            ServerMode mode;
            QString key;
            QString label;
            QString target;
        } modes[] = {
            { "automatic whois", ServerMode::automatic(), u"example.jp"_qs,
                u"自動選択[whois.jprs.jp]"_qs, u"whois.jprs.jp"_qs },
            { "automatic RDAP", ServerMode::automatic(), u"example.info"_qs,
                u"自動選択[RDAP:rdap.identitydigital.services]"_qs,
                u"RDAP:rdap.identitydigital.services"_qs },
            { "RDAP", ServerMode::rdap(), u"example.com"_qs, u"RDAP[rdap.verisign.com]"_qs,
                u"RDAP:rdap.verisign.com"_qs },
            { "list entry", ServerMode::listEntry(kJpnicEntry, WhoisHost::kJpnic.toString()),
                u"x"_qs, kJpnicEntry, WhoisHost::kJpnic.toString() },
            { "typed host", ServerMode::typedHost(u" Whois.Example "_qs), u"x"_qs,
                u" Whois.Example "_qs, u"Whois.Example"_qs },
            { "whois referral", ServerMode::followReferral(QueryTarget::whois(u"w.example"_qs, 4343)),
                u"x"_qs, u"w.example:4343"_qs, u"w.example:4343"_qs },
            { "RDAP referral", ServerMode::followReferral(rdapDomain), u"a.example"_qs,
                u"RDAP:rdap.example"_qs, u"RDAP:rdap.example"_qs },
        };
        for (const auto &row : modes) {
            const bool rdap = row.target.startsWith(u"RDAP:");
            const auto add = [&](const char *outcome, Lookup::State state) {
                QTest::addRow("%s, %s", row.name, outcome)
                    << row.mode << row.key << QString::fromLatin1(outcome) << state << row.label
                    << row.target;
            };
            add("answer", Lookup::State::Finished);
            add("refused", Lookup::State::Failed);
            add(rdap ? "bad json" : "reset", Lookup::State::Failed);
            if (rdap)
                add("404", Lookup::State::Failed);
        }
    }

    void modesAndOutcomes()
    {
        QFETCH(ServerMode, mode);
        QFETCH(QString, key);
        QFETCH(QString, outcome);
        QFETCH(Lookup::State, state);
        QFETCH(QString, label);
        QFETCH(QString, target);

        Fixture f;
        const QByteArray json = R"({"objectClassName":"domain","ldhName":"EXAMPLE"})";
        const QByteArray body = outcome == u"bad json" ? QByteArray("{") : json;
        for (const char *path : { "/rdap/domain/example.info", "/com/v1/domain/example.com",
                 "/domain/a.example" }) {
            if (outcome != u"404")
                f.rdap.answerJson(path, body);
        }
        if (outcome == u"reset")
            f.server.resetAfter({ "partial" });
        else
            f.server.answerWith({ "whois answer" });
        const bool refused = outcome == u"refused";
        const bool rdap = target.startsWith(u"RDAP:");
        f.start(key, mode,
            refused ? WhoisRoute { WhoisTestServer::refusingPort(), kLocalHost } : WhoisRoute {},
            refused ? RdapRoute { QUrl(u"http://127.0.0.1:"_qs
                                      + QString::number(WhoisTestServer::refusingPort())),
                          30000 }
                    : RdapRoute {});
        QTRY_VERIFY_WITH_TIMEOUT(Ended(f.lookup->state()), kTimeout);

        QCOMPARE(f.lookup->state(), state);
        QVERIFY(!f.view.busy);
        QCOMPARE(f.view.result.has_value(), state == Lookup::State::Finished);
        QCOMPARE(f.view.warnings.size(), state == Lookup::State::Failed ? 1 : 0);
        QCOMPARE(f.view.history.historyCount(), state == Lookup::State::Finished ? 1 : 0);
        if (f.view.result) {
            QCOMPARE(f.view.result->serverLabel, label);
            QCOMPARE(f.view.result->hops.size(), 1);
            QCOMPARE(f.view.result->hops[0].display(), target);
            QCOMPARE(f.view.result->keyText, key);
            const QString text = rdap
                ? renderRdapText(*parseRdapRecord(json), json)
                : u"whois answer"_qs;
            QCOMPARE(f.view.result->text, text);
            QCOMPARE(f.view.pane, text);
            QCOMPARE(f.view.status, kIdle);
        }
        if (outcome == u"reset")
            QCOMPARE(f.view.pane, u"partial"_qs);
        QCOMPARE(f.server.receivedRequests().size(), !rdap && !refused ? 1 : 0);
        QCOMPARE(f.rdap.requests().size(), rdap && !refused ? 1 : 0);
    }

    // Automatic choice and RDAP mode read a key alike: where the choice goes
    // to RDAP, RDAP mode asks the same URL, and a key that the choice finds
    // a whois server for is found by RDAP mode as well.
    void automaticAndRdapAgree_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("automatic"); // the server the choice asks
        QTest::addColumn<QByteArray>("path"); // the path RDAP mode asks

        const QString info = u"RDAP:rdap.identitydigital.services"_qs;
        const QString verisign = WhoisHost::kVeriSign.toString();
        QTest::newRow("plain") << u"example.info"_qs << info << QByteArray("/rdap/domain/example.info");
        QTest::newRow("blank before the dot")
            << u"example .info"_qs << info << QByteArray("/rdap/domain/example.info");
        QTest::newRow("capitals, blanks, final dot")
            << u" Example.INFO. "_qs << info << QByteArray("/rdap/domain/example.info");
        QTest::newRow("blank inside a label of a whois name")
            << u"example . com"_qs << verisign << QByteArray("/com/v1/domain/example.com");
        QTest::newRow("final dot of a whois name")
            << u"example.com."_qs << verisign << QByteArray("/com/v1/domain/example.com");
        const QString arin = u"whois.arin.net"_qs;
        QTest::newRow("IPv4 prefix") << u"8.8.8.8/24"_qs << arin << QByteArray("/registry/ip/8.8.8.0/24");
        QTest::newRow("IPv4 network") << u"1.1.1.0/24"_qs << u"whois.apnic.net"_qs
                                      << QByteArray("/ip/1.1.1.0/24");
        QTest::newRow("6to4 by its IPv4") << u"2002:808:808::1"_qs << arin
                                          << QByteArray("/registry/ip/8.8.8.8");
        QTest::newRow("full-width URL")
            << u"ｈｔｔｐｓ：／／ｅｘａｍｐｌｅ．ｃｏｍ／"_qs << verisign << QByteArray("/com/v1/domain/example.com");
    }

    void automaticAndRdapAgree()
    {
        QFETCH(QString, key);
        QFETCH(QString, automatic);
        QFETCH(QByteArray, path);

        Fixture f;
        f.rdap.answerJson(path, R"({"objectClassName":"domain"})");
        f.server.answerWith({ "answer" });
        f.run(key, ServerMode::automatic());
        QVERIFY(f.view.result);
        QCOMPARE(f.view.result->hops.constFirst().display(), automatic);
        f.run(key, ServerMode::rdap());
        QVERIFY(f.view.result);
        QCOMPARE(f.view.result->hops.constFirst().url.path().toUtf8(), path);
        for (const HttpTestRequest &request : f.rdap.requests())
            QCOMPARE(request.target, path);
    }
};

QTEST_GUILESS_MAIN(TestLookup)
#include "tst_lookup.moc"
