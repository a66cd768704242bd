#include "support/active_accessibility.h"
#include "window/result_view.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>

namespace {

// What the update handler saw of one event.
struct SeenEvent {
    QAccessible::Event type;
    QObject *object;
    int position = -1;
    int end = -1;
    QString text;
};

QList<SeenEvent> g_events;

void recordEvent(QAccessibleEvent *event)
{
    SeenEvent seen { event->type(), event->object(), -1, -1, {} };
    switch (event->type()) {
    case QAccessible::TextInserted: {
        const auto *insert = static_cast<QAccessibleTextInsertEvent *>(event);
        seen.position = insert->changePosition();
        seen.text = insert->textInserted();
        break;
    }
    case QAccessible::TextCaretMoved:
        seen.position = static_cast<QAccessibleTextCursorEvent *>(event)->cursorPosition();
        break;
    case QAccessible::TextSelectionChanged: {
        const auto *selection = static_cast<QAccessibleTextSelectionEvent *>(event);
        seen.position = selection->selectionStart();
        seen.end = selection->selectionEnd();
        break;
    }
    case QAccessible::NameChanged:
        seen.text = event->accessibleInterface()->text(QAccessible::Name);
        break;
    default:
        break;
    }
    g_events.append(seen);
}

QList<SeenEvent> eventsOf(QObject *object, QAccessible::Event type)
{
    QList<SeenEvent> events;
    for (const SeenEvent &event : std::as_const(g_events)) {
        if (event.object == object && event.type == type)
            events.append(event);
    }
    return events;
}

// A result view of its own as an active window, holding the given text.
struct View {
    mutable ResultView view;

    explicit View(const QStringList &pieces = {})
    {
        view.resize(400, 200);
        for (const QString &piece : pieces)
            view.appendText(piece);
        view.show();
        view.activateWindow();
        if (!QTest::qWaitForWindowActive(&view))
            qFatal("the view did not become active");
        view.setFocus(Qt::OtherFocusReason);
    }

    QAccessibleInterface *accessible() const
    {
        return QAccessible::queryAccessibleInterface(&view);
    }
    QAccessibleTextInterface *text() const { return accessible()->textInterface(); }

    void press(const QStringList &keys) const
    {
        for (const QString &name : keys) {
            const QKeyCombination key = QKeySequence::fromString(name)[0];
            QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
        }
    }
};

const QStringList kAnswer { u"Domain: EXAMPLE.jp\r\n登録者: 例 ｅｘａｍｐｌｅ\r"_qs,
    u"\n\r\nName\u00a0Server:\tns.example.jp\u2028x\n"_qs, u"last"_qs };
const QString kText = kAnswer.join(QString());

// A multi-megabyte answer of Latin and Japanese lines, a surrogate pair
// among them, ending in CR LF, LF or CR, and where each line starts.
struct LargeAnswer {
    QString text;
    QList<qsizetype> lineStarts { 0 };

    explicit LargeAnswer(QRandomGenerator &random)
    {
        const QStringList values { u"EXAMPLE.COM"_qs, u"株式会社 例示 ｅｘａｍｐｌｅ"_qs,
            u"ns1.example.jp"_qs, u"東京都千代田区𠀋"_qs, QString() };
        const QStringList ends { u"\r\n"_qs, u"\n"_qs, u"\r"_qs };
        while (text.size() < 3'000'000) {
            text += u"[登録者名]\t"_qs + values[random.bounded(values.size())]
                + QString::number(random.generate()) + ends[random.bounded(ends.size())];
            // A CR followed by the next line's LF would make one line end.
            if (text.endsWith(u'\r'))
                text += u"\n"_qs;
            lineStarts.append(text.size());
        }
    }

    // The line around the offset with its line end.
    std::pair<qsizetype, qsizetype> lineAround(qsizetype offset) const
    {
        const auto next = std::upper_bound(lineStarts.begin(), lineStarts.end(), offset);
        return { *(next - 1), next == lineStarts.end() ? text.size() : *next };
    }
};

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

    // A read-only editable text named "結果", as a reader expects of a
    // read-only text box, with its text interface.
    void roleNameAndState()
    {
        View v(kAnswer);
        QAccessibleInterface *accessible = v.accessible();
        QCOMPARE(accessible->role(), QAccessible::EditableText);
        QCOMPARE(accessible->text(QAccessible::Name), u"結果"_qs);
        QVERIFY(accessible->state().readOnly);
        QVERIFY(accessible->state().focused);
        QVERIFY(accessible->state().multiLine);
        QVERIFY(v.text());
        QCOMPARE(v.text()->characterCount(), kText.size());
    }

    // Ranges and lines of a multi-megabyte answer read through the text
    // interface are those of the text as it arrived, at random places.
    void rangesOfLargeAnswer()
    {
        const quint32 seed = 2424;
        QRandomGenerator random(seed);
        const LargeAnswer answer(random);
        View v;
        for (qsizetype at = 0; at < answer.text.size(); at += 65536)
            v.view.appendText(QStringView(answer.text)
                                  .sliced(at, std::min<qsizetype>(65536, answer.text.size() - at)));
        QAccessibleTextInterface *text = v.text();
        QCOMPARE(text->characterCount(), answer.text.size());
        QVERIFY(text->text(0, text->characterCount()) == answer.text);

        const auto size = static_cast<int>(answer.text.size());
        for (int round = 0; round < 2000; ++round) {
            const int start = random.bounded(size + 1);
            const int end = std::min(size, start + random.bounded(3000));
            const QString where = u"seed %1, offsets %2 to %3"_qs.arg(seed).arg(start).arg(end);
            QVERIFY2(text->text(start, end) == answer.text.sliced(start, end - start),
                qPrintable(where));

            int lineStart = -1;
            int lineEnd = -1;
            const QString line =
                text->textAtOffset(start, QAccessible::LineBoundary, &lineStart, &lineEnd);
            const auto [expectedStart, expectedEnd] = answer.lineAround(start);
            QVERIFY2(lineStart == expectedStart && lineEnd == expectedEnd
                    && line == answer.text.sliced(lineStart, lineEnd - lineStart),
                qPrintable(where));
            int nextStart = -1;
            int nextEnd = -1;
            text->textAfterOffset(start, QAccessible::LineBoundary, &nextStart, &nextEnd);
            using Range = std::pair<qsizetype, qsizetype>;
            const Range next = expectedEnd < size ? answer.lineAround(expectedEnd) : Range(-1, -1);
            QVERIFY2(Range(nextStart, nextEnd) == next, qPrintable(where));
            int previousStart = -1;
            int previousEnd = -1;
            text->textBeforeOffset(start, QAccessible::LineBoundary, &previousStart, &previousEnd);
            const Range previous =
                expectedStart > 0 ? answer.lineAround(expectedStart - 1) : Range(-1, -1);
            QVERIFY2(Range(previousStart, previousEnd) == previous, qPrintable(where));
        }
    }

    // The caret and the selection after real key presses, as the text
    // interface reports them and as the last events told.
    void caretAndSelectionAfterKeys_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<qsizetype>("caret");
        QTest::addColumn<qsizetype>("anchor");
        const qsizetype secondLineEnd = kText.indexOf(u"ｌｅ\r\n"_qs) + 2;
        using L = QStringList;
        QTest::newRow("Down End") << L { u"Down"_qs, u"End"_qs } << secondLineEnd << secondLineEnd;
        QTest::newRow("Shift+Left twice")
            << L { u"Down"_qs, u"End"_qs, u"Shift+Left"_qs, u"Shift+Left"_qs } << secondLineEnd - 2
            << secondLineEnd;
        QTest::newRow("Shift+Right over CR LF")
            << L { u"End"_qs, u"Shift+Right"_qs } << kText.indexOf(u'登') << kText.indexOf(u'\r');
        QTest::newRow("Ctrl+End Shift+Home")
            << L { u"Ctrl+End"_qs, u"Shift+Home"_qs } << kText.size() - 4 << kText.size();
        QTest::newRow("Ctrl+A") << L { u"Down"_qs, u"Ctrl+A"_qs } << kText.size() << qsizetype(0);
        QTest::newRow("selection dropped")
            << L { u"Shift+Down"_qs, u"Left"_qs } << qsizetype(0) << qsizetype(0);
    }

    void caretAndSelectionAfterKeys()
    {
        QFETCH(QStringList, keys);
        QFETCH(qsizetype, caret);
        QFETCH(qsizetype, anchor);
        View v(kAnswer);
        g_events.clear();
        v.press(keys);

        QAccessibleTextInterface *text = v.text();
        QCOMPARE(text->cursorPosition(), caret);
        const qsizetype start = std::min(caret, anchor);
        const qsizetype end = std::max(caret, anchor);
        QCOMPARE(text->selectionCount(), start == end ? 0 : 1);
        int selectionStart = -1;
        int selectionEnd = -1;
        text->selection(0, &selectionStart, &selectionEnd);
        if (start != end) {
            QCOMPARE(selectionStart, start);
            QCOMPARE(selectionEnd, end);
        }

        const QList<SeenEvent> moves = eventsOf(&v.view, QAccessible::TextCaretMoved);
        QVERIFY(!moves.isEmpty());
        QCOMPARE(moves.last().position, caret);
        const QList<SeenEvent> selections = eventsOf(&v.view, QAccessible::TextSelectionChanged);
        if (start != end) {
            QVERIFY(!selections.isEmpty());
            QCOMPARE(selections.last().position, start);
            QCOMPARE(selections.last().end, end);
        } else {
            QVERIFY(selections.isEmpty() || selections.last().position == selections.last().end);
        }
    }

    // An answer arriving in many pieces is announced in few events, the
    // first while it still arrives, which together insert it exactly.
    void streamingAnnouncedCoalesced()
    {
        View v;
        QStringList pieces;
        for (int piece = 0; piece < 120; ++piece)
            pieces.append(kAnswer[piece % kAnswer.size()] + QString::number(piece));
        const QString whole = pieces.join(QString());

        QTimer arrival;
        arrival.setInterval(10);
        qsizetype next = 0;
        int announcedWhileArriving = 0;
        connect(&arrival, &QTimer::timeout, this, [&] {
            v.view.appendText(pieces[next++]);
            if (next == pieces.size()) {
                arrival.stop();
                announcedWhileArriving =
                    static_cast<int>(eventsOf(&v.view, QAccessible::TextInserted).size());
            }
        });
        QElapsedTimer elapsed;
        elapsed.start();
        arrival.start();
        QTRY_VERIFY_WITH_TIMEOUT(!arrival.isActive(), 60000);
        QString inserted;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                inserted.clear();
                for (const SeenEvent &event : eventsOf(&v.view, QAccessible::TextInserted)) {
                    if (event.position != inserted.size())
                        return false;
                    inserted += event.text;
                }
                return inserted == whole;
            }(),
            10000);
        const auto events = eventsOf(&v.view, QAccessible::TextInserted).size();
        QVERIFY2(announcedWhileArriving >= 1, "nothing announced while the answer arrived");
        // At most four a second, one more for the last piece.
        QVERIFY2(events <= elapsed.elapsed() / 250 + 2,
            qPrintable(u"%1 events in %2 ms"_qs.arg(events).arg(elapsed.elapsed())));

        // Clearing tells of the text gone.
        g_events.clear();
        v.view.clear();
        QCOMPARE(eventsOf(&v.view, QAccessible::TextUpdated).size(), 1);
        QCOMPARE(v.text()->characterCount(), 0);
    }

    // Each character of the lines on screen has a rectangle, left to right
    // along its line, and the point just inside it finds the character
    // again; a line scrolled out of view has none.
    void characterRectsOnScreen()
    {
        View v(kAnswer);
        QAccessibleTextInterface *text = v.text();
        const qsizetype lastLineStart = kText.size() - 4;
        int previousRight = INT_MIN;
        for (int offset = 0; offset < lastLineStart; ++offset) {
            const QChar c = kText[offset];
            if (c.isLowSurrogate() || c == u'\r' || c == u'\n' || c == u'\t') {
                previousRight = INT_MIN;
                continue;
            }
            const QRect rect = text->characterRect(offset);
            const QString where = u"offset %1"_qs.arg(offset);
            QVERIFY2(!rect.isNull(), qPrintable(where));
            QVERIFY2(
                previousRight == INT_MIN || rect.left() >= previousRight - 1, qPrintable(where));
            previousRight = rect.right();
            const QPoint inside(rect.left() + rect.width() / 4, rect.center().y());
            QVERIFY2(text->offsetAtPoint(inside) == offset, qPrintable(where));
        }
        // Many lines: the first is out of view at the end.
        View many(QStringList(200, u"line\r\n"_qs));
        many.press({ u"Ctrl+End"_qs });
        QVERIFY(many.text()->characterRect(0).isNull());
        QVERIFY(!many.text()->characterRect(many.text()->cursorPosition() - 2).isNull());
    }

    // The find bar's "見つかりません" is announced as it appears.
    void notFoundAnnounced()
    {
        View v(kAnswer);
        v.press({ u"Ctrl+Shift+F"_qs });
        auto *findText = v.view.findChild<QLineEdit *>(u"findText"_qs);
        QTRY_VERIFY(findText->hasFocus());
        QCOMPARE(
            QAccessible::queryAccessibleInterface(findText)->text(QAccessible::Name), u"検索"_qs);
        QTest::keyClicks(findText, u"rdap"_qs);
        auto *message = v.view.findChild<QLabel *>(u"findMessage"_qs);
        g_events.clear();
        v.press({ u"Return"_qs });
        QTRY_COMPARE(message->text(), u"見つかりません"_qs);
        const QList<SeenEvent> named = eventsOf(message, QAccessible::NameChanged);
        QVERIFY(!named.isEmpty());
        QCOMPARE(named.last().text, u"見つかりません"_qs);
    }
};

QTEST_MAIN(TestResultViewAccessible)
#include "tst_result_view_accessible.moc"
