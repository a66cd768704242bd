#include "encoding/code_page_932.h"

#include <QStringDecoder>
#include <QTest>

class TestCodePage932 : public QObject {
    Q_OBJECT

private slots:
    // Without the codec the program refuses to start.
    void codecIsPresent() { QVERIFY(CodePage932::codecAvailable()); }

    void decode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("ascii with controls")
            << QByteArray("a\x1b\r\n\\~", 6) << u"a\u001b\r\n\\~"_qs;
        QTest::newRow("half-width katakana") << QByteArray("\xb1\xdf") << u"\uFF71\uFF9F"_qs;
        QTest::newRow("bytes no character")
            << QByteArray("\x80\xa0\xfd\xfe\xff") << u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"_qs;
        QTest::newRow("unassigned pair") << QByteArray("\x85\x40x") << u"\uFFFDx"_qs;
        QTest::newRow("lead before line feed") << QByteArray("\x88\n") << u"\uFFFD\n"_qs;
        QTest::newRow("lone lead at end") << QByteArray("a\x88") << u"a\uFFFD"_qs;
    }

    void decode()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QCOMPARE(CodePage932::decode(bytes), expected);
    }

    // Every code the codec maps gives the codec's character, and every
    // character the table holds encodes to bytes that decode to it again.
    void tableAgreesWithCodecAndRoundTrips()
    {
        QStringDecoder codec(CodePage932::kCodecName);
        int mapped = 0;
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                const auto l = static_cast<unsigned char>(lead);
                const auto t = static_cast<unsigned char>(trail);
                const char16_t c = CodePage932::doubleByteChar(l, t);
                if (!CodePage932::isLeadByte(l) || c == CodePage932::kReplacement)
                    continue;
                ++mapped;
                const char pair[] = { static_cast<char>(l), static_cast<char>(t) };
                QCOMPARE(codec.decode(QByteArrayView(pair, 2)), QString(QChar(c)));
                QCOMPARE(
                    CodePage932::decode(CodePage932::encode(QString(QChar(c)))), QString(QChar(c)));
            }
        }
        // JIS X 0208 with the NEC and IBM extensions: well over 7000 codes.
        QVERIFY2(mapped > 7000, qPrintable(QString::number(mapped)));
    }

    void encode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("ascii") << u"example.jp \r\n"_qs << QByteArray("example.jp \r\n");
        QTest::newRow("kanji") << u"亜あ"_qs << QByteArray("\x88\x9f\x82\xa0");
        QTest::newRow("half-width katakana") << u"\uFF71"_qs << QByteArray("\xb1");
        QTest::newRow("euro sign") << u"a€b"_qs << QByteArray("a?b");
        QTest::newRow("yen sign is no byte of its own") << u"\u00A5"_qs << QByteArray("?");
        QTest::newRow("hangul") << u"한"_qs << QByteArray("?");
        QTest::newRow("outside the BMP is one character")
            << u"x\U0001F600y"_qs << QByteArray("x?y");
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << QByteArray("?");
    }

    void encode()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, expected);
        QCOMPARE(CodePage932::encode(text), expected);
    }
};

QTEST_GUILESS_MAIN(TestCodePage932)
#include "tst_code_page_932.moc"
