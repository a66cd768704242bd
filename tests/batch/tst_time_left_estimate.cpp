#include "batch/time_left_estimate.h"

#include <QTest>

using namespace std::chrono_literals;

using Estimate = std::optional<std::chrono::milliseconds>;

class TestTimeLeftEstimate : public QObject {
    Q_OBJECT

private slots:
    void estimatesFromThePaceSoFar_data()
    {
        QTest::addColumn<int>("elapsedMs");
        QTest::addColumn<QList<HostTally>>("hosts");
        QTest::addColumn<Estimate>("expected");
        const Estimate none;
        QTest::newRow("no host") << 5000 << QList<HostTally> {} << none;
        QTest::newRow("nothing ended yet") << 5000 << QList<HostTally> { { 0, 3, 0ms } } << none;
        QTest::newRow("nothing left") << 5000 << QList<HostTally> { { 4, 0, 0ms } } << none;
        QTest::newRow("one host at its pace")
            << 10000 << QList<HostTally> { { 4, 6, 0ms } } << Estimate(15000ms);
        QTest::newRow("side by side: the host that needs longest")
            << 12000 << QList<HostTally> { { 6, 2, 0ms }, { 3, 3, 0ms } } << Estimate(12000ms);
        QTest::newRow("a host that ended all counts only for the pace")
            << 12000 << QList<HostTally> { { 2, 0, 0ms }, { 6, 1, 0ms } } << Estimate(2000ms);
        QTest::newRow("a host without an ended key at the slowest pace")
            << 12000 << QList<HostTally> { { 6, 1, 0ms }, { 2, 0, 0ms }, { 0, 2, 0ms } }
            << Estimate(12000ms);
        QTest::newRow("a host resting: the rest, then the other keys")
            << 10000 << QList<HostTally> { { 5, 3, 60000ms } } << Estimate(64000ms);
        QTest::newRow("a wait shorter than a key adds nothing")
            << 10000 << QList<HostTally> { { 5, 3, 1500ms } } << Estimate(6000ms);
        QTest::newRow("a rest of a host whose pace is unknown")
            << 9000 << QList<HostTally> { { 3, 1, 0ms }, { 0, 1, 30000ms } } << Estimate(30000ms);
        QTest::newRow("no time run yet") << 0 << QList<HostTally> { { 1, 3, 0ms } } << Estimate(0ms);
        QTest::newRow("a thousand keys")
            << 7000 << QList<HostTally> { { 7, 993, 0ms } } << Estimate(993000ms);
    }
    void estimatesFromThePaceSoFar()
    {
        QFETCH(int, elapsedMs);
        QFETCH(QList<HostTally>, hosts);
        QFETCH(Estimate, expected);
        QCOMPARE(estimateTimeLeft(std::chrono::milliseconds(elapsedMs), hosts), expected);
    }
};

QTEST_APPLESS_MAIN(TestTimeLeftEstimate)
#include "tst_time_left_estimate.moc"
