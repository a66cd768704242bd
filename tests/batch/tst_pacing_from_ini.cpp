#include "batch/pacing_from_ini.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace std::chrono_literals;

class TestPacingFromIni : public QObject {
    Q_OBJECT

private slots:
    // Each row: dq.ini's bytes (none for no file) and the two intervals read.
    void readsTheIntervals_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<int>("whoisMs");
        QTest::addColumn<int>("rdapMs");
        const PacingSettings defaults;
        const int whois = int(defaults.whoisInterval.count());
        const int rdap = int(defaults.rdapInterval.count());
        const auto row = [](const char *name, const QByteArray &ini, int whoisMs, int rdapMs) {
            QTest::newRow(name) << ini << whoisMs << rdapMs;
        };
        row("no file", QByteArray(), whois, rdap);
        row("valid", "[Domquire]\r\nBatchWhoisInterval=3500\r\nBatchRdapInterval=250\r\n", 3500, 250);
        row("blanks around", "[Domquire]\r\nBatchWhoisInterval =  700 \r\n", 700, rdap);
        row("missing keys", "[Domquire]\r\nFollowReferrals=-1\r\n", whois, rdap);
        row("one missing", "[Domquire]\r\nBatchRdapInterval=5\r\n", whois, 5);
        row("zero", "[Domquire]\r\nBatchWhoisInterval=0\r\nBatchRdapInterval=0\r\n", 0, 0);
        row("the largest", "[Domquire]\r\nBatchWhoisInterval=60000\r\nBatchRdapInterval=60000\r\n",
            60000, 60000);
        row("too large", "[Domquire]\r\nBatchWhoisInterval=60001\r\nBatchRdapInterval=99999\r\n",
            whois, rdap);
        row("beyond any integer",
            "[Domquire]\r\nBatchWhoisInterval=99999999999999999999\r\nBatchRdapInterval=4294967296\r\n",
            whois, rdap);
        row("negative", "[Domquire]\r\nBatchWhoisInterval=-1\r\nBatchRdapInterval=-500\r\n", whois, rdap);
        row("signed", "[Domquire]\r\nBatchWhoisInterval=+100\r\n", whois, rdap);
        row("garbage", "[Domquire]\r\nBatchWhoisInterval=fast\r\nBatchRdapInterval=1.5\r\n", whois, rdap);
        row("with a unit", "[Domquire]\r\nBatchWhoisInterval=2s\r\nBatchRdapInterval=0x10\r\n", whois, rdap);
        row("empty", "[Domquire]\r\nBatchWhoisInterval=\r\nBatchRdapInterval=\r\n", whois, rdap);
        row("other section", "[Other]\r\nBatchWhoisInterval=10\r\n", whois, rdap);
        row("full-width digits", "[Domquire]\r\nBatchWhoisInterval=\x82\x50\x82\x4F\r\n", whois, rdap);
    }
    void readsTheIntervals()
    {
        QFETCH(QByteArray, ini);
        QFETCH(int, whoisMs);
        QFETCH(int, rdapMs);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        if (!ini.isNull()) {
            QFile file(dir.filePath(u"dq.ini"_qs));
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.write(ini) == ini.size());
        }
        const PacingSettings pacing = pacingFromIni(dir.path() + u'/');
        QCOMPARE(pacing.whoisInterval, std::chrono::milliseconds(whoisMs));
        QCOMPARE(pacing.rdapInterval, std::chrono::milliseconds(rdapMs));
        // The rest of the pacing keeps its defaults.
        const PacingSettings defaults;
        QCOMPARE(pacing.rateLimitPause, defaults.rateLimitPause);
        QCOMPARE(pacing.maxHostsAtOnce, defaults.maxHostsAtOnce);
    }
};

QTEST_GUILESS_MAIN(TestPacingFromIni)
#include "tst_pacing_from_ini.moc"
