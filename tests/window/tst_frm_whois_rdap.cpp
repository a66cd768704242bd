#include "rdap/fixture.h"
#include "support/http_test_server.h"
#include "support/whois_test_server.h"
#include "window/find_child.h"
#include "window/frm_whois.h"
#include "window/result_view.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kTimeout = 20000;

// A main window whose whois queries go to a whois test server and whose
// RDAP requests all go to an HTTP test server, keeping their paths.
struct Window {
    QTemporaryDir dir;
    WhoisTestServer whois;
    HttpTestServer rdap;
    QStringList warnings;
    std::unique_ptr<frmWhois> window;

    Window()
    {
        window = std::make_unique<frmWhois>(WhoisRoute { whois.port(), u"127.0.0.1"_qs },
            dir.path(), RdapRoute { rdap.origin(), 30000 });
        window->setWarningPresenter([this](const QString &text) { warnings << text; });
    }

    template<typename T> T *find(const QString &name) const
    {
        return FindChild<T>(window.get(), name);
    }

    QString status() const
    {
        return find<QStatusBar>(u"stbMain"_qs)->findChild<QLabel *>()->text();
    }
    QString pane() const { return find<ResultView>(u"rtbResult"_qs)->text(); }
    QString label() const { return find<QLineEdit>(u"txtLabel"_qs)->text(); }

    // Types the key, chooses the server and presses Enter in the key box.
    void query(const QString &key, const QString &serverText)
    {
        find<QComboBox>(u"cboServer"_qs)->setEditText(serverText);
        auto *input = find<QLineEdit>(u"txtInput"_qs);
        input->clear();
        QTest::keyClicks(input, key);
        QTest::keyClick(input, Qt::Key_Return);
        waitIdle();
    }

    // Shortcuts need the window shown and active.
    void activate() const
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }

    void waitIdle() const
    {
        QTRY_VERIFY_WITH_TIMEOUT(find<QPushButton>(u"cmdOK"_qs)->isEnabled(), kTimeout);
    }
};

const QString kAuto = u"---自動選択---"_qs;
const QString kRdap = u"---RDAP---"_qs;

} // namespace

class TestFrmWhoisRdap : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("TZ", "Asia/Tokyo");
        tzset();
    }

    void answers_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("server");
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QString>("fixture");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("firstLine");

        QTest::newRow("IPv4 address on RDAP")
            << u"192.0.2.1"_qs << kRdap << QByteArray("/registry/ip/192.0.2.1")
            << u"ip_network.json"_qs << u"\"192.0.2.1\" From:RDAP[rdap.arin.net]"_qs
            << u"ハンドル: NET-192-0-2-0-1"_qs;
        QTest::newRow("AS number on RDAP")
            << u"AS4713"_qs << kRdap << QByteArray("/autnum/4713") << u"autnum.json"_qs
            << u"\"AS4713\" From:RDAP[rdap.apnic.net]"_qs << u"ハンドル: AS4713"_qs;
    }

    void answers()
    {
        QFETCH(QString, key);
        QFETCH(QString, server);
        QFETCH(QByteArray, path);
        QFETCH(QString, fixture);
        QFETCH(QString, label);
        QFETCH(QString, firstLine);
        Window w;
        w.rdap.answerJson(path, Fixture(fixture));
        w.query(key, server);

        QCOMPARE(w.warnings, QStringList());
        QCOMPARE(w.rdap.requests().size(), 1);
        QCOMPARE(w.rdap.requests().first().target, path);
        QVERIFY(w.whois.receivedRequests().isEmpty());
        QCOMPARE(w.label(), label);
        QCOMPARE(w.pane().section(u'\n', 0, 0), firstLine);
        QCOMPARE(w.status(), u"アイドル中"_qs);
    }

    void registrarLinkIsFollowedByCtrlR()
    {
        Window w;
        w.activate();
        w.rdap.answerJson("/rdap/domain/example.info", Fixture(u"domain_info.json"_qs));
        w.rdap.answerJson("/domain/example.info", Fixture(u"registrar_domain.json"_qs));
        w.query(u"example.info"_qs, kAuto);
        QVERIFY(w.whois.receivedRequests().isEmpty());
        QCOMPARE(w.label(),
            u"\"example.info\" From:自動選択[RDAP:rdap.identitydigital.services]"
            u" → RDAP:rdap.registrar.example"_qs);
        QCOMPARE(w.pane().section(u'\n', 0, 0), u"ドメイン名: example.info"_qs);
        QVERIFY(w.find<QAction>(u"mnuReferral"_qs)->isEnabled());

        QTest::keyClick(w.window.get(), Qt::Key_R, Qt::ControlModifier);
        w.waitIdle();
        QCOMPARE(w.rdap.requests().size(), 2);
        QCOMPARE(w.rdap.requests().last().target, QByteArray("/domain/example.info"));
        QCOMPARE(w.label(), u"\"example.info\" From:RDAP:rdap.registrar.example"_qs);
        QVERIFY(w.pane().contains(u"登録者\n  名前: Example Holder\n"_qs));
        QVERIFY(!w.find<QAction>(u"mnuReferral"_qs)->isEnabled());

        // Back offers the registrar's record again.
        QTest::keyClick(w.window.get(), Qt::Key_B, Qt::ControlModifier);
        QVERIFY(w.find<QAction>(u"mnuReferral"_qs)->isEnabled());
    }

    void failures_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<HttpTestAnswer>("answer");
        QTest::addColumn<QString>("warning");
        HttpTestAnswer notFound;
        notFound.status = 404;
        HttpTestAnswer malformed;
        malformed.body = R"({"objectClassName": "domain", "ldhName": )";
        QTest::newRow("404") << u"192.0.2.1"_qs << notFound
                             << u"該当するデータが見つかりません。"_qs;
        QTest::newRow("malformed JSON")
            << u"192.0.2.1"_qs << malformed << u"RDAPサーバの応答を解釈できません。"_qs;
        QTest::newRow("no RDAP service")
            << u"example.jp"_qs << HttpTestAnswer()
            << u"このキーに対応する RDAP サービスが見つかりません。"_qs;
    }

    // A failure shows its line and leaves the result of the query before.
    void failures()
    {
        QFETCH(QString, key);
        QFETCH(HttpTestAnswer, answer);
        QFETCH(QString, warning);
        Window w;
        w.activate();
        w.rdap.answerJson("/autnum/4713", Fixture(u"autnum.json"_qs));
        w.rdap.answer("/registry/ip/192.0.2.1", answer);
        w.query(u"AS4713"_qs, kRdap);
        const QString pane = w.pane();
        const QString label = w.label();

        w.query(key, kRdap);
        QCOMPARE(w.warnings, QStringList { warning });
        QCOMPARE(w.pane(), pane);
        QCOMPARE(w.label(), label);
        QCOMPARE(w.rdap.requests().size(), key == u"example.jp" ? 1 : 2);
        QVERIFY(w.find<QLineEdit>(u"txtInput"_qs)->isEnabled());
        QTest::keyClick(w.window.get(), Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(w.status(), u"戻れません。"_qs); // the failure added no record
    }
};

QTEST_MAIN(TestFrmWhoisRdap)
#include "tst_frm_whois_rdap.moc"
