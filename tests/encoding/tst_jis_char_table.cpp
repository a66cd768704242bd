#include "encoding/jis_char_table.h"
#include "encoding/code_page_932.h"

#include <QSet>
#include <QTest>

class TestJisCharTable : public QObject {
    Q_OBJECT

private slots:
    void shiftJisCode_data()
    {
        QTest::addColumn<int>("j1");
        QTest::addColumn<int>("j2");
        QTest::addColumn<int>("lead");
        QTest::addColumn<int>("trail");
        QTest::newRow("kanji 30 21") << 0x30 << 0x21 << 0x88 << 0x9F;
        QTest::newRow("hiragana 24 22") << 0x24 << 0x22 << 0x82 << 0xA0;
        QTest::newRow("first pair") << 0x21 << 0x21 << 0x81 << 0x40;
        QTest::newRow("last trail below the skip") << 0x21 << 0x5F << 0x81 << 0x7E;
        QTest::newRow("trail skips 7F") << 0x21 << 0x60 << 0x81 << 0x80;
        QTest::newRow("odd row last cell") << 0x22 << 0x7E << 0x81 << 0xFC;
        QTest::newRow("last lead below the gap") << 0x5E << 0x21 << 0x9F << 0x9F;
        QTest::newRow("first lead above the gap") << 0x5F << 0x21 << 0xE0 << 0x40;
        QTest::newRow("last pair") << 0x7E << 0x7E << 0xEF << 0xFC;
        QTest::newRow("zero bytes") << 0x00 << 0x00 << 0x70 << 0x7E;
        QTest::newRow("bytes beyond one byte") << 0xFF << 0xFF << 0x130 << 0x11E;
    }

    void shiftJisCode()
    {
        QFETCH(int, j1);
        QFETCH(int, j2);
        QFETCH(int, lead);
        QFETCH(int, trail);
        const auto code = JisCharTable::shiftJisCodeOf(
            static_cast<unsigned char>(j1), static_cast<unsigned char>(j2));
        QCOMPARE(code.lead, lead);
        QCOMPARE(code.trail, trail);
    }

    // The 94 x 94 pairs map one to one onto well-formed Shift_JIS codes.
    void standardPairsMapOneToOne()
    {
        QSet<int> codes;
        for (int j1 = 0x21; j1 <= 0x7E; ++j1) {
            for (int j2 = 0x21; j2 <= 0x7E; ++j2) {
                const auto code = JisCharTable::shiftJisCodeOf(
                    static_cast<unsigned char>(j1), static_cast<unsigned char>(j2));
                QVERIFY(code.lead <= 0xFF && code.trail <= 0xFF);
                QVERIFY2(CodePage932::isLeadByte(static_cast<unsigned char>(code.lead))
                        && CodePage932::isTrailByte(static_cast<unsigned char>(code.trail)),
                    qPrintable(u"%1 %2"_qs.arg(j1, 0, 16).arg(j2, 0, 16)));
                codes.insert(code.lead * 256 + code.trail);
            }
        }
        QCOMPARE(codes.size(), 94 * 94);
    }

    // For every pair of bytes the table gives the character of the computed
    // code, and U+FFFD when that code does not fit in two bytes.
    void charIsTheCharacterOfTheCode()
    {
        const JisCharTable &table = JisCharTable::instance();
        for (int j1 = 0; j1 <= 0xFF; ++j1) {
            for (int j2 = 0; j2 <= 0xFF; ++j2) {
                const auto b1 = static_cast<unsigned char>(j1);
                const auto b2 = static_cast<unsigned char>(j2);
                const auto code = JisCharTable::shiftJisCodeOf(b1, b2);
                const bool fits = code.lead <= 0xFF && code.trail <= 0xFF;
                const char16_t expected = fits
                    ? CodePage932::doubleByteChar(static_cast<unsigned char>(code.lead),
                        static_cast<unsigned char>(code.trail))
                    : CodePage932::kReplacement;
                if (table.pairChar(b1, b2) != expected)
                    QFAIL(qPrintable(u"pair %1 %2"_qs.arg(j1, 0, 16).arg(j2, 0, 16)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestJisCharTable)
#include "tst_jis_char_table.moc"
