#include "batch/pacing_scheduler.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <deque>
#include <functional>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// A lookup engine stand-in: each lookup ends after a delay with the answer
// the test chooses, and every start and end is logged with its time.
class FakeStarter : public QObject, public LookupStarter {
    Q_OBJECT

public:
    FakeStarter()
    {
        m_replyTimer.setInterval(1ms);
        connect(&m_replyTimer, &QTimer::timeout, this, &FakeStarter::replyDue);
    }

    enum class Answer { Done, Failed, RateLimited };

    struct Start {
        int row;
        QString host;
        Clock::time_point at;
    };

    PacingScheduler *scheduler = nullptr;
    std::chrono::milliseconds replyDelay = 5ms;
    bool replyAtOnce = false; // report from inside startLookup
    std::function<Answer(int row, int attempt)> answerFor = [](int, int) { return Answer::Done; };
    std::optional<std::chrono::milliseconds> retryAfter;

    QList<Start> starts;
    QHash<int, QList<Clock::time_point>> ends; // per row, one per attempt
    QList<int> cancelled;
    QHash<QString, int> busyHosts;
    int inFlight = 0;
    int mostInFlight = 0;
    bool twoOnOneHost = false;

    void startLookup(int row, const QString &, const QString &host) override
    {
        starts.append({ row, host, Clock::now() });
        mostInFlight = std::max(mostInFlight, ++inFlight);
        if (++busyHosts[host] > 1)
            twoOnOneHost = true;
        const int attempt = int(ends.value(row).size());
        const auto reply = [this, row, host, attempt] {
            --inFlight;
            --busyHosts[host];
            ends[row].append(Clock::now());
            switch (answerFor(row, attempt)) {
            case Answer::Done:
                scheduler->reportDone(row);
                break;
            case Answer::Failed:
                scheduler->reportFailed(row, u"接続できません"_qs);
                break;
            case Answer::RateLimited:
                scheduler->reportRateLimited(row, retryAfter, u"Query rate limit exceeded"_qs);
                break;
            }
        };
        if (replyAtOnce) {
            reply();
        } else {
            m_replies.push_back({ Clock::now() + replyDelay, reply });
            m_replyTimer.start();
        }
    }

    void cancelLookup(int row) override { cancelled.append(row); }

    void replyDue()
    {
        while (!m_replies.empty() && m_replies.front().due <= Clock::now()) {
            const std::function<void()> reply = m_replies.front().reply;
            m_replies.pop_front();
            reply();
        }
        if (m_replies.empty())
            m_replyTimer.stop();
    }

    QList<Start> startsOn(const QString &host) const
    {
        QList<Start> found;
        for (const Start &start : starts) {
            if (start.host == host)
                found.append(start);
        }
        return found;
    }

private:
    struct Reply {
        Clock::time_point due;
        std::function<void()> reply;
    };
    std::deque<Reply> m_replies; // in the order they fall due: one delay for all
    QTimer m_replyTimer;
};

struct Fixture {
    explicit Fixture(const PacingSettings &settings)
        : scheduler(starter, settings)
    {
        starter.scheduler = &scheduler;
    }
    FakeStarter starter;
    PacingScheduler scheduler;
    QSignalSpy done { &scheduler, &PacingScheduler::rowDone };
    QSignalSpy failed { &scheduler, &PacingScheduler::rowFailed };
    QSignalSpy retries { &scheduler, &PacingScheduler::retryScheduled };
    QSignalSpy finished { &scheduler, &PacingScheduler::finished };
};

PacingSettings shortPacing()
{
    PacingSettings settings;
    settings.whoisInterval = 60ms;
    settings.rdapInterval = 30ms;
    settings.rateLimitPause = 100ms;
    settings.maxRateLimitPause = 150ms;
    settings.maxHostsAtOnce = 2;
    return settings;
}

} // namespace

class TestPacingScheduler : public QObject {
    Q_OBJECT

private slots:
    // Three hosts, two at once: each host asks in queue order, one lookup at
    // a time, never sooner than its interval after the previous one ended.
    void pacesEachHost()
    {
        const PacingSettings settings = shortPacing();
        Fixture f(settings);
        const QStringList hosts { u"whois.a.example"_qs, u"whois.b.example"_qs, u"rdap.c.example"_qs };
        QHash<int, QString> hostOfRow;
        for (int row = 0; row < 15; ++row) {
            const QString &host = hosts[row % 3];
            hostOfRow.insert(row, host);
            f.scheduler.enqueue(row, u"key%1"_qs.arg(row), row % 3 == 0 ? host.toUpper() : host,
                host.startsWith(u"rdap") ? PacingScheduler::Protocol::Rdap : PacingScheduler::Protocol::Whois);
        }
        f.scheduler.start();
        QTRY_COMPARE_WITH_TIMEOUT(f.finished.size(), 1, 30000);

        QCOMPARE(f.starter.starts.size(), 15);
        QCOMPARE(f.done.size(), 15);
        QVERIFY(!f.starter.twoOnOneHost);
        QCOMPARE(f.starter.mostInFlight, settings.maxHostsAtOnce);
        QVERIFY(!f.scheduler.isRunning());
        for (const QString &host : hosts) {
            const auto interval = host.startsWith(u"rdap") ? settings.rdapInterval : settings.whoisInterval;
            const QList<FakeStarter::Start> starts = f.starter.startsOn(host);
            QCOMPARE(starts.size(), 5);
            for (qsizetype i = 0; i < starts.size(); ++i) {
                QCOMPARE(hostOfRow.value(starts[i].row), host);
                if (i == 0)
                    continue;
                QVERIFY2(starts[i].row > starts[i - 1].row, qPrintable(host));
                const Clock::time_point previousEnd = f.starter.ends.value(starts[i - 1].row).constLast();
                QVERIFY2(starts[i].at >= previousEnd + interval, qPrintable(host));
            }
        }
    }

    // A refused key waits for the host's rest and is asked once more; a
    // second refusal fails it. The host asks nothing else while it rests.
    void retriesARefusedKeyOnce_data()
    {
        // Milliseconds; -1 for a refusal that names no wait.
        QTest::addColumn<int>("retryAfter");
        QTest::addColumn<bool>("refusedTwice");
        QTest::addColumn<int>("rest");
        QTest::newRow("answered on retry") << 120 << false << 120;
        QTest::newRow("refused twice") << 120 << true << 120;
        QTest::newRow("no wait named: the default rest") << -1 << false << 100;
        QTest::newRow("wait beyond the most: the most") << 3600000 << false << 150;
    }

    void retriesARefusedKeyOnce()
    {
        QFETCH(int, retryAfter);
        QFETCH(bool, refusedTwice);
        QFETCH(int, rest);
        Fixture f(shortPacing());
        if (retryAfter >= 0)
            f.starter.retryAfter = std::chrono::milliseconds(retryAfter);
        f.starter.answerFor = [&](int row, int attempt) {
            return row == 1 && (attempt == 0 || refusedTwice) ? FakeStarter::Answer::RateLimited
                                                               : FakeStarter::Answer::Done;
        };
        for (int row = 0; row < 4; ++row)
            f.scheduler.enqueue(row, u"key"_qs, u"whois.a.example"_qs, PacingScheduler::Protocol::Whois);
        f.scheduler.start();
        QTRY_COMPARE_WITH_TIMEOUT(f.finished.size(), 1, 30000);

        const QList<FakeStarter::Start> starts = f.starter.startsOn(u"whois.a.example"_qs);
        QList<int> order;
        for (const FakeStarter::Start &start : starts)
            order.append(start.row);
        QCOMPARE(order, (QList<int> { 0, 1, 1, 2, 3 }));
        const Clock::time_point refusedAt = f.starter.ends.value(1).constFirst();
        QVERIFY(starts[2].at >= refusedAt + std::chrono::milliseconds(rest));
        QCOMPARE(f.retries.size(), 1);
        QCOMPARE(f.done.size(), refusedTwice ? 3 : 4);
        QCOMPARE(f.failed.size(), refusedTwice ? 1 : 0);
        if (refusedTwice) {
            QCOMPARE(f.failed.constFirst().at(0).toInt(), 1);
            QCOMPARE(f.failed.constFirst().at(1).toString(), u"Query rate limit exceeded"_qs);
            QVERIFY(starts[3].at >= f.starter.ends.value(1).constLast() + std::chrono::milliseconds(rest));
        }
    }

    void reportsFailures()
    {
        Fixture f(shortPacing());
        f.starter.answerFor = [](int row, int) {
            return row == 0 ? FakeStarter::Answer::Failed : FakeStarter::Answer::Done;
        };
        f.scheduler.enqueue(0, u"a"_qs, u"h1"_qs, PacingScheduler::Protocol::Whois);
        f.scheduler.enqueue(1, u"b"_qs, u"h1"_qs, PacingScheduler::Protocol::Whois);
        f.scheduler.start();
        QTRY_COMPARE_WITH_TIMEOUT(f.finished.size(), 1, 30000);
        QCOMPARE(f.failed.size(), 1);
        QCOMPARE(f.failed.constFirst().at(1).toString(), u"接続できません"_qs);
        QCOMPARE(f.done.size(), 1);
        QCOMPARE(f.starter.starts.size(), 2);
    }

    // A key that the reuse check answers (an address in a network an earlier
    // answer named) is never looked up; only the first key of each network is.
    void reusesEarlierAnswers()
    {
        Fixture f(shortPacing());
        const QStringList keys { u"net1-a"_qs, u"net2-a"_qs, u"net1-b"_qs, u"net1-c"_qs, u"net2-b"_qs,
            u"net3-a"_qs, u"net3-b"_qs };
        QHash<QString, int> answeredNetworks;
        const auto networkOf = [&](int row) { return keys[row].section(u'-', 0, 0); };
        f.scheduler.setReuseCheck([&](int row, const QString &key) -> std::optional<int> {
            if (key != keys[row])
                return std::nullopt;
            const auto found = answeredNetworks.constFind(networkOf(row));
            return found == answeredNetworks.constEnd() ? std::nullopt : std::optional(*found);
        });
        f.starter.answerFor = [&](int row, int) {
            answeredNetworks.insert(networkOf(row), row);
            return FakeStarter::Answer::Done;
        };
        QSignalSpy reused(&f.scheduler, &PacingScheduler::rowReused);
        for (int row = 0; row < keys.size(); ++row)
            f.scheduler.enqueue(row, keys[row], row < 5 ? u"h1"_qs : u"h2"_qs, PacingScheduler::Protocol::Whois);
        f.scheduler.start();
        QTRY_COMPARE_WITH_TIMEOUT(f.finished.size(), 1, 30000);

        QList<int> started;
        for (const FakeStarter::Start &start : std::as_const(f.starter.starts))
            started.append(start.row);
        std::sort(started.begin(), started.end());
        QCOMPARE(started, (QList<int> { 0, 1, 5 }));
        QCOMPARE(f.done.size(), 3);
        QHash<int, int> sources;
        for (const QList<QVariant> &signal : std::as_const(reused))
            sources.insert(signal.at(0).toInt(), signal.at(1).toInt());
        QCOMPARE(sources, (QHash<int, int> { { 2, 0 }, { 3, 0 }, { 4, 1 }, { 6, 5 } }));
    }

    // Stop abandons what is in flight, asks nothing more and ignores the
    // late reports of abandoned lookups.
    void stopCancelsEverything()
    {
        Fixture f(shortPacing());
        f.starter.replyDelay = 50ms;
        for (int row = 0; row < 9; ++row)
            f.scheduler.enqueue(row, u"key"_qs, u"h%1"_qs.arg(row % 3), PacingScheduler::Protocol::Whois);
        QSignalSpy started(&f.scheduler, &PacingScheduler::lookupStarted);
        f.scheduler.start();
        QCOMPARE(started.size(), 2); // two hosts at once, both ready
        f.scheduler.stop();
        QCOMPARE(f.finished.size(), 1);
        QCOMPARE(f.starter.cancelled, (QList<int> { 0, 1 }) );
        QVERIFY(!f.scheduler.isRunning());
        // The abandoned lookups end; nothing follows them.
        QTRY_VERIFY_WITH_TIMEOUT(f.starter.ends.size() == 2, 30000);
        QTest::qWait(200);
        QCOMPARE(f.starter.starts.size(), 2);
        QCOMPARE(f.done.size(), 0);
        QCOMPARE(f.finished.size(), 1);
    }

    // Each host's tally counts what ended there (a reused key too, a refused
    // key not until it ends) and what is left; a host that must wait keeps
    // the time left long. Nothing is estimated before a key ended or after
    // the run.
    void talliesEachHost()
    {
        PacingSettings settings;
        settings.whoisInterval = 60s;
        settings.rateLimitPause = 60s;
        settings.maxHostsAtOnce = 4;
        Fixture f(settings);
        f.starter.answerFor = [](int row, int) {
            return row == 3 ? FakeStarter::Answer::RateLimited : FakeStarter::Answer::Done;
        };
        f.scheduler.setReuseCheck([&f](int row, const QString &) {
            return row == 4 && !f.done.isEmpty() ? std::optional(0) : std::nullopt;
        });
        for (const int row : { 0, 4, 1, 2 })
            f.scheduler.enqueue(row, u"key"_qs, u"h1"_qs, PacingScheduler::Protocol::Whois);
        f.scheduler.enqueue(3, u"key"_qs, u"h2"_qs, PacingScheduler::Protocol::Whois);
        f.scheduler.start();
        QCOMPARE(f.starter.starts.size(), 2);
        QCOMPARE(f.scheduler.timeLeft(), std::nullopt);
        QTRY_COMPARE_WITH_TIMEOUT(f.done.size() + f.retries.size(), 2, 30000);

        const QHash<QString, HostTally> tallies = f.scheduler.hostTallies();
        QCOMPARE(tallies.size(), 2);
        QCOMPARE(tallies.value(u"h1"_qs).ended, 2);
        QCOMPARE(tallies.value(u"h1"_qs).left, 2);
        QVERIFY(tallies.value(u"h1"_qs).waitLeft > 50s);
        QCOMPARE(tallies.value(u"h2"_qs).ended, 0);
        QCOMPARE(tallies.value(u"h2"_qs).left, 1);
        QVERIFY(tallies.value(u"h2"_qs).waitLeft > 50s);
        const std::optional<std::chrono::milliseconds> left = f.scheduler.timeLeft();
        QVERIFY(left);
        QVERIFY(*left > 50s);
        f.scheduler.stop();
        QCOMPARE(f.scheduler.timeLeft(), std::nullopt);
    }

    // A starter that answers at once, from inside startLookup, without
    // pacing: every key runs, with no recursion and one finished signal.
    void answersFromInsideTheStart()
    {
        PacingSettings settings;
        settings.whoisInterval = 0ms;
        settings.rdapInterval = 0ms;
        Fixture f(settings);
        f.starter.replyAtOnce = true;
        for (int row = 0; row < 2000; ++row)
            f.scheduler.enqueue(row, u"key"_qs, u"h%1"_qs.arg(row % 7), PacingScheduler::Protocol::Whois);
        f.scheduler.start();
        QTRY_COMPARE_WITH_TIMEOUT(f.finished.size(), 1, 30000);
        QCOMPARE(f.done.size(), 2000);
        QCOMPARE(f.starter.starts.size(), 2000);
        QVERIFY(!f.starter.twoOnOneHost);
    }
};

QTEST_GUILESS_MAIN(TestPacingScheduler)
#include "tst_pacing_scheduler.moc"
