#include "text/text_buffer.h"
#include "text/text_unit.h"

#include <QRandomGenerator>
#include <QTest>
#include <QTextBoundaryFinder>

namespace {

using Range = std::pair<qsizetype, qsizetype>;

Range rangeOf(const TextSelection &unit)
{
    return { unit.start(), unit.end() };
}

bool isLineEnd(QChar c)
{
    return c == u'\r' || c == u'\n';
}

// For each offset of the text, the line around it with its line end, by a
// plain scan.
QList<Range> plainLines(QStringView text)
{
    QList<Range> lines;
    qsizetype start = 0;
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (!isLineEnd(text[at]))
            continue;
        qsizetype next = at + 1;
        if (text[at] == u'\r' && next < text.size() && text[next] == u'\n')
            ++next;
        while (lines.size() < next)
            lines.append({ start, next });
        start = next;
        at = next - 1;
    }
    while (lines.size() <= text.size())
        lines.append({ start, text.size() });
    return lines;
}

// For each offset, the segment around it that a boundary finder over its
// whole line finds; the line end is a segment of its own, and at the end of
// the text the segment is empty.
QList<Range> plainSegments(QStringView text, QTextBoundaryFinder::BoundaryType kind)
{
    const QList<Range> lines = plainLines(text);
    QList<Range> segments;
    while (segments.size() <= text.size()) {
        const auto [start, next] = lines[segments.size()];
        qsizetype end = next;
        while (end > start && isLineEnd(text[end - 1]))
            --end;
        QTextBoundaryFinder finder(kind, text.sliced(start, end - start).toString());
        qsizetype from = 0;
        for (qsizetype at = finder.toNextBoundary(); at > 0; at = finder.toNextBoundary()) {
            while (segments.size() < start + at)
                segments.append({ start + from, start + at });
            from = at;
        }
        while (segments.size() < next)
            segments.append({ end, next });
        if (next == text.size())
            segments.append({ next, next });
    }
    return segments;
}

// Words and blanks of Latin and Japanese script, line ends of all three
// kinds, a surrogate pair and sentence ends.
QString randomText(QRandomGenerator &random, qsizetype length, bool lineEnds)
{
    const QStringList pieces { u"Domain"_qs, u"ns1"_qs, u" "_qs, u"  "_qs, u"\t"_qs, u": "_qs,
        u"登録者"_qs, u"例"_qs, u"ｅｘａｍｐｌｅ"_qs, u"カタカナ"_qs, u"𠀋"_qs, u". "_qs, u"。"_qs,
        u"\r\n"_qs, u"\n"_qs, u"\r"_qs, u"\r\n\r\n"_qs };
    const qsizetype choices = lineEnds ? pieces.size() : pieces.size() - 4;
    QString text;
    while (text.size() < length)
        text += pieces[random.bounded(choices)];
    return text;
}

} // namespace

class TestTextUnit : public QObject {
    Q_OBJECT

private slots:
    // Every offset of random texts: the unit holds the offset, every offset
    // in it finds the same unit, and lines, characters, words and
    // sentences match a plain scan over the whole text.
    void unitsAgreeWithPlainScan_data()
    {
        QTest::addColumn<qsizetype>("length");
        QTest::addColumn<bool>("lineEnds");
        QTest::newRow("short lines") << qsizetype(3000) << true;
        QTest::newRow("one line longer than the window twice") << 3 * kBoundaryWindowChars << false;
    }

    void unitsAgreeWithPlainScan()
    {
        QFETCH(qsizetype, length);
        QFETCH(bool, lineEnds);
        const quint32 seed = 24;
        QRandomGenerator random(seed);
        const QString text = randomText(random, length, lineEnds);
        TextBuffer buffer;
        // Appended in pieces, a CR LF may come split in two.
        for (qsizetype at = 0; at < text.size(); at += 97)
            buffer.append(QStringView(text).sliced(at, std::min<qsizetype>(97, text.size() - at)));

        const QList<Range> lines = plainLines(text);
        const QList<Range> words = plainSegments(text, QTextBoundaryFinder::Word);
        const QList<Range> sentences = plainSegments(text, QTextBoundaryFinder::Sentence);
        for (qsizetype offset = 0; offset <= text.size(); ++offset) {
            const auto where = [&](const char *unit) {
                return qPrintable(u"seed %1, %2 at offset %3"_qs.arg(seed)
                                      .arg(QLatin1StringView(unit))
                                      .arg(offset));
            };
            QVERIFY2(rangeOf(UnitAround(buffer, offset, TextUnit::Line)) == lines[offset],
                where("line"));
            QVERIFY2(rangeOf(UnitAround(buffer, offset, TextUnit::Word)) == words[offset],
                where("word"));
            QVERIFY2(rangeOf(UnitAround(buffer, offset, TextUnit::Sentence)) == sentences[offset],
                where("sentence"));

            const Range character = rangeOf(UnitAround(buffer, offset, TextUnit::Character));
            if (offset == text.size()) {
                QVERIFY2(character == Range(offset, offset), where("character"));
                continue;
            }
            const QStringView chars =
                QStringView(text).sliced(character.first, character.second - character.first);
            const bool one = chars.size() == 1 && !chars[0].isSurrogate()
                && !(chars[0] == u'\r' && offset + 1 < text.size() && text[offset + 1] == u'\n')
                && !(chars[0] == u'\n' && offset > 0 && text[offset - 1] == u'\r');
            const bool pair = chars == u"\r\n" || (chars.size() == 2 && chars[0].isHighSurrogate());
            QVERIFY2(character.first <= offset && offset < character.second && (one || pair),
                where("character"));
        }
    }
};

QTEST_GUILESS_MAIN(TestTextUnit)
#include "tst_text_unit.moc"
