#include "text/folded_search.h"
#include "text/text_buffer.h"
#include "text/text_selection.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

// One line of a text as a plain scan finds it: [start, end) without its line end.
struct Line {
    qsizetype start;
    qsizetype end;
    friend bool operator==(const Line &, const Line &) = default;
};

QList<Line> plainLines(QStringView text)
{
    QList<Line> lines;
    qsizetype start = 0;
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (text[at] != u'\r' && text[at] != u'\n')
            continue;
        lines.append({ start, at });
        if (text[at] == u'\r' && at + 1 < text.size() && text[at + 1] == u'\n')
            ++at;
        start = at + 1;
    }
    lines.append({ start, text.size() });
    return lines;
}

// The cells of the characters the random texts are made of.
qsizetype cellsOf(QChar c, qsizetype column)
{
    if (c == u'\t')
        return 8 - column % 8;
    if (c == u'例' || c == u'Ａ' || c.isHighSurrogate())
        return 2;
    return c.isLowSurrogate() ? 0 : 1;
}

QString randomText(QRandomGenerator &random, qsizetype length, const QString &alphabet)
{
    QString text;
    while (text.size() < length) {
        // The only pair the alphabets hold counts as one letter.
        const QChar c = alphabet[random.bounded(alphabet.size())];
        if (c.isHighSurrogate())
            text += u"𠀋"_qs;
        else if (!c.isLowSurrogate())
            text += c;
    }
    return text;
}

// A match as a plain scan finds it: the folding spelled out for the letters
// the tests use.
QString plainFolded(QStringView text)
{
    QString folded;
    for (QChar c : text) {
        if ((c >= u'Ａ' && c <= u'Ｚ') || (c >= u'ａ' && c <= u'ｚ') || (c >= u'０' && c <= u'９'))
            c = QChar(c.unicode() - 0xFEE0);
        folded += c.toLower();
    }
    return folded;
}

// Whether the caret may stand at the offset: within the text, not between
// CR and LF, not between the halves of a pair.
bool isCaretPlace(QStringView text, qsizetype at)
{
    if (at < 0 || at > text.size())
        return false;
    if (at == 0 || at == text.size())
        return true;
    const bool insideLineEnd = text[at - 1] == u'\r' && text[at] == u'\n';
    return !insideLineEnd && !(text[at - 1].isHighSurrogate() && text[at].isLowSurrogate());
}

} // namespace

class TestTextModel : public QObject {
    Q_OBJECT

private slots:
    // Any text appended in pieces split anywhere gives the text itself, the
    // lines a plain scan finds, and the columns of a plain count; the caret
    // never stands inside a line end or a surrogate pair, and a word or a
    // line around any offset stays within that offset's line.
    void appendsSplitAnywhere_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<qsizetype>("length");
        QTest::addColumn<QString>("alphabet");
        QTest::newRow("short lines, every line end")
            << 1201u << qsizetype(3000) << u"ab \r\n\r\n\t"_qs;
        QTest::newRow("CR LF only") << 1202u << qsizetype(2000) << u"x\r\n"_qs;
        QTest::newRow("bare line feeds") << 1203u << qsizetype(2000) << u"\n\n\na"_qs;
        QTest::newRow("long lines past the checkpoints")
            << 1204u << qsizetype(30000) << u"abcdefgh例\t𠀋Ａ                  \n"_qs;
        QTest::newRow("wide, tabs and surrogate pairs")
            << 1205u << qsizetype(12000) << u"例Ａa\t𠀋\r"_qs;
    }

    void appendsSplitAnywhere()
    {
        QFETCH(quint32, seed);
        QFETCH(qsizetype, length);
        QFETCH(QString, alphabet);
        const QByteArray where = "seed " + QByteArray::number(seed);
        QRandomGenerator random(seed);
        const QString text = randomText(random, length, alphabet);

        TextBuffer buffer;
        for (qsizetype at = 0; at < text.size();) {
            const qsizetype size = std::min(text.size() - at, random.bounded(qsizetype(1), 700));
            buffer.append(QStringView(text).sliced(at, size));
            at += size;
        }
        QVERIFY2(buffer.text() == text, where.constData());

        const QList<Line> lines = plainLines(text);
        QCOMPARE(buffer.lineCount(), lines.size());
        qsizetype widest = 0;
        for (qsizetype line = 0; line < lines.size(); ++line) {
            QVERIFY2(buffer.lineStart(line) == lines[line].start, where.constData());
            QVERIFY2(buffer.lineEnd(line) == lines[line].end, where.constData());
            qsizetype column = 0;
            for (qsizetype at = lines[line].start; at <= lines[line].end; ++at) {
                // Column look-ups scan up to a checkpoint: a sample keeps it quick.
                const bool sampled = random.bounded(16) == 0;
                QVERIFY2(buffer.lineOf(at) == line, where.constData());
                QVERIFY2(!sampled || buffer.columnAt(at) == column, where.constData());
                if (at == lines[line].end)
                    break;
                const qsizetype next = column + cellsOf(text[at], column);
                // Every column inside this character finds its start.
                for (qsizetype inside = column; sampled && inside < next; ++inside) {
                    if (!text[at].isLowSurrogate())
                        QVERIFY2(buffer.offsetAtColumn(line, inside) == at, where.constData());
                }
                column = next;
            }
            QVERIFY2(buffer.offsetAtColumn(line, column + 5) == lines[line].end, where.constData());
            widest = std::max(widest, column);
        }
        QCOMPARE(buffer.maxColumns(), widest);

        // Walking right and left visits the same caret places, none of them
        // inside a line end or a pair.
        QList<qsizetype> rightward { 0 };
        while (rightward.constLast() < text.size())
            rightward.append(nextCaretOffset(buffer, rightward.constLast()));
        QList<qsizetype> leftward { text.size() };
        while (leftward.constLast() > 0)
            leftward.append(previousCaretOffset(buffer, leftward.constLast()));
        std::reverse(leftward.begin(), leftward.end());
        QVERIFY2(rightward == leftward, where.constData());
        for (const qsizetype at : rightward) {
            const Line line = lines[buffer.lineOf(at)];
            QVERIFY2(at >= line.start && at <= line.end, where.constData());
            QVERIFY2(at == text.size() || !text[at].isLowSurrogate(), where.constData());
        }

        for (int round = 0; round < 50; ++round) {
            const qsizetype offset = random.bounded(text.size() + 1);
            const qsizetype number = buffer.lineOf(offset);
            const TextSelection line = lineAround(buffer, offset);
            const Line plain = lines[number];
            QVERIFY2(line.start() == plain.start, where.constData());
            const qsizetype next =
                number + 1 < lines.size() ? lines[number + 1].start : text.size();
            QVERIFY2(line.end() == next, where.constData());
            const TextSelection word = wordAround(buffer, offset);
            QVERIFY2(word.start() >= plain.start && word.end() <= plain.end, where.constData());
        }
    }

    // A caret left at the end of the text, after a CR or half a pair, is
    // moved onto a caret place when the next piece joins it; from any offset
    // whatever, a step left or right lands on a caret place inside the text.
    void caretPlacesSurviveAnySplit()
    {
        constexpr quint32 seed = 1301;
        const QByteArray where = "seed " + QByteArray::number(seed);
        QRandomGenerator random(seed);
        const QString text = randomText(random, 4000, u"a\r\n\r\r\n\n𠀋"_qs);
        TextBuffer buffer;
        TextSelection selection;
        for (qsizetype at = 0; at < text.size();) {
            // Pieces that often end in a CR or inside a pair.
            const qsizetype size = std::min(text.size() - at, random.bounded(qsizetype(1), 6));
            selection = { random.bounded(buffer.size() + 1), buffer.size() };
            buffer.append(QStringView(text).sliced(at, size));
            at += size;
            selection = onCaretPlaces(buffer, selection);
            QVERIFY2(isCaretPlace(buffer.text(), selection.anchor), where.constData());
            QVERIFY2(isCaretPlace(buffer.text(), selection.caret), where.constData());
        }
        for (qsizetype at = -2; at <= text.size() + 2; ++at) {
            const qsizetype previous = previousCaretOffset(buffer, at);
            const qsizetype next = nextCaretOffset(buffer, at);
            QVERIFY2(isCaretPlace(text, previous) && isCaretPlace(text, next), where.constData());
            QVERIFY2(at <= 0 || previous < at, where.constData());
            QVERIFY2(at >= text.size() || next > at, where.constData());
            QVERIFY2(isCaretPlace(text, caretPlace(buffer, at)), where.constData());
        }
    }

    void wordAndLineAround_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("offset");
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("line");
        const QString first = u"Domain: 例え.jp\r\n"_qs;
        const QString second = u"Name Server:  ns1_a\r\n"_qs;
        const QString text = first + second;
        QTest::newRow("letters") << text << qsizetype(2) << u"Domain"_qs << first;
        QTest::newRow("Japanese letters") << text << qsizetype(9) << u"例え"_qs << first;
        QTest::newRow("punctuation") << text << qsizetype(6) << u":"_qs << first;
        QTest::newRow("blanks") << text << qsizetype(27) << u"  "_qs << second;
        QTest::newRow("underscore joins") << text << qsizetype(33) << u"ns1_a"_qs << second;
        QTest::newRow("end of a line") << text << qsizetype(13) << u"jp"_qs << first;
        QTest::newRow("empty last line")
            << text << qsizetype(text.size()) << QString() << QString();
    }

    void wordAndLineAround()
    {
        QFETCH(QString, text);
        QFETCH(qsizetype, offset);
        QFETCH(QString, word);
        QFETCH(QString, line);
        TextBuffer buffer;
        buffer.append(text);
        const TextSelection foundWord = wordAround(buffer, offset);
        QCOMPARE(text.sliced(foundWord.start(), foundWord.end() - foundWord.start()), word);
        const TextSelection foundLine = lineAround(buffer, offset);
        QCOMPARE(text.sliced(foundLine.start(), foundLine.end() - foundLine.start()), line);
    }

    // Full-width ASCII letters and digits match their half-width forms;
    // nothing else folds. The search is done in slices of every size; case,
    // direction and wrapping are left to the random comparison below.
    void find_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("needle");
        QTest::addColumn<qsizetype>("origin");
        QTest::addColumn<bool>("forward");
        QTest::addColumn<qsizetype>("expected");
        QTest::newRow("full-width letters in the text")
            << u"名前 ＥｘａｍｐｌｅＪＰ"_qs << u"examplejp"_qs << qsizetype(0) << true
            << qsizetype(3);
        QTest::newRow("full-width digits in the needle")
            << u"AS 64500"_qs << u"６４５"_qs << qsizetype(0) << true << qsizetype(3);
        QTest::newRow("full-width punctuation does not fold")
            << u"a@b"_qs << u"＠"_qs << qsizetype(0) << true << qsizetype(-1);
        QTest::newRow("half-width katakana does not fold")
            << u"ｱイウ"_qs << u"アイ"_qs << qsizetype(0) << true << qsizetype(-1);
        QTest::newRow("no-break space stays itself")
            << u"a\u00a0b a b"_qs << u"a b"_qs << qsizetype(0) << true << qsizetype(4);
        QTest::newRow("only match at the origin")
            << u"one key"_qs << u"key"_qs << qsizetype(4) << false << qsizetype(4);
    }

    void find()
    {
        QFETCH(QString, text);
        QFETCH(QString, needle);
        QFETCH(qsizetype, origin);
        QFETCH(bool, forward);
        QFETCH(qsizetype, expected);
        TextBuffer buffer;
        buffer.append(text);
        for (qsizetype slice = 1; slice <= buffer.size() + 1; ++slice) {
            SlicedSearch search;
            search.start(needle, origin, buffer.size(), forward);
            while (search.step(buffer.text(), slice) == SlicedSearch::State::Running) { }
            QCOMPARE(
                search.state() == SlicedSearch::State::Found ? search.matchStart() : -1, expected);
        }
    }

    // On random texts of letters that fold, a sliced search finds what a
    // plain scan of the folded text finds, forward and backward.
    void slicedSearchMatchesAPlainScan()
    {
        const quint32 seed = 1206;
        QRandomGenerator random(seed);
        const QByteArray where = "seed " + QByteArray::number(seed);
        for (int round = 0; round < 300; ++round) {
            // Every other round, texts without breaks and longer needles of
            // two letters, so that partial matches overlap.
            const bool repetitive = round % 2 == 1;
            const QString text = randomText(random, random.bounded(1, 200),
                repetitive ? u"aAａＡ1１"_qs : u"aAａＡ1１ \n"_qs);
            const QString needle =
                randomText(random, random.bounded(1, repetitive ? 10 : 4), u"aAａＡ1１"_qs);
            const qsizetype origin = random.bounded(text.size() + 1);
            const bool forward = random.bounded(2) == 0;
            const QString hay = plainFolded(text);
            const QString folded = plainFolded(needle);
            qsizetype expected = forward ? hay.indexOf(folded, origin) : -1;
            if (forward && expected < 0)
                expected = hay.indexOf(folded);
            if (!forward) {
                expected = origin > 0 ? hay.lastIndexOf(folded, origin - 1) : -1;
                if (expected < 0)
                    expected = hay.lastIndexOf(folded);
            }
            SlicedSearch search;
            search.start(needle, origin, text.size(), forward);
            while (search.step(text, random.bounded(1, 50)) == SlicedSearch::State::Running) { }
            const qsizetype found =
                search.state() == SlicedSearch::State::Found ? search.matchStart() : -1;
            QVERIFY2(found == expected, where.constData());
        }
    }
};

QTEST_GUILESS_MAIN(TestTextModel)
#include "tst_text_model.moc"
