#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Turns the bytes of one whois answer into text, chunk by chunk as they
// arrive. Every answer goes through decodeIso2022Jp: text runs through
// textFromBytes until an escape sequence opens a run of two-byte JIS
// characters. So the ISO-2022-JP answers of JPNIC and APNIC decode the same
// whichever way their server was named (typed in capitals, with a trailing
// dot, as an address, a mirror or a referral target), and an answer without
// escapes is unchanged by it.
//
// Bytes at the end of a chunk that may still begin an escape sequence or
// complete a character are held and decoded with the next chunk, so the text
// does not depend on where the answer was split. Outside double-byte runs,
// bytes from 0x80 up are read as UTF-8 while the answer's 8-bit bytes have
// been valid UTF-8, and as code page 932 from the first sequence that is not.
class ResponseDecoder {
public:
    // Starts a new answer: single-byte mode, nothing held, UTF-8 assumed.
    void reset();

    // The text of one received chunk; what may continue in the next chunk is
    // held back.
    QString decode(QByteArrayView chunk);

    // The text of the bytes still held when the answer ends: bytes outside a
    // double-byte run as characters, a lone byte of a double-byte run dropped.
    QString flush();

    // True while bytes of a double-byte run are held for the next chunk.
    bool jisPending() const { return !m_singleByte && !m_heldBytes.isEmpty(); }

private:
    using Byte = unsigned char;

    // Each converter decodes [begin, end) into out, advancing it, and returns
    // where it stopped: end, or the first byte that may continue in the next
    // chunk. With atEnd set the bytes end the answer and nothing is left.
    // textFromBytes also stops at an escape, for decodeIso2022Jp to read.
    const Byte *textFromBytes(const Byte *begin, const Byte *end, bool atEnd, char16_t *&out);
    const Byte *decodeIso2022Jp(const Byte *begin, const Byte *end, bool atEnd, char16_t *&out);

    QString convert(QByteArrayView bytes, bool atEnd);
    const Byte *decodePairs(const Byte *begin, const Byte *end, bool atEnd, char16_t *&out);

    // True: single-byte mode; false: inside a double-byte run.
    bool m_singleByte = true;
    // True while every 8-bit byte of the answer has been valid UTF-8.
    bool m_utf8 = true;
    // The bytes at the end of the last chunk that were not decoded yet.
    QByteArray m_heldBytes;
};
