#include "support/active_accessibility.h"
#include "window/active_result_view.h"
#include "window/result_view.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>

namespace {

// What the update handler saw of the view's text events: the type, the
// position (or the selection's start) and the selection's end or the
// inserted text.
struct SeenEvent {
    QAccessible::Event type;
    int position;
    int end;
    QString text;
};

QList<SeenEvent> g_events;

void recordEvent(QAccessibleEvent *event)
{
    if (const auto *insert = dynamic_cast<QAccessibleTextInsertEvent *>(event))
        g_events.append({ event->type(), insert->changePosition(), -1, insert->textInserted() });
    else if (const auto *selection = dynamic_cast<QAccessibleTextSelectionEvent *>(event))
        g_events.append(
            { event->type(), selection->selectionStart(), selection->selectionEnd(), {} });
    else if (const auto *cursor = dynamic_cast<QAccessibleTextCursorEvent *>(event))
        g_events.append({ event->type(), cursor->cursorPosition(), -1, {} });
    else if (qobject_cast<ResultView *>(event->object()))
        g_events.append({ event->type(), -1, -1, {} });
}

QList<SeenEvent> seen(QAccessible::Event type)
{
    QList<SeenEvent> events;
    std::copy_if(g_events.cbegin(), g_events.cend(), std::back_inserter(events),
        [type](const SeenEvent &event) { return event.type == type; });
    return events;
}

// The view with its accessible interface.
struct View : ActiveResultView {
    using ActiveResultView::ActiveResultView;

    QAccessibleInterface *accessible() { return QAccessible::queryAccessibleInterface(&view); }
    QAccessibleTextInterface *text() { return accessible()->textInterface(); }
};

const QStringList kAnswer { u"Domain: EXAMPLE.jp\r\n登録者: 例 ｅｘａｍｐｌｅ\r"_qs,
    u"\n\r\nName\u00a0Server:\tns.example.jp\u2028x\n"_qs, u"last"_qs };
const QString kText = kAnswer.join(QString());

} // namespace

class TestResultViewAccessible : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QAccessible::installUpdateHandler(recordEvent);
        QVERIFY(ActivateAccessibility());
    }

    void init() { g_events.clear(); }

    // A read-only editable text named "結果", as a read-only text box is.
    void roleNameAndState()
    {
        View v(kAnswer);
        QCOMPARE(v.accessible()->role(), QAccessible::EditableText);
        QCOMPARE(v.accessible()->text(QAccessible::Name), u"結果"_qs);
        QVERIFY(v.accessible()->state().readOnly && v.accessible()->state().focused);
        QCOMPARE(v.text()->characterCount(), kText.size());
    }

    // Random ranges and lines of a multi-megabyte answer of Latin and
    // Japanese lines ending in CR LF, LF and CR, read through the text
    // interface, are those of the text as it arrived.
    void rangesOfLargeAnswer()
    {
        const quint32 seed = 2424;
        QRandomGenerator random(seed);
        const QStringList values { u"EXAMPLE.COM"_qs, u"株式会社 例示 ｅｘａｍｐｌｅ"_qs,
            u"東京都千代田区𠀋"_qs, QString() };
        const QStringList ends { u"\r\n"_qs, u"\n"_qs, u"\r"_qs };
        QString answer;
        QList<int> lineStarts { 0 };
        View v;
        while (answer.size() < 3'000'000) {
            // A line ending in CR is followed by one that does not start with LF.
            const QString line = u"[登録者名]\t"_qs + values[random.bounded(values.size())]
                + QString::number(random.generate()) + ends[random.bounded(ends.size())];
            v.view.appendText(line);
            answer += line;
            lineStarts.append(static_cast<int>(answer.size()));
        }
        QAccessibleTextInterface *text = v.text();
        QVERIFY(text->text(0, text->characterCount()) == answer);
        const auto lineAround = [&](int offset) {
            if (offset < 0 || offset >= answer.size())
                return std::pair(-1, -1);
            const auto next = std::upper_bound(lineStarts.cbegin(), lineStarts.cend(), offset);
            return std::pair(*(next - 1), *next);
        };
        for (int round = 0; round < 2000; ++round) {
            const int start = random.bounded(static_cast<int>(answer.size()));
            const int end = start + random.bounded(std::min<int>(3000, answer.size() - start));
            const QString where = u"seed %1, offsets %2 to %3"_qs.arg(seed).arg(start).arg(end);
            QVERIFY2(
                text->text(start, end) == answer.sliced(start, end - start), qPrintable(where));
            std::pair<int, int> line;
            std::pair<int, int> before;
            std::pair<int, int> after;
            const QString lineText =
                text->textAtOffset(start, QAccessible::LineBoundary, &line.first, &line.second);
            text->textBeforeOffset(start, QAccessible::LineBoundary, &before.first, &before.second);
            text->textAfterOffset(start, QAccessible::LineBoundary, &after.first, &after.second);
            QVERIFY2(line == lineAround(start)
                    && lineText == answer.sliced(line.first, line.second - line.first)
                    && before == lineAround(line.first - 1) && after == lineAround(line.second),
                qPrintable(where));
        }
    }

    // The caret and the selection after real key presses, as the text
    // interface reports them and as the last events told.
    void caretAndSelectionAfterKeys_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<qsizetype>("caret");
        QTest::addColumn<qsizetype>("anchor");
        const qsizetype lineEnd = kText.indexOf(u"ｌｅ\r\n"_qs) + 2;
        QTest::newRow("Down End") << u"Down End"_qs << lineEnd << lineEnd;
        QTest::newRow("Shift+Left twice")
            << u"Down End Shift+Left Shift+Left"_qs << lineEnd - 2 << lineEnd;
        QTest::newRow("Shift+Right over CR LF")
            << u"End Shift+Right"_qs << kText.indexOf(u'登') << kText.indexOf(u'\r');
        QTest::newRow("Ctrl+End Shift+Home")
            << u"Ctrl+End Shift+Home"_qs << kText.size() - 4 << kText.size();
        QTest::newRow("Ctrl+A") << u"Down Ctrl+A"_qs << kText.size() << qsizetype(0);
        QTest::newRow("selection dropped") << u"Shift+Down Left"_qs << qsizetype(0) << qsizetype(0);
    }

    void caretAndSelectionAfterKeys()
    {
        QFETCH(QString, keys);
        QFETCH(qsizetype, caret);
        QFETCH(qsizetype, anchor);
        View v(kAnswer);
        g_events.clear();
        for (const QString &name : keys.split(u' ')) {
            const QKeyCombination key = QKeySequence::fromString(name)[0];
            QTest::keyClick(&v.view, key.key(), key.keyboardModifiers());
        }
        const auto [start, end] = std::minmax(caret, anchor);
        QAccessibleTextInterface *text = v.text();
        std::pair<int, int> selection { -1, -1 };
        text->selection(0, &selection.first, &selection.second);
        QCOMPARE(text->cursorPosition(), caret);
        QCOMPARE(text->selectionCount(), start == end ? 0 : 1);
        QVERIFY((start == end || selection == std::pair<int, int>(start, end)));

        const QList<SeenEvent> moves = seen(QAccessible::TextCaretMoved);
        QVERIFY(!moves.isEmpty());
        QCOMPARE(moves.last().position, caret);
        const QList<SeenEvent> selections = seen(QAccessible::TextSelectionChanged);
        QVERIFY(start == end
                ? selections.isEmpty() || selections.last().position == selections.last().end
                : selections.last().position == start && selections.last().end == end);
    }

    // An answer arriving in 120 pieces is announced in a few events, the
    // first while it still arrives, which together insert it exactly;
    // clearing the view tells of the change.
    void streamingAnnouncedCoalesced()
    {
        View v;
        QString whole;
        QTimer arrival;
        int announcedWhileArriving = 0;
        connect(&arrival, &QTimer::timeout, this, [&] {
            const QString piece = kAnswer[whole.size() % 3] + QString::number(whole.size());
            v.view.appendText(piece);
            whole += piece;
            if (whole.size() > 4000) {
                arrival.stop();
                announcedWhileArriving = static_cast<int>(seen(QAccessible::TextInserted).size());
            }
        });
        QElapsedTimer elapsed;
        elapsed.start();
        arrival.start(10);
        QTRY_VERIFY_WITH_TIMEOUT(!arrival.isActive(), 60000);
        const auto inserted = [] {
            QString text;
            for (const SeenEvent &event : seen(QAccessible::TextInserted))
                text += event.position == text.size() ? event.text : u"<gap>"_qs;
            return text;
        };
        QTRY_COMPARE(inserted(), whole);
        const auto events = seen(QAccessible::TextInserted).size();
        QVERIFY(announcedWhileArriving >= 1);
        // At most four a second, and one for the last piece.
        QVERIFY2(events <= elapsed.elapsed() / 250 + 2,
            qPrintable(u"%1 events in %2 ms"_qs.arg(events).arg(elapsed.elapsed())));

        v.view.clear();
        QCOMPARE(seen(QAccessible::TextUpdated).size(), 1);
        QCOMPARE(v.text()->characterCount(), 0);
    }

    // Each character of the lines on screen has a rectangle, and a point
    // just inside it finds the character again; a line scrolled out of view
    // has none.
    void characterRectsOnScreen()
    {
        View v(kAnswer);
        QAccessibleTextInterface *text = v.text();
        for (int offset = 0; offset < kText.size() - 4; ++offset) {
            const QChar c = kText[offset];
            if (c.isLowSurrogate() || c == u'\r' || c == u'\n' || c == u'\t')
                continue;
            const QRect rect = text->characterRect(offset);
            const QPoint inside(rect.left() + rect.width() / 4, rect.center().y());
            QVERIFY2(!rect.isNull() && text->offsetAtPoint(inside) == offset,
                qPrintable(u"offset %1"_qs.arg(offset)));
        }
        View many(QStringList(200, u"line\r\n"_qs));
        QTest::keyClick(&many.view, Qt::Key_End, Qt::ControlModifier);
        QVERIFY(many.text()->characterRect(0).isNull());
        QVERIFY(!many.text()->characterRect(many.text()->characterCount() - 3).isNull());
    }
};

QTEST_MAIN(TestResultViewAccessible)
#include "tst_result_view_accessible.moc"
