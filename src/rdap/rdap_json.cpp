#include "rdap/rdap_json.h"

#include <QStringDecoder>

#include <algorithm>

namespace {

// Parsed text nests at most kMaxRdapNesting levels; deeper lines get the
// deepest indent.
constexpr int kMaxIndentLevels = 64;

// The index just past the string that opens at `at`, or the end of the text
// when the string is not closed.
qsizetype stringEnd(QByteArrayView json, qsizetype at)
{
    for (qsizetype i = at + 1; i < json.size(); ++i) {
        if (json[i] == '\\')
            ++i;
        else if (json[i] == '"')
            return i + 1;
    }
    return json.size();
}

bool isJsonBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool endsValue(char c)
{
    return isJsonBlank(c) || c == ',' || c == ':' || c == '}' || c == ']' || c == '"' || c == '{'
        || c == '[';
}

bool isPrintableAscii(char c)
{
    return c >= 0x20 && c < 0x7F;
}

bool isContinuation(uchar b)
{
    return (b & 0xC0) == 0x80;
}

// The length of the UTF-8 sequence at `at` when it encodes a character that
// isUnsafeForDisplay names (all of them take one to three bytes), else 0.
int unsafeSequence(QByteArrayView text, qsizetype at, char32_t &c)
{
    const auto lead = uchar(text[at]);
    if (lead < 0x80) {
        c = lead;
        return isUnsafeForDisplay(c) ? 1 : 0;
    }
    if (lead == 0xC2 && at + 1 < text.size() && isContinuation(uchar(text[at + 1]))) {
        c = (uchar(text[at + 1]) & 0x3F) | 0x80;
        return isUnsafeForDisplay(c) ? 2 : 0;
    }
    if (lead == 0xE2 && at + 2 < text.size() && isContinuation(uchar(text[at + 1]))
        && isContinuation(uchar(text[at + 2]))) {
        c = 0x2000 | ((uchar(text[at + 1]) & 0x3F) << 6) | (uchar(text[at + 2]) & 0x3F);
        return isUnsafeForDisplay(c) ? 3 : 0;
    }
    return 0;
}

// Whether UTF-8 bytes end with a whole character, so that a decoder holds
// nothing back from them.
bool endsWhole(QByteArrayView bytes)
{
    qsizetype lead = bytes.size() - 1;
    while (lead > 0 && lead > bytes.size() - 4 && isContinuation(uchar(bytes[lead])))
        --lead;
    const auto b = uchar(bytes[lead]);
    const qsizetype length = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 0;
    return length == bytes.size() - lead;
}

// Writes into the end of a QString through a pointer (appending piece by
// piece costs more than the layout itself) and refuses to pass a limit.
class LayoutWriter {
public:
    // Room is made for `expected` characters at once.
    LayoutWriter(QString &text, qsizetype maxChars, qsizetype expected)
        : m_text(text), m_start(text.size()), m_limit(text.size() + maxChars)
    {
        m_text.resize(m_start + std::clamp<qsizetype>(expected, 0, maxChars));
        m_at = m_text.data() + m_start;
    }
    ~LayoutWriter() { m_text.truncate(m_at - m_text.constData()); }
    LayoutWriter(const LayoutWriter &) = delete;
    LayoutWriter &operator=(const LayoutWriter &) = delete;

    // Starts again from where the writer began.
    void rewind()
    {
        m_at = m_text.data() + m_start;
        m_decoder.resetState();
        m_decoderClear = true;
    }

    bool putAscii(QByteArrayView bytes)
    {
        if (!reserve(bytes.size()))
            return false;
        m_at =
            std::transform(bytes.begin(), bytes.end(), m_at, [](char c) { return QLatin1Char(c); });
        return true;
    }

    bool putIndent(int depth)
    {
        const qsizetype spaces = qsizetype(std::clamp(depth, 0, kMaxIndentLevels)) * 4;
        if (!reserve(spaces + 1))
            return false;
        *m_at++ = u'\n';
        m_at = std::fill_n(m_at, spaces, u' ');
        return true;
    }

    // A JSON string token, unsafe characters written as \uXXXX.
    bool putString(QByteArrayView token)
    {
        qsizetype run = 0;
        bool ascii = true; // the run so far
        for (qsizetype i = 0; i < token.size();) {
            if (isPrintableAscii(token[i])) {
                ++i;
                continue;
            }
            char32_t c = 0;
            const int unsafe = unsafeSequence(token, i, c);
            if (unsafe == 0) {
                ascii = false; // a byte past ASCII: its controls are all unsafe
                ++i;
                continue;
            }
            if (!putRun(token.sliced(run, i - run), ascii) || !putEscape(c))
                return false;
            i += unsafe;
            run = i;
            ascii = true;
        }
        return putRun(token.sliced(run), ascii);
    }

    // Appends a line without a limit; for the closing line of a cut text.
    void putLine(QStringView line)
    {
        const qsizetype used = m_at - m_text.constData();
        m_text.truncate(used);
        m_text.append(u'\n').append(line);
        m_at = m_text.data() + m_text.size();
    }

private:
    bool reserve(qsizetype more)
    {
        const qsizetype used = m_at - m_text.constData();
        if (used + more > m_limit)
            return false;
        if (used + more > m_text.size()) {
            m_text.resize(std::min(m_limit, std::max(m_text.size() * 2, used + more)));
            m_at = m_text.data() + used;
        }
        return true;
    }

    // UTF-8, which never takes more UTF-16 units than bytes. ASCII is
    // copied as it is unless the decoder holds back part of a character.
    bool putRun(QByteArrayView bytes, bool ascii)
    {
        if (ascii && m_decoderClear)
            return putAscii(bytes);
        if (!reserve(bytes.size()))
            return false;
        m_at = m_decoder.appendToBuffer(m_at, bytes);
        if (!bytes.isEmpty())
            m_decoderClear = endsWhole(bytes);
        return true;
    }

    bool putEscape(char32_t c)
    {
        static constexpr char kHex[] = "0123456789ABCDEF";
        if (!reserve(6))
            return false;
        *m_at++ = u'\\';
        *m_at++ = u'u';
        for (int shift = 12; shift >= 0; shift -= 4)
            *m_at++ = QLatin1Char(kHex[(c >> shift) & 0xF]);
        return true;
    }

    QString &m_text;
    const qsizetype m_start;
    const qsizetype m_limit;
    QChar *m_at = nullptr;
    // A byte order mark is kept wherever it is.
    QStringDecoder m_decoder { QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom };
    bool m_decoderClear = true; // the decoder holds back nothing
};

// The number of UTF-16 units a UTF-8 sequence at `at` decodes to when it is
// whole (a lead byte and its continuation bytes), else 0; `length` is set
// to the bytes it takes, 1 for a byte that starts no whole sequence.
int utf16Units(QByteArrayView text, qsizetype at, int &length)
{
    const auto lead = uchar(text[at]);
    length = 1;
    if (lead < 0x80)
        return 1;
    const int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (more == 0 || lead > 0xF4 || at + more >= text.size())
        return 0;
    for (int i = 1; i <= more; ++i) {
        if (!isContinuation(uchar(text[at + i])))
            return 0;
    }
    length = more + 1;
    // Four bytes make a surrogate pair when they encode U+10000..U+10FFFF.
    const auto second = uchar(text[at + 1]);
    const bool pair =
        more == 3 && (lead != 0xF0 || second >= 0x90) && (lead != 0xF4 || second < 0x90);
    return pair ? 2 : 1;
}

// Counts what LayoutWriter would write without writing it, and stops where
// LayoutWriter would stop, so that the text is made room for once and a
// layout that would pass its bound is not begun. Exact for valid UTF-8; for
// anything else it never counts more, nor stops sooner, than LayoutWriter.
class LayoutCounter {
public:
    explicit LayoutCounter(qsizetype limit) : m_limit(limit) { }

    qsizetype count() const { return m_count; }

    bool putAscii(QByteArrayView bytes) { return add(bytes.size(), bytes.size()); }

    bool putIndent(int depth)
    {
        const qsizetype chars = qsizetype(std::clamp(depth, 0, kMaxIndentLevels)) * 4 + 1;
        return add(chars, chars);
    }

    bool putString(QByteArrayView token)
    {
        qsizetype run = 0; // where the bytes since the last escape begin
        qsizetype units = 0; // and what they decode to
        for (qsizetype i = 0; i < token.size();) {
            if (isPrintableAscii(token[i])) {
                ++units;
                ++i;
                continue;
            }
            char32_t c = 0;
            const int unsafe = unsafeSequence(token, i, c);
            if (unsafe == 0) {
                int length = 1;
                units += utf16Units(token, i, length);
                i += length;
                continue;
            }
            if (!add(i - run, units) || !add(6, 6))
                return false;
            i += unsafe;
            run = i;
            units = 0;
        }
        return add(token.size() - run, units);
    }

private:
    // LayoutWriter asks for room for `room` characters before it writes
    // `chars` (a byte of UTF-8 may take a character).
    bool add(qsizetype room, qsizetype chars)
    {
        if (m_count + room > m_limit)
            return false;
        m_count += chars;
        return true;
    }

    const qsizetype m_limit;
    qsizetype m_count = 0;
};

// Writes the JSON laid out (indent) or with the whitespace it came with;
// false when the writer's limit stops it.
template<typename Writer> bool layout(QByteArrayView json, bool indent, Writer &out)
{
    int depth = 0;
    bool opened = false; // the last token opened an array or object
    for (qsizetype i = 0; i < json.size();) {
        const char c = json[i];
        if (isJsonBlank(c)) {
            if (!indent && c != '\r' && !out.putAscii(QByteArrayView(&c, 1)))
                return false;
            ++i;
            continue;
        }
        const bool closing = c == '}' || c == ']';
        if (indent) {
            if (closing)
                --depth;
            if ((closing && !opened) || (!closing && opened)) {
                if (!out.putIndent(depth))
                    return false;
            }
            opened = false;
        }

        // Strings, numbers and literals are written whole.
        qsizetype end = i + 1;
        if (c == '"') {
            end = stringEnd(json, i);
        } else if (!closing && c != '{' && c != '[' && c != ',' && c != ':') {
            while (end < json.size() && !endsValue(json[end]))
                ++end;
        }
        const QByteArrayView token = json.sliced(i, end - i);
        if (!(c == '"' ? out.putString(token) : out.putAscii(token)))
            return false;
        i = end;

        if (!indent)
            continue;
        if (c == '{' || c == '[') {
            ++depth;
            opened = true;
        } else if ((c == ',' && !out.putIndent(depth)) || (c == ':' && !out.putAscii(" "))) {
            return false;
        }
    }
    return true;
}

// Writes the JSON with the whitespace it came with, as Layout does, but
// the bytes between strings in runs rather than token by token. It writes
// all of the text where Layout would, but where the writer's limit stops it
// may differ.
template<typename Writer> bool asReceived(QByteArrayView json, Writer &out)
{
    qsizetype run = 0; // bytes outside strings not yet written
    for (qsizetype i = 0; i < json.size();) {
        const char c = json[i];
        if (c != '"' && c != '\r') {
            ++i;
            continue;
        }
        if (!out.putAscii(json.sliced(run, i - run)))
            return false;
        if (c == '"') {
            const qsizetype end = stringEnd(json, i);
            if (!out.putString(json.sliced(i, end - i)))
                return false;
            i = end;
        } else {
            ++i; // CR outside strings is dropped
        }
        run = i;
    }
    return out.putAscii(json.sliced(run));
}

} // namespace

int jsonNestingDepth(QByteArrayView json)
{
    int depth = 0;
    int deepest = 0;
    for (qsizetype i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (c == '"')
            i = stringEnd(json, i) - 1;
        else if (c == '{' || c == '[')
            deepest = std::max(deepest, ++depth);
        else if (c == '}' || c == ']')
            --depth;
    }
    return deepest;
}

bool isUnsafeForDisplay(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029
        || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

qsizetype jsonLayoutLimit(QByteArrayView json)
{
    return 2 * json.size() + qsizetype(1024) * 1024;
}

void appendIndentedJson(QString &text, QByteArrayView json, qsizetype maxChars)
{
    // The layout is counted first, so that one past the bound is not
    // written only to be thrown away, and the text grows once. As received,
    // the text takes a character a byte but for the few written as escapes.
    LayoutCounter laidOut(maxChars);
    const bool indent = layout(json, true, laidOut);
    LayoutWriter out(text, maxChars, indent ? laidOut.count() : json.size());
    if (indent ? layout(json, true, out) : asReceived(json, out))
        return;
    // The text as received cut after the last token within the bound; or,
    // when the count fell short (text that parsed as JSON never makes it),
    // the whole of it.
    out.rewind();
    if (!layout(json, false, out))
        out.putLine(u"---- JSON の残りは大きすぎるため表示しません ----");
}
