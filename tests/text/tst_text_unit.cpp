#include "text/text_buffer.h"
#include "text/text_unit.h"

#include <QRandomGenerator>
#include <QTest>
#include <QTextBoundaryFinder>

namespace {

using Range = std::pair<qsizetype, qsizetype>;

// For each offset of the text and its end, the unit around it by a plain
// scan of the whole text: the line with its line end, or the segment that a
// boundary finder over the whole line finds, the line end being a segment
// of its own and the end of the text an empty one.
QList<Range> plainUnits(QStringView text, std::optional<QTextBoundaryFinder::BoundaryType> kind)
{
    QList<Range> units;
    qsizetype start = 0;
    while (units.size() <= text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        const qsizetype next = end + (text.sliced(end).startsWith(u"\r\n") ? 2 : end < text.size());
        if (!kind) {
            units.resize(end == text.size() ? next + 1 : next, { start, next });
        } else {
            QTextBoundaryFinder finder(*kind, text.sliced(start, end - start).toString());
            for (qsizetype from = 0, at = finder.toNextBoundary(); at > 0;
                 from = at, at = finder.toNextBoundary())
                units.resize(start + at, { start + from, start + at });
            units.resize(next, { end, next });
            if (next == text.size())
                units.append({ next, next });
        }
        start = next;
    }
    return units;
}

} // namespace

class TestTextUnit : public QObject {
    Q_OBJECT

private slots:
    // At every offset of random texts, appended in pieces that may split a
    // CR LF, lines, words and sentences match a plain scan over the whole
    // text, and a character is one UTF-16 unit, a surrogate pair or a CR LF.
    void unitsAgreeWithPlainScan_data()
    {
        QTest::addColumn<qsizetype>("length");
        QTest::addColumn<bool>("lineEnds");
        QTest::newRow("short lines") << qsizetype(3000) << true;
        QTest::newRow("one line three windows long") << 3 * kBoundaryWindowChars << false;
    }

    void unitsAgreeWithPlainScan()
    {
        QFETCH(qsizetype, length);
        QFETCH(bool, lineEnds);
        const quint32 seed = 24;
        QRandomGenerator random(seed);
        const QStringList pieces { u"Domain"_qs, u"ns1"_qs, u" "_qs, u"\t"_qs, u": "_qs,
            u"登録者"_qs, u"例"_qs, u"ｅｘａｍｐｌｅ"_qs, u"カタカナ"_qs, u"𠀋"_qs, u". "_qs,
            u"。"_qs, u"\r\n"_qs, u"\n"_qs, u"\r"_qs };
        QString text;
        while (text.size() < length)
            text += pieces[random.bounded(pieces.size() - (lineEnds ? 0 : 3))];
        TextBuffer buffer;
        for (qsizetype at = 0; at < text.size(); at += 97)
            buffer.append(QStringView(text).sliced(at, std::min<qsizetype>(97, text.size() - at)));

        const QList<std::pair<TextUnit, QList<Range>>> expected {
            { TextUnit::Line, plainUnits(text, std::nullopt) },
            { TextUnit::Word, plainUnits(text, QTextBoundaryFinder::Word) },
            { TextUnit::Sentence, plainUnits(text, QTextBoundaryFinder::Sentence) }
        };
        for (qsizetype offset = 0; offset <= text.size(); ++offset) {
            const QString where = u"seed %1, offset %2"_qs.arg(seed).arg(offset);
            for (const auto &[unit, units] : expected) {
                const TextSelection found = textUnitAround(buffer, offset, unit);
                QVERIFY2(Range(found.start(), found.end()) == units[offset],
                    qPrintable(where + u", unit "_qs + QString::number(int(unit))));
            }
            const TextSelection c = textUnitAround(buffer, offset, TextUnit::Character);
            const QStringView chars = QStringView(text).sliced(c.start(), c.end() - c.start());
            const bool whole = chars.size() == 1
                ? !chars[0].isSurrogate()
                    && !text.sliced(offset ? offset - 1 : 0).startsWith(u"\r\n")
                    && !text.sliced(offset).startsWith(u"\r\n")
                : chars == u"\r\n" || (chars.size() == 2 && chars[0].isHighSurrogate());
            QVERIFY2(offset == text.size() ? chars.isEmpty() && c.start() == offset
                                           : c.start() <= offset && offset < c.end() && whole,
                qPrintable(where));
        }
    }
};

QTEST_GUILESS_MAIN(TestTextUnit)
#include "tst_text_unit.moc"
