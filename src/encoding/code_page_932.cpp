#include "encoding/code_page_932.h"

#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>

#include <array>

namespace CodePage932 {
namespace {

// Every two-byte code, indexed by lead * 256 + trail; U+FFFD where the code
// has no character.
using DoubleByteTable = std::array<char16_t, std::size_t { 256 } * 256>;

// Every well-formed two-byte code, as lead * 256 + trail.
QList<int> wellFormedCodes()
{
    QList<int> codes;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (isLeadByte(static_cast<unsigned char>(lead))
                && isTrailByte(static_cast<unsigned char>(trail)))
                codes << lead * 256 + trail;
        }
    }
    return codes;
}

DoubleByteTable buildDoubleByteTable()
{
    DoubleByteTable table;
    table.fill(kReplacement);

    // One pass through the codec: every well-formed pair followed by a line
    // feed, which resynchronises the codec after a pair it rejects.
    const QList<int> codes = wellFormedCodes();
    QByteArray pairs;
    for (const int code : codes) {
        pairs.append(static_cast<char>(code >> 8));
        pairs.append(static_cast<char>(code & 0xFF));
        pairs.append('\n');
    }
    QStringDecoder decoder(kCodecName);
    if (!decoder.isValid())
        qFatal("Qt has no \"%s\" codec: Japanese text cannot be decoded", kCodecName);
    const QString decoded = decoder(pairs);
    const auto lines = QStringView(decoded).split(u'\n');

    for (qsizetype i = 0; i < codes.size() && i < lines.size(); ++i) {
        // The codec marks a pair it cannot map with U+FFFD or U+001A.
        const QStringView text = lines[i];
        if (text.size() == 1 && text[0] != kReplacement && text[0] != u'\x1A')
            table[static_cast<std::size_t>(codes[i])] = text[0].unicode();
    }
    return table;
}

const DoubleByteTable &doubleByteTable()
{
    static const DoubleByteTable table = buildDoubleByteTable();
    return table;
}

} // namespace

bool codecAvailable()
{
    return QStringDecoder(kCodecName).isValid() && QStringEncoder(kCodecName).isValid();
}

bool isLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool isTrailByte(unsigned char byte)
{
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

char16_t singleByteChar(unsigned char byte)
{
    if (byte <= 0x7F)
        return byte;
    if (byte >= 0xA1 && byte <= 0xDF)
        return static_cast<char16_t>(0xFF61 + (byte - 0xA1));
    return kReplacement;
}

char16_t doubleByteChar(unsigned char lead, unsigned char trail)
{
    return doubleByteTable()[static_cast<std::size_t>(lead * 256 + trail)];
}

FrontChar decodeFront(QByteArrayView bytes)
{
    const auto byte = static_cast<unsigned char>(bytes[0]);
    if (bytes.size() >= 2 && isLeadByte(byte)) {
        const auto trail = static_cast<unsigned char>(bytes[1]);
        if (isTrailByte(trail))
            return { doubleByteChar(byte, trail), 2 };
    }
    return { singleByteChar(byte), 1 };
}

QString decode(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    while (!bytes.isEmpty()) {
        const FrontChar front = decodeFront(bytes);
        text += QChar(front.character);
        bytes = bytes.sliced(front.size);
    }
    return text;
}

QByteArray encode(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    QStringEncoder encoder(kCodecName);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.unicode() <= 0x7F) {
            bytes.append(static_cast<char>(c.unicode()));
            continue;
        }
        if (c.isSurrogate()) {
            // No character outside the BMP exists in code page 932.
            if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
                ++i;
            bytes.append('?');
            continue;
        }
        // The codec substitutes or best-fits what it cannot hold; only a code
        // that decodes back to the same character is taken.
        const QByteArray encoded = encoder.encode(QStringView(&c, 1));
        const bool roundTrips = !encoded.isEmpty() && decode(encoded) == QStringView(&c, 1);
        bytes.append(roundTrips ? encoded : QByteArray(1, '?'));
    }
    return bytes;
}

} // namespace CodePage932
