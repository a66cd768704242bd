#include "rdap/fixture.h"
#include "rdap/rdap_parser.h"
#include "rdap/rdap_render_job.h"
#include "rdap/rdap_text.h"

#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>

namespace {

constexpr int kTimeoutMs = 30000;

} // namespace

class TestRdapRenderJob : public QObject {
    Q_OBJECT

private slots:
    void rendersOffTheCallersThread_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("isRdap");
        QTest::newRow("domain answer") << Fixture(u"domain_info.json"_qs) << true;
        QTest::newRow("network answer") << Fixture(u"ip_network.json"_qs) << true;
        QTest::newRow("HTML") << QByteArray("<html>Service Unavailable</html>") << false;
    }

    // The result that arrives equals rendering on the spot, and arrives on
    // the job's thread.
    void rendersOffTheCallersThread()
    {
        QFETCH(QByteArray, body);
        QFETCH(bool, isRdap);
        RdapRenderJob job;
        QThread *deliveredOn = nullptr;
        RdapRendering result;
        connect(&job, &RdapRenderJob::rendered, this, [&](const RdapRendering &rendering) {
            deliveredOn = QThread::currentThread();
            result = rendering;
        });
        job.start(body);
        QVERIFY(job.isRunning());
        QTRY_VERIFY_WITH_TIMEOUT(deliveredOn != nullptr, kTimeoutMs);
        QCOMPARE(deliveredOn, thread());
        QVERIFY(!job.isRunning());
        QCOMPARE(result.record.has_value(), isRdap);
        if (isRdap)
            QCOMPARE(result.text, renderRdapText(*parseRdapRecord(body), body));
    }

    // Starting again or cancelling drops what an earlier start would bring.
    void onlyTheLatestStartIsDelivered()
    {
        RdapRenderJob job;
        QSignalSpy spy(&job, &RdapRenderJob::rendered);
        job.start(Fixture(u"autnum.json"_qs));
        job.start(Fixture(u"ip_network.json"_qs));
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, kTimeoutMs);
        QVERIFY(QThreadPool::globalInstance()->waitForDone(kTimeoutMs));
        QCoreApplication::processEvents();
        QCOMPARE(spy.count(), 1);
        const QByteArray network = Fixture(u"ip_network.json"_qs);
        QCOMPARE(spy.first().first().value<RdapRendering>().text,
            renderRdapText(*parseRdapRecord(network), network));

        job.start(network);
        job.cancel();
        QVERIFY(!job.isRunning());
        QVERIFY(QThreadPool::globalInstance()->waitForDone(kTimeoutMs));
        QCoreApplication::processEvents();
        QCOMPARE(spy.count(), 1);
    }

    // A job destroyed while its worker runs takes the result with it.
    void destroyedWhileRendering()
    {
        QByteArray big = "{\"objectClassName\": \"domain\", \"remarks\": [";
        for (int i = 0; i < 20000; ++i)
            big += "{\"description\": [\"line\"]},";
        big += "{}]}";
        int delivered = 0;
        {
            RdapRenderJob job;
            connect(&job, &RdapRenderJob::rendered, this, [&delivered] { ++delivered; });
            job.start(big);
        }
        QVERIFY(QThreadPool::globalInstance()->waitForDone(kTimeoutMs));
        QCoreApplication::processEvents();
        QCOMPARE(delivered, 0);
    }
};

QTEST_GUILESS_MAIN(TestRdapRenderJob)
#include "tst_rdap_render_job.moc"
