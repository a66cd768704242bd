#include "query/response_decoder.h"

#include "encoding/jis_char_table.h"
#include "encoding/code_page_932.h"
#include "encoding/utf8_char.h"

#include <QChar>

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>
#include <utility>

namespace {

using Byte = unsigned char;

constexpr Byte kEsc = 0x1B;

// The sequences that open a double-byte run, in the order they are tried.
constexpr std::array<std::string_view, 4> kOpeningEscapes = {
    "\x1B$@",
    "\x1B$B",
    "\x1B$(d",
    "\x1B&@\x1B$B",
};

struct EscapeMatch {
    enum Kind { None, Prefix, Whole } kind;
    qsizetype size;
};

// Whether the bytes at p begin with an opening escape sequence, or end while
// they still could.
EscapeMatch matchOpeningEscape(const Byte *p, const Byte *end)
{
    const auto available = static_cast<std::size_t>(end - p);
    bool prefix = false;
    for (const std::string_view escape : kOpeningEscapes) {
        const std::size_t compared = std::min(available, escape.size());
        if (std::memcmp(p, escape.data(), compared) != 0)
            continue;
        if (compared == escape.size())
            return { EscapeMatch::Whole, static_cast<qsizetype>(escape.size()) };
        prefix = true;
    }
    return { prefix ? EscapeMatch::Prefix : EscapeMatch::None, 0 };
}

bool isClosingFinalByte(Byte byte)
{
    return byte == 'B' || byte == 'J' || byte == 'H' || byte == 'I';
}

void appendCodePoint(char32_t codePoint, char16_t *&out)
{
    if (QChar::requiresSurrogates(codePoint)) {
        *out++ = QChar::highSurrogate(codePoint);
        *out++ = QChar::lowSurrogate(codePoint);
    } else {
        *out++ = static_cast<char16_t>(codePoint);
    }
}

} // namespace

void ResponseDecoder::reset()
{
    m_singleByte = true;
    m_utf8 = true;
    m_heldBytes.clear();
}

QString ResponseDecoder::decode(QByteArrayView chunk)
{
    if (m_heldBytes.isEmpty())
        return convert(chunk, false);
    QByteArray joined = std::exchange(m_heldBytes, {});
    joined.append(chunk);
    return convert(joined, false);
}

QString ResponseDecoder::flush()
{
    const QByteArray held = std::exchange(m_heldBytes, {});
    return convert(held, true);
}

QString ResponseDecoder::convert(QByteArrayView bytes, bool atEnd)
{
    // No byte gives more than one UTF-16 unit.
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t *const first = reinterpret_cast<char16_t *>(text.data());
    char16_t *out = first;
    const auto *begin = reinterpret_cast<const Byte *>(bytes.data());
    const Byte *end = begin + bytes.size();
    const Byte *stop = decodeIso2022Jp(begin, end, atEnd, out);
    m_heldBytes = QByteArray(reinterpret_cast<const char *>(stop), end - stop);
    text.truncate(out - first);
    return text;
}

const ResponseDecoder::Byte *ResponseDecoder::decodeIso2022Jp(
    const Byte *begin, const Byte *end, bool atEnd, char16_t *&out)
{
    const Byte *p = begin;
    while (p != end) {
        if (!m_singleByte) {
            p = decodePairs(p, end, atEnd, out);
            if (!m_singleByte)
                break;
            continue;
        }
        p = textFromBytes(p, end, atEnd, out);
        // Text stops early only at an escape or at bytes held back.
        if (p == end || *p != kEsc)
            break;
        const EscapeMatch escape = matchOpeningEscape(p, end);
        if (escape.kind == EscapeMatch::Prefix && !atEnd)
            break;
        if (escape.kind == EscapeMatch::Whole) {
            p += escape.size;
            m_singleByte = false;
        } else {
            *out++ = kEsc;
            ++p;
        }
    }
    return p;
}

const ResponseDecoder::Byte *ResponseDecoder::textFromBytes(
    const Byte *begin, const Byte *end, bool atEnd, char16_t *&out)
{
    const Byte *p = begin;
    char16_t *o = out;
    while (p != end) {
        const Byte byte = *p;
        if (byte < 0x80) {
            if (byte == kEsc)
                break;
            *o++ = byte;
            ++p;
            continue;
        }
        if (m_utf8) {
            const Utf8Char utf8 = readUtf8(p, end);
            if (utf8.size > 0) {
                appendCodePoint(utf8.codePoint, o);
                p += utf8.size;
                continue;
            }
            if (utf8.incomplete && !atEnd)
                break;
            // From this sequence on, the answer is code page 932.
            m_utf8 = false;
        }
        if (CodePage932::isLeadByte(byte) && end - p == 1 && !atEnd)
            break;
        const CodePage932::FrontChar front = CodePage932::decodeFront(QByteArrayView(p, end - p));
        *o++ = front.character;
        p += front.size;
    }
    out = o;
    return p;
}

const ResponseDecoder::Byte *ResponseDecoder::decodePairs(
    const Byte *begin, const Byte *end, bool atEnd, char16_t *&out)
{
    const JisCharTable &table = JisCharTable::instance();
    const Byte *p = begin;
    char16_t *o = out;
    while (end - p >= 2) {
        if (p[0] == kEsc && p[1] == '(') {
            if (end - p >= 3 && isClosingFinalByte(p[2])) {
                m_singleByte = true;
                p += 3;
                break;
            }
            // The closing sequence may end in the next chunk.
            if (end - p == 2 && !atEnd)
                break;
        }
        *o++ = table.pairChar(p[0], p[1]);
        p += 2;
    }
    out = o;
    // A lone byte waits for its partner; at the end of the answer it is dropped.
    return m_singleByte || !atEnd ? p : end;
}
