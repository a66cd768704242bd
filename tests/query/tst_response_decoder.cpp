#include "encoding/jis_char_table.h"
#include "query/response_decoder.h"
#include "encoding/code_page_932.h"

#include <QStringDecoder>
#include <QTest>

#include <array>
#include <random>

namespace {

using Chunks = QList<QByteArray>;

constexpr std::uint32_t kSeed = 0x5EED1203;

// Chunks written as hex, spaces allowed.
Chunks hexChunks(std::initializer_list<const char *> hex)
{
    Chunks chunks;
    for (const char *chunk : hex)
        chunks.append(QByteArray::fromHex(chunk));
    return chunks;
}

QString decodeChunks(const Chunks &chunks)
{
    ResponseDecoder decoder;
    decoder.reset();
    QString text;
    for (const QByteArray &chunk : chunks)
        text += decoder.decode(chunk);
    return text + decoder.flush();
}

QString decodeWhole(const QByteArray &bytes)
{
    return decodeChunks({ bytes });
}

QString describe(const Chunks &chunks)
{
    QStringList hex;
    for (const QByteArray &chunk : chunks)
        hex.append(QString::fromLatin1(chunk.toHex(' ')));
    return hex.join(u" | ");
}

QString codePoints(QStringView text)
{
    QStringList units;
    for (const QChar c : text)
        units.append(QString::number(c.unicode(), 16));
    return units.join(u' ');
}

// Splits bytes at random: one case in eight into single bytes, the others
// into chunks of 0 to 8 bytes.
Chunks randomSplit(const QByteArray &bytes, std::mt19937 &rng)
{
    const bool singleBytes = rng() % 8 == 0;
    Chunks chunks;
    qsizetype at = 0;
    while (at < bytes.size()) {
        const qsizetype size = singleBytes ? 1 : static_cast<qsizetype>(rng() % 9);
        chunks.append(bytes.mid(at, size));
        at += size;
    }
    return chunks;
}

// Random bytes crowded with escape sequences and their pieces, JIS pairs and,
// unless sevenBit, UTF-8, Shift_JIS and bytes that are neither.
QByteArray randomRichBytes(std::mt19937 &rng, bool sevenBit)
{
    static const std::array<QByteArray, 21> sevenBitPieces = {
        "\x1B",
        "$",
        "(",
        "B",
        "@",
        "&",
        "d",
        "J",
        "H",
        "I",
        "\x1B$B",
        "\x1B$@",
        "\x1B$(d",
        "\x1B&@\x1B$B",
        "\x1B(B",
        "\x1B(J",
        "\x1B(I",
        "0!",
        "$\"",
        "\r\n",
        "\x1B$",
    };
    static const std::array<QByteArray, 14> eightBitPieces = {
        "\xE3\x81\x82", // あ in UTF-8
        "\xE4\xBA\x9C", // 亜
        "\xC3\xA9", // é
        "\xF0\x9F\x98\x80", // an emoji, outside the BMP
        "\x82\xA0", // あ in Shift_JIS
        "\x88\x9F", // 亜
        "\xB1", // half-width katakana
        "\x88\x1B", // a lead byte before ESC
        "\xE3\x81", // a UTF-8 sequence cut short
        "\xFF", "\x80",
        "\xED\xA0\x80", // a surrogate
        "\xC0\xAF", // overlong
        "\xF4\x90\x80\x80", // above U+10FFFF
    };
    QByteArray bytes;
    const int pieces = static_cast<int>(rng() % 41);
    for (int i = 0; i < pieces; ++i) {
        switch (rng() % 4) {
        case 0:
            bytes += sevenBitPieces[rng() % sevenBitPieces.size()];
            break;
        case 1:
            bytes += static_cast<char>(0x21 + rng() % 94);
            break;
        case 2:
            if (sevenBit)
                bytes += static_cast<char>(rng() % 0x80);
            else
                bytes += eightBitPieces[rng() % eightBitPieces.size()];
            break;
        default:
            bytes += static_cast<char>(rng() % (sevenBit ? 0x80 : 0x100));
            break;
        }
    }
    return bytes;
}

// A plain step-by-step model of decoding one whole chunk of 7-bit bytes:
// escapes, mode switches and pairs, with no bytes held back.
QString referenceDecode(const QByteArray &bytes)
{
    QString text;
    const auto at = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const auto startsWith = [&](qsizetype i, QByteArrayView sequence) {
        return bytes.mid(i).startsWith(sequence);
    };
    bool singleByte = true;
    qsizetype i = 0;
    while (i < bytes.size()) {
        if (singleByte) {
            if (startsWith(i, "\x1B$@") || startsWith(i, "\x1B$B")) {
                i += 3;
                singleByte = false;
            } else if (startsWith(i, "\x1B$(d")) {
                i += 4;
                singleByte = false;
            } else if (startsWith(i, "\x1B&@\x1B$B")) {
                i += 6;
                singleByte = false;
            } else {
                text += QChar(CodePage932::singleByteChar(at(i)));
                ++i;
            }
        } else {
            if (startsWith(i, "\x1B(B") || startsWith(i, "\x1B(J") || startsWith(i, "\x1B(H")
                || startsWith(i, "\x1B(I")) {
                i += 3;
                singleByte = true;
            } else if (i + 1 < bytes.size()) {
                const auto code = JisCharTable::shiftJisCodeOf(at(i), at(i + 1));
                const bool fits = code.lead <= 0xFF && code.trail <= 0xFF;
                text +=
                    QChar(fits ? CodePage932::doubleByteChar(static_cast<unsigned char>(code.lead),
                              static_cast<unsigned char>(code.trail))
                               : CodePage932::kReplacement);
                i += 2;
            } else {
                ++i; // left pending, and the answer ends
            }
        }
    }
    return text;
}

} // namespace

class TestResponseDecoder : public QObject {
    Q_OBJECT

private slots:
    void examples_data()
    {
        QTest::addColumn<Chunks>("chunks");
        QTest::addColumn<QString>("expected");

        QTest::newRow("kanji") << hexChunks({ "1b2442 3021 1b2842" }) << u"亜"_qs;
        QTest::newRow("letter, kana, letter") << hexChunks({ "41 1b2442 2422 1b2842 42" }) << u"AあB"_qs;
        QTest::newRow("ideographic space") << hexChunks({ "1b2442 2121" }) << u"\u3000"_qs;
        QTest::newRow("division sign past the 7F skip") << hexChunks({ "1b2442 2160" }) << u"\u00F7"_qs;
        QTest::newRow("closing escape in single-byte mode is text") << hexChunks({ "1b2842" }) << u"\x1B(B"_qs;
        QTest::newRow("ESC $ @ opens") << hexChunks({ "1b2440 3021" }) << u"亜"_qs;
        QTest::newRow("ESC $ ( d opens") << hexChunks({ "1b242864 3021" }) << u"亜"_qs;
        QTest::newRow("ESC $ ( D is text") << hexChunks({ "1b242844 3021" }) << u"\x1B$(D0!"_qs;
        QTest::newRow("ESC & @ ESC $ B opens") << hexChunks({ "1b2640 1b2442 3021" }) << u"亜"_qs;
        QTest::newRow("ESC & @ alone is text") << hexChunks({ "1b2640 41" }) << u"\x1B&@A"_qs;
        QTest::newRow("ESC ( J closes") << hexChunks({ "1b2442 3021 1b284a 41" }) << u"亜A"_qs;
        QTest::newRow("ESC ( H closes") << hexChunks({ "1b2442 3021 1b2848 41" }) << u"亜A"_qs;
        QTest::newRow("ESC ( I closes to ASCII, not katakana") << hexChunks({ "1b2442 3021 1b2849 21415f" }) << u"亜!A_"_qs;
        QTest::newRow("opening escape in double-byte mode is paired") << hexChunks({ "1b2442 1b24 4230 1b2842" }) << u"\uFFFD属"_qs;
        QTest::newRow("misaligned closing escape is paired") << hexChunks({ "1b2442 241b 2842" }) << u"\uFF5A\uFFFD"_qs;
        QTest::newRow("lone byte at the end is dropped") << hexChunks({ "1b2442 3021 30" }) << u"亜"_qs;
        QTest::newRow("closing escape cut by the end is a pair") << hexChunks({ "1b2442 1b28" }) << u"\uFFFD"_qs;
        QTest::newRow("opening escape cut by the end is text") << hexChunks({ "41 1b24" }) << u"A\x1B$"_qs;
        QTest::newRow("UTF-8 between double-byte runs") << hexChunks({ "1b2442 3021 1b2842 c3a9 e4ba", "9c" }) << u"亜é亜"_qs;
        QTest::newRow("Shift_JIS lead byte before an escape") << hexChunks({ "82 1b2442 3021" }) << u"\uFFFD亜"_qs;
        QTest::newRow("plain text keeps CR and LF")
            << QList<QByteArray> { "Domain Name: EXAMPLE.JP\r\n[Name Server] ns.example.jp\r\n" }
            << u"Domain Name: EXAMPLE.JP\r\n[Name Server] ns.example.jp\r\n"_qs;
        QTest::newRow("plain text keeps controls and a lone ESC")
            << hexChunks({ "00 07 7f 1b 41" }) << u"\0\a\x7F\x1B" "A"_qs;
    }

    void examples()
    {
        QFETCH(Chunks, chunks);
        QFETCH(QString, expected);
        const QString text = decodeChunks(chunks);
        QVERIFY2(text == expected, qPrintable(codePoints(text)));
    }

    // What one chunk gives, and whether bytes of a double-byte run are held.
    void jisPending_data()
    {
        QTest::addColumn<Chunks>("chunks");
        QTest::addColumn<QString>("lastText");
        QTest::addColumn<bool>("pending");
        QTest::newRow("first byte of a pair") << hexChunks({ "1b2442 24" }) << QString() << true;
        QTest::newRow("second byte completes it")
            << hexChunks({ "1b2442 24", "22 1b2842" }) << u"あ"_qs << false;
        QTest::newRow("start of a closing escape")
            << hexChunks({ "1b2442 3021 1b28" }) << u"亜"_qs << true;
        QTest::newRow("whole pairs only") << hexChunks({ "1b2442 3021" }) << u"亜"_qs << false;
        QTest::newRow("start of an opening escape is no pair")
            << hexChunks({ "41 1b24" }) << u"A"_qs << false;
    }

    void jisPending()
    {
        QFETCH(Chunks, chunks);
        QFETCH(QString, lastText);
        QFETCH(bool, pending);
        ResponseDecoder decoder;
        decoder.reset();
        QString text;
        for (const QByteArray &chunk : chunks)
            text = decoder.decode(chunk);
        QCOMPARE(text, lastText);
        QCOMPARE(decoder.jisPending(), pending);
    }

    // One chunk of 7-bit bytes decodes exactly as the step-by-step algorithm.
    void sevenBitMatchesTheAlgorithm()
    {
        std::mt19937 rng(kSeed);
        for (int i = 0; i < 3000; ++i) {
            const QByteArray bytes = randomRichBytes(rng, true);
            const QString text = decodeWhole(bytes);
            const QString expected = referenceDecode(bytes);
            if (text != expected) {
                QFAIL(qPrintable(
                    u"seed %1 case %2 bytes %3: %4, expected %5"_qs.arg(kSeed).arg(i).arg(
                        describe({ bytes }), codePoints(text), codePoints(expected))));
            }
        }
    }

    // However an answer is split into chunks, the text is that of the whole.
    void splitsDoNotChangeTheText()
    {
        std::mt19937 rng(kSeed);
        for (int i = 0; i < 5000; ++i) {
            const QByteArray bytes = randomRichBytes(rng, false);
            const Chunks chunks = randomSplit(bytes, rng);
            const QString whole = decodeWhole(bytes);
            const QString split = decodeChunks(chunks);
            QVERIFY(whole.size() <= bytes.size());
            if (split != whole) {
                QFAIL(qPrintable(u"seed %1 case %2 chunks %3: %4, whole %5"_qs.arg(kSeed).arg(i).arg(
                    describe(chunks), codePoints(split), codePoints(whole))));
            }
        }
    }

    void encodedAnswers_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        const QString utf8Text = u"ドメイン情報: 例え.jp\r\n[登録者名] 日本の会社 é 😀\r\n"_qs;
        const QString sjisText = u"[ドメイン名] 例え.JP\r\n[登録者名] 株式会社　日本\r\n"_qs;
        const QString kanaText = u"ｼﾞｪｲﾋﾟｰｱｰﾙｴｽ 日本\r\n"_qs;
        QTest::newRow("UTF-8") << utf8Text.toUtf8() << utf8Text;
        QTest::newRow("Shift_JIS") << CodePage932::encode(sjisText) << sjisText;
        QTest::newRow("half-width katakana") << CodePage932::encode(kanaText) << kanaText;
        QTest::newRow("UTF-8, then Shift_JIS to the end")
            << u"名前: 日本\r\n"_qs.toUtf8() + CodePage932::encode(u"登録\r\n") + u"あ"_qs.toUtf8()
            << u"名前: 日本\r\n登録\r\n縺\uFFFD"_qs;
        QTest::newRow("bytes valid in neither")
            << QByteArray("a\xFF b\x80 c") << u"a\uFFFD b\uFFFD c"_qs;
        QTest::newRow("UTF-8 cut short by the end") << QByteArray("a\xE3\x81") << u"a縺"_qs;
        QTest::newRow("lead byte cut short by the end")
            << QByteArray("\xE3\x81\x82\x82\xA0\x88") << u"ああ\uFFFD"_qs;
        QTest::newRow("UTF-8, then ISO-2022-JP by escape")
            << u"名前: é\r\n"_qs.toUtf8() + "\x1B$B0!\x1B(B\r\n" << u"名前: é\r\n亜\r\n"_qs;
        // Forms that strict UTF-8 forbids: from them on the answer is code
        // page 932.
        const std::pair<const char *, QByteArray> forbidden[] = {
            { "surrogate", "\xED\xA0\x80" },
            { "overlong two bytes", "\xC0\xAF" },
            { "overlong three bytes", "\xE0\x80\x80" },
            { "overlong four bytes", "\xF0\x80\x80\x80" },
            { "above U+10FFFF", "\xF4\x90\x80\x80" },
        };
        for (const auto &[name, bytes] : forbidden) {
            QTest::newRow(name) << u"é"_qs.toUtf8() + bytes + u"あ"_qs.toUtf8()
                                << u"é"_qs + CodePage932::decode(bytes + u"あ"_qs.toUtf8());
        }
    }

    // Encoded answers decode to their text, split anywhere into two or three
    // chunks or into single bytes.
    void encodedAnswers()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QList<Chunks> splits;
        Chunks singleBytes;
        for (const char byte : bytes)
            singleBytes.append(QByteArray(1, byte));
        splits.append(singleBytes);
        for (qsizetype first = 0; first <= bytes.size(); ++first) {
            for (qsizetype second = first; second <= bytes.size(); ++second) {
                splits.append({ bytes.first(first), bytes.sliced(first, second - first),
                    bytes.sliced(second) });
            }
        }
        for (const Chunks &chunks : splits) {
            const QString text = decodeChunks(chunks);
            if (text != expected)
                QFAIL(qPrintable(describe(chunks) + u": "_qs + codePoints(text)));
        }
    }

    // Text of JIS X 0208 characters decodes as Qt's own ISO-2022-JP decoder
    // does it, wherever code page 932 gives the same characters.
    void agreesWithQtIso2022Jp()
    {
        QVERIFY(QStringDecoder("ISO-2022-JP").isValid());
        QList<QByteArray> agreeing;
        for (int j1 = 0x21; j1 <= 0x7E; ++j1) {
            for (int j2 = 0x21; j2 <= 0x7E; ++j2) {
                const char pairBytes[] = { static_cast<char>(j1), static_cast<char>(j2) };
                const QByteArray pair(pairBytes, 2);
                const QByteArray bytes = "\x1B$B" + pair + "\x1B(B";
                QStringDecoder qt("ISO-2022-JP");
                const QString expected = qt.decode(bytes);
                if (expected.size() == 1 && expected[0] != QChar::ReplacementCharacter
                    && decodeWhole(bytes) == expected)
                    agreeing.append(pair);
            }
        }
        // JIS X 0208 has 6879 characters; code page 932 maps a handful of
        // them (the wave dash, the minus sign, ...) to other code points.
        QVERIFY2(agreeing.size() >= 6860, qPrintable(QString::number(agreeing.size())));

        std::mt19937 rng(kSeed);
        for (int i = 0; i < 500; ++i) {
            QByteArray bytes;
            const int runs = static_cast<int>(rng() % 8);
            for (int run = 0; run < runs; ++run) {
                for (int ascii = static_cast<int>(rng() % 12); ascii > 0; --ascii)
                    bytes += static_cast<char>(0x20 + rng() % 95);
                bytes += rng() % 2 ? "\x1B$B" : "\x1B$@";
                for (int pairs = 1 + static_cast<int>(rng() % 20); pairs > 0; --pairs)
                    bytes += agreeing[static_cast<qsizetype>(rng() % agreeing.size())];
                bytes += "\x1B(B\r\n";
            }
            QStringDecoder qt("ISO-2022-JP");
            const QString expected = qt.decode(bytes);
            const Chunks chunks = randomSplit(bytes, rng);
            const QString text = decodeChunks(chunks);
            if (text != expected) {
                QFAIL(qPrintable(
                    u"seed %1 case %2 chunks %3: %4, expected %5"_qs.arg(kSeed).arg(i).arg(
                        describe(chunks), codePoints(text), codePoints(expected))));
            }
        }
    }

    // After Reset nothing of an answer cut off midway shows in the next one.
    void resetForgetsThePreviousAnswer()
    {
        std::mt19937 rng(kSeed);
        for (int i = 0; i < 2000; ++i) {
            const QByteArray cutOff = randomRichBytes(rng, false);
            const QByteArray next = randomRichBytes(rng, false);
            ResponseDecoder decoder;
            decoder.reset();
            decoder.decode(cutOff);
            decoder.reset();
            QString text = decoder.decode(next);
            text += decoder.flush();
            const QString expected = decodeWhole(next);
            if (text != expected) {
                QFAIL(qPrintable(u"seed %1 case %2: after %3, %4 gave %5"_qs.arg(kSeed).arg(i).arg(
                    describe({ cutOff }), describe({ next }), codePoints(text))));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestResponseDecoder)
#include "tst_response_decoder.moc"
