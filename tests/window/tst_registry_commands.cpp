#include "rdap/fixture.h"
#include "rdap/registry_refresh.h"
#include "support/http_test_server.h"
#include "support/registry_fixture.h"
#include "support/whois_test_server.h"
#include "window/find_child.h"
#include "window/frm_whois.h"
#include "window/key_script.h"
#include "window/registry_commands.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSslConfiguration>
#include <QSslKey>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kTimeout = 20000;

// A main window whose whois queries go to a test server, with the registry
// commands of a refresh that asks an HTTPS test server, and its settings
// and cache in folders of their own.
struct Window {
    QTemporaryDir dir;
    const QSslConfiguration tls = ServerConfiguration();
    HttpTestServer iana { &tls };
    WhoisTestServer whois;
    std::unique_ptr<RegistryRefresh> refresh;
    std::unique_ptr<frmWhois> window;

    explicit Window(const QByteArray &settings)
    {
        QFile ini(dir.filePath(u"dq.ini"_qs));
        if (ini.open(QIODevice::WriteOnly))
            ini.write(settings);
        ini.close();
        for (const BootstrapFile file : kBootstrapFiles)
            iana.answerJson("/rdap/" + bootstrapFileName(file).toLatin1(), BuiltInBootstrap(file));
        whois.answerWith({ "answer\r\n" });
        refresh = std::make_unique<RegistryRefresh>(dir.filePath(u"cache"_qs),
            QUrl(iana.origin().toString() + u"/rdap/"_qs));
        window = std::make_unique<frmWhois>(WhoisRoute { whois.port(), u"127.0.0.1"_qs }, dir.path());
        window->setWarningPresenter([](const QString &text) { qWarning("warning: %s", qPrintable(text)); });
        new RegistryCommands(*window, *refresh, dir.path() + u'/');
        window->show();
        if (!QTest::qWaitForWindowActive(window.get()))
            qFatal("the main window did not become active");
    }

    ~Window()
    {
        window.reset();
        RegistryData::use(nullptr);
    }
    Window(const Window &) = delete;
    Window &operator=(const Window &) = delete;

    template<typename T> T *find(const QString &name) const
    {
        return FindChild<T>(window.get(), name);
    }
    void keys(const QString &script) const { PressKeys(window.get(), script); }

    // The result label after an automatic query of the key.
    QString queried(const QString &key) const
    {
        const qsizetype asked = whois.receivedRequests().size();
        find<QLineEdit>(u"txtInput"_qs)->clear();
        keys(u"{Alt+K} "_qs + key + u" {Return}"_qs);
        auto *ok = find<QPushButton>(u"cmdOK"_qs);
        if (!QTest::qWaitFor(
                [&] { return whois.receivedRequests().size() > asked && ok->isEnabled(); },
                kTimeout))
            return u"(no query)"_qs;
        return find<QLineEdit>(u"txtLabel"_qs)->text();
    }

    QByteArray settings() const
    {
        QFile ini(dir.filePath(u"dq.ini"_qs));
        return ini.open(QIODevice::ReadOnly) ? ini.readAll() : QByteArray();
    }
};

} // namespace

class TestRegistryCommands : public QObject {
    Q_OBJECT

    const QSslConfiguration m_saved = QSslConfiguration::defaultConfiguration();

private slots:
    void initTestCase()
    {
        QSslConfiguration trusting = m_saved;
        trusting.addCaCertificates(QSslCertificate::fromData(Fixture(u"../tls/ca.pem"_qs)));
        QSslConfiguration::setDefaultConfiguration(trusting);
    }

    void cleanupTestCase() { QSslConfiguration::setDefaultConfiguration(m_saved); }

    // The built-in copy, older than the server's, is replaced through the
    // menu of the running window, and the next lookup goes elsewhere.
    void updateNowReplacesTheBuiltInCopy()
    {
        Window w("[Domquire]\r\nRegistryAutoUpdate=0\r\n");
        const QDateTime published = QDateTime::currentDateTimeUtc().addSecs(-3600);
        w.iana.answerJson("/rdap/ipv4.json", MovedIpv4(published));
        QCOMPARE(w.queried(u"41.1.2.3"_qs), u"\"41.1.2.3\" From:自動選択[whois.afrinic.net]"_qs);
        QVERIFY(w.iana.requests().isEmpty());

        w.keys(u"{Alt+F} u"_qs);
        QMessageBox *report = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT(
            (report = w.window->findChild<QMessageBox *>(u"registryReport"_qs)), kTimeout);
        const QString text = report->text();
        QVERIFY2(text.contains(u"ipv4.json  "_qs + published.toString(u"yyyy-MM-dd"_qs)
                     + u"  キャッシュ  (更新しました)"_qs),
            qPrintable(text));
        const QDateTime builtIn = RegistryData::builtIn().info(BootstrapFile::Dns).publication;
        QVERIFY2(text.contains(u"dns.json  "_qs + builtIn.toString(u"yyyy-MM-dd"_qs)
                     + u"  組み込み  (新しいデータはありません)"_qs),
            qPrintable(text));
        QCOMPARE(w.iana.requests().size(), 4);
        PressKeys(report, u"{Return}"_qs);
        QTRY_VERIFY(!w.window->findChild<QMessageBox *>(u"registryReport"_qs));
        // The offscreen platform activates no window when the box closes.
        w.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.window.get()));

        QCOMPARE(w.queried(u"41.1.2.3"_qs), u"\"41.1.2.3\" From:自動選択[whois.ripe.net]"_qs);
    }

    // On by default, the automatic refresh asks for the stale files at
    // start and shows nothing; the check item turns it off and stores that.
    void automaticRefreshFollowsTheSetting()
    {
        Window w("[Domquire]\r\n");
        auto *automatic = w.find<QAction>(u"mnuAutoUpdateRegistry"_qs);
        QVERIFY(automatic->isChecked());
        QTRY_COMPARE_WITH_TIMEOUT(w.iana.requests().size(), 4, kTimeout);
        QTRY_VERIFY(w.find<QAction>(u"mnuUpdateRegistry"_qs)->isEnabled() && !w.refresh->isRunning());
        QVERIFY(!w.window->findChild<QMessageBox *>(u"registryReport"_qs));

        w.keys(u"{Alt+F} {Up} {Up} {Return}"_qs);
        QTRY_VERIFY(!automatic->isChecked());
        QVERIFY(w.settings().contains("RegistryAutoUpdate=0"));
        w.keys(u"{Alt+F} {Up} {Up} {Return}"_qs);
        QTRY_VERIFY(automatic->isChecked());
        QVERIFY(w.settings().contains("RegistryAutoUpdate=-1"));
        // Within the interval, turning it on asks nothing more.
        QTest::qWait(50);
        QCOMPARE(w.iana.requests().size(), 4);
    }
};

QTEST_MAIN(TestRegistryCommands)
#include "tst_registry_commands.moc"
