#include "rdap/json_syntax.h"

#include <QByteArray>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isHexDigit(char c)
{
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool isContinuation(uchar b)
{
    return (b & 0xC0) == 0x80;
}

// The length of the UTF-8 sequence at `at` when it encodes a character
// (not overlong, not a surrogate, at most U+10FFFF), else 0.
int utf8Sequence(const char *at, const char *end)
{
    const auto lead = uchar(*at);
    int more = 0;
    char32_t c = 0;
    char32_t least = 0;
    if (lead < 0x80)
        return 1;
    if (lead < 0xC2 || lead > 0xF4)
        return 0;
    if (lead < 0xE0) {
        more = 1;
        c = lead & 0x1F;
        least = 0x80;
    } else if (lead < 0xF0) {
        more = 2;
        c = lead & 0x0F;
        least = 0x800;
    } else {
        more = 3;
        c = lead & 0x07;
        least = 0x10000;
    }
    if (end - at <= more)
        return 0;
    for (int i = 1; i <= more; ++i) {
        if (!isContinuation(uchar(at[i])))
            return 0;
        c = (c << 6) | (uchar(at[i]) & 0x3F);
    }
    const bool surrogate = c >= 0xD800 && c <= 0xDFFF;
    return c < least || surrogate || c > 0x10FFFF ? 0 : more + 1;
}

// A reader that follows QJsonDocument::fromJson step by step (the same
// tokens, the same checks in the same order) but keeps nothing.
class SyntaxCheck {
public:
    SyntaxCheck(QByteArrayView json, int maxNesting)
        : m_at(json.data()), m_end(json.data() + json.size()), m_maxNesting(maxNesting)
    {
    }

    qsizetype objectStart(QByteArrayView json)
    {
        if (json.size() > 3 && json.startsWith("\xEF\xBB\xBF"))
            m_at += 3;
        if (nextToken() != '{')
            return -1;
        const qsizetype start = m_at - 1 - json.data();
        if (!object())
            return -1;
        skipBlanks();
        return m_at == m_end ? start : -1;
    }

private:
    // Whether anything follows the blanks.
    bool skipBlanks()
    {
        while (m_at < m_end && isBlank(*m_at))
            ++m_at;
        return m_at < m_end;
    }

    // The structural character after the blanks, taken; 0 for anything else.
    char nextToken()
    {
        if (!skipBlanks())
            return 0;
        const char c = *m_at++;
        switch (c) {
        case '[':
        case '{':
        case ':':
        case ',':
        case ']':
        case '}':
        case '"':
            return c;
        default:
            return 0;
        }
    }

    // After the opening brace.
    bool object()
    {
        if (++m_nesting > m_maxNesting)
            return false;
        char token = nextToken();
        while (token == '"') {
            if (!string() || nextToken() != ':' || !skipBlanks() || !value())
                return false;
            token = nextToken();
            if (token != ',')
                break;
            token = nextToken();
            if (token == '}')
                return false;
        }
        --m_nesting;
        return token == '}';
    }

    // After the opening bracket.
    bool array()
    {
        if (++m_nesting > m_maxNesting || !skipBlanks())
            return false;
        if (*m_at == ']') {
            ++m_at;
        } else {
            for (;;) {
                if (!skipBlanks() || !value())
                    return false;
                const char token = nextToken();
                if (token == ']')
                    break;
                if (token != ',')
                    return false;
            }
        }
        --m_nesting;
        return true;
    }

    // At the value's first character, which exists.
    bool value()
    {
        switch (*m_at++) {
        case 'n':
            return literal("ull", 4);
        case 't':
            return literal("rue", 4);
        case 'f':
            return literal("alse", 5);
        case '"':
            return string();
        case '[':
            return array();
        case '{':
            return object();
        case ',':
        case ']':
        case '}':
            return false;
        default:
            --m_at;
            return number();
        }
    }

    // The rest of a literal; Qt wants `needed` bytes left after its first.
    bool literal(QByteArrayView rest, qsizetype needed)
    {
        if (m_end - m_at < needed || !QByteArrayView(m_at, rest.size()).startsWith(rest))
            return false;
        m_at += rest.size();
        return true;
    }

    bool number()
    {
        const char *start = m_at;
        if (m_at < m_end && *m_at == '-')
            ++m_at;
        const char *digits = m_at;
        if (m_at < m_end && *m_at == '0') {
            ++m_at;
        } else {
            while (m_at < m_end && isDigit(*m_at))
                ++m_at;
        }
        const qsizetype integerDigits = m_at - digits;
        bool isInt = true;
        if (m_at < m_end && *m_at == '.') {
            ++m_at;
            for (; m_at < m_end && isDigit(*m_at); ++m_at)
                isInt = isInt && *m_at == '0';
        }
        bool hasFraction = m_at - digits > integerDigits;
        if (m_at < m_end && (*m_at == 'e' || *m_at == 'E')) {
            isInt = false;
            hasFraction = true;
            ++m_at;
            if (m_at < m_end && (*m_at == '-' || *m_at == '+'))
                ++m_at;
            while (m_at < m_end && isDigit(*m_at))
                ++m_at;
        }
        if (m_at >= m_end)
            return false;
        // Plain integers of up to 18 digits always fit; anything else is
        // read by the functions Qt reads it with.
        if (!hasFraction && integerDigits > 0 && integerDigits <= 18)
            return true;
        const QByteArray text = QByteArray::fromRawData(start, m_at - start);
        bool ok = false;
        if (isInt)
            text.toLongLong(&ok);
        if (!ok)
            text.toDouble(&ok);
        return ok;
    }

    // After the opening quote.
    bool string()
    {
        while (m_at < m_end) {
            const char c = *m_at;
            if (c == '"')
                break;
            if (c == '\\') {
                if (++m_at >= m_end)
                    return false;
                if (*m_at++ != 'u')
                    continue;
                if (m_end - m_at < 4)
                    return false;
                for (int i = 0; i < 4; ++i) {
                    if (!isHexDigit(*m_at++))
                        return false;
                }
            } else if (uchar(c) < 0x80) {
                ++m_at;
            } else {
                const int length = utf8Sequence(m_at, m_end);
                if (length == 0)
                    return false;
                m_at += length;
            }
        }
        // Qt wants something after the closing quote.
        return m_at < m_end && ++m_at < m_end;
    }

    const char *m_at;
    const char *const m_end;
    const int m_maxNesting;
    int m_nesting = 0;
};

} // namespace

qsizetype jsonObjectStart(QByteArrayView json, int maxNesting)
{
    return SyntaxCheck(json, maxNesting).objectStart(json);
}
