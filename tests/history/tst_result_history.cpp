#include "history/result_history.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

// Random inputs are the same on every run; failures print the seed.
constexpr quint32 kSeed = 0x41570121;

// The n-th result of a walk; every field names its number, so a record shown
// from the wrong slot or with a field of another record is caught.
HistoryRecord result(int n)
{
    return { u"key %1"_qs.arg(n), u"server %1"_qs.arg(n), u"response %1"_qs.arg(n) };
}

// One action of a walk and what it must give.
struct Action {
    enum Kind { Push, Back, Forward, BackAtEnd, ForwardAtEnd, State };
    Kind kind;
    int number = 0; // Push: results to push; Back/Forward: result shown last
    int times = 1; // Back/Forward: steps, each showing the next record
    QString status {}; // BackAtEnd/ForwardAtEnd: the end message
    int count = 0; // State
    int cursor = 0; // State
};

using Walk = QList<Action>;

Action push(int results)
{
    return { .kind = Action::Push, .number = results };
}
Action back(int times, int landsOn)
{
    return { .kind = Action::Back, .number = landsOn, .times = times };
}
Action forward(int times, int landsOn)
{
    return { .kind = Action::Forward, .number = landsOn, .times = times };
}
Action backAtEnd(const QString &status)
{
    return { .kind = Action::BackAtEnd, .status = status };
}
Action forwardAtEnd()
{
    return { .kind = Action::ForwardAtEnd, .status = u"進めません。"_qs };
}
Action state(int count, int cursor)
{
    return { .kind = Action::State, .count = count, .cursor = cursor };
}

const QString kCannotGoBack = u"戻れません。"_qs;
const QString kHundredBack = u"100件以上前には戻れません"_qs;

} // namespace

// Lets QCOMPARE print the records it compares.
char *toString(const HistoryRecord &record)
{
    return QTest::toString(record.key + u" | "_qs + record.server + u" | "_qs + record.response);
}

Q_DECLARE_METATYPE(Walk)

class TestResultHistory : public QObject {
    Q_OBJECT

private slots:
    void walk_data()
    {
        QTest::addColumn<Walk>("walk");
        // The walks of fewer than 100 records are left to the random walks
        // below, which seldom step back as far as the limit.
        QTest::newRow("101 results drop the first") << Walk { push(101), state(100, 1), back(99, 2),
            state(100, 100), backAtEnd(kHundredBack), forward(99, 101), forwardAtEnd() };
        QTest::newRow("exactly 100 results")
            << Walk { push(100), back(99, 1), backAtEnd(kHundredBack), state(100, 100) };
        QTest::newRow("99 results still say cannot go back")
            << Walk { push(99), back(98, 1), backAtEnd(kCannotGoBack) };
        // Results 1-100, one Back puts 99 on screen; result 101 overwrites
        // record 100 and nothing shifts: result 1 is still the oldest.
        QTest::newRow("push after one back when full overwrites the newest")
            << Walk { push(100), back(1, 99), push(1), state(100, 1), back(1, 99), back(98, 1),
                   backAtEnd(kHundredBack) };
        QTest::newRow("push when full at the newest shifts")
            << Walk { push(100), push(1), back(99, 2), backAtEnd(kHundredBack) };
    }

    void walk()
    {
        QFETCH(Walk, walk);
        ResultHistory history;
        int pushed = 0;
        for (qsizetype i = 0; i < walk.size(); ++i) {
            const Action &action = walk[i];
            const QByteArray where = "action " + QByteArray::number(i);
            switch (action.kind) {
            case Action::Push:
                for (int n = 0; n < action.number; ++n)
                    history.pushHistory(result(++pushed));
                break;
            case Action::Back:
            case Action::Forward:
                for (int step = action.times - 1; step >= 0; --step) {
                    const bool isBack = action.kind == Action::Back;
                    const HistoryStep shown =
                        isBack ? history.historyBack() : history.historyForward();
                    const int expected = action.number + (isBack ? step : -step);
                    QVERIFY2(shown.record.has_value(), where.constData());
                    QCOMPARE(*shown.record, result(expected));
                    QCOMPARE(shown.status, u"アイドル中"_qs);
                }
                break;
            case Action::BackAtEnd:
            case Action::ForwardAtEnd: {
                const int count = history.historyCount();
                const int cursor = history.historyCursor();
                const HistoryStep refused = action.kind == Action::BackAtEnd
                    ? history.historyBack()
                    : history.historyForward();
                QVERIFY2(!refused.record.has_value(), where.constData());
                QCOMPARE(refused.status, action.status);
                QCOMPARE(history.historyCount(), count);
                QCOMPARE(history.historyCursor(), cursor);
                break;
            }
            case Action::State:
                QCOMPARE(history.historyCount(), action.count);
                QCOMPARE(history.historyCursor(), action.cursor);
                break;
            }
        }
    }

    // Random walks against a plain model: a list with the index of the record
    // on screen, the way a browser's history works, that drops its oldest
    // records beyond 100 or beyond the text cap. Every other walk has a cap
    // that a few responses of random length fill.
    void randomWalksMatchAListWithAnIndex()
    {
        QRandomGenerator random(kSeed);
        const QByteArray seedText = "seed " + QByteArray::number(kSeed);
        const auto bytesOf = [](const QList<HistoryRecord> &records) {
            qsizetype bytes = 0;
            for (const HistoryRecord &record : records)
                bytes += 2 * (record.key.size() + record.server.size() + record.response.size());
            return bytes;
        };

        for (int walk = 0; walk < 50; ++walk) {
            const qsizetype cap = walk % 2 ? 6000 : ResultHistory::kMaxTextBytes;
            ResultHistory history(cap);
            QList<HistoryRecord> model;
            qsizetype onScreen = -1;
            int pushed = 0;
            for (int action = 0; action < 600; ++action) {
                // Pushes are rarer than steps so that walks fill and also
                // reach the oldest record.
                switch (random.bounded(5)) {
                case 0:
                case 1: {
                    HistoryRecord record = result(++pushed);
                    record.response += QString(random.bounded(1000), u'x');
                    history.pushHistory(record);
                    model.resize(onScreen + 1);
                    model.append(record);
                    if (model.size() > ResultHistory::kCapacity)
                        model.removeFirst();
                    while (bytesOf(model) > cap)
                        model.removeFirst();
                    onScreen = model.size() - 1;
                    break;
                }
                case 2:
                case 3: {
                    const HistoryStep step = history.historyBack();
                    if (onScreen <= 0) {
                        QVERIFY2(!step.record, seedText.constData());
                        const QString end =
                            model.size() == ResultHistory::kCapacity ? kHundredBack : kCannotGoBack;
                        QVERIFY2(step.status == end, seedText.constData());
                    } else {
                        --onScreen;
                        QVERIFY2(step.record == model[onScreen], seedText.constData());
                        // The record shares the pushed text rather than copying it.
                        QVERIFY2(step.record->response.constData()
                                == model[onScreen].response.constData(),
                            seedText.constData());
                        QVERIFY2(step.status == u"アイドル中"_qs, seedText.constData());
                    }
                    break;
                }
                default: {
                    const HistoryStep step = history.historyForward();
                    if (onScreen < 0 || onScreen == model.size() - 1) {
                        QVERIFY2(!step.record, seedText.constData());
                        QVERIFY2(step.status == u"進めません。"_qs, seedText.constData());
                    } else {
                        ++onScreen;
                        QVERIFY2(step.record == model[onScreen], seedText.constData());
                        QVERIFY2(step.status == u"アイドル中"_qs, seedText.constData());
                    }
                }
                }
                QVERIFY2(history.textBytes() == bytesOf(model), seedText.constData());
                QVERIFY2(history.historyCount() == model.size(), seedText.constData());
                QVERIFY2(history.historyCursor() == std::max<qsizetype>(1, model.size() - onScreen),
                    seedText.constData());
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestResultHistory)
#include "tst_result_history.moc"
