#include "rdap/raw_json_value.h"

#include <QByteArray>
#include <QStringDecoder>

namespace {

// Just past the string that opens at `at` (every escape is a backslash and
// one more character; \uXXXX has no quote nor backslash in its digits).
qsizetype stringEnd(QByteArrayView text, qsizetype at)
{
    for (qsizetype i = at + 1; i < text.size(); ++i) {
        if (text[i] == '\\')
            ++i;
        else if (text[i] == '"')
            return i + 1;
    }
    return text.size();
}

// The length of the value that `text` begins with.
qsizetype valueLength(QByteArrayView text)
{
    if (text.isEmpty())
        return 0;
    const char first = text.front();
    if (first == '"')
        return stringEnd(text, 0);
    if (first == '[' || first == '{') {
        int depth = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            switch (text[i]) {
            case '"':
                i = stringEnd(text, i) - 1;
                break;
            case '[':
            case '{':
                ++depth;
                break;
            case ']':
            case '}':
                if (--depth == 0)
                    return i + 1;
                break;
            default:
                break;
            }
        }
        return text.size();
    }
    qsizetype end = 1;
    while (end < text.size()) {
        const char c = text[end];
        if (c == ',' || c == ']' || c == '}' || c == ' ' || c == '\t' || c == '\n' || c == '\r')
            break;
        ++end;
    }
    return end;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    return (c | 0x20) - 'a' + 10;
}

// A string with escapes, decoded as QJsonDocument decodes it: a \uXXXX
// escape gives that UTF-16 unit whatever it is, and an unknown escape the
// character after the backslash.
QString unescaped(QByteArrayView content)
{
    QString text(content.size(), Qt::Uninitialized);
    QChar *out = text.data();
    // A byte order mark is a character like any other here.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    qsizetype at = 0;
    for (qsizetype escape = content.indexOf('\\'); escape >= 0;
         escape = content.indexOf('\\', at)) {
        out = decoder.appendToBuffer(out, content.sliced(at, escape - at));
        const char c = content[escape + 1];
        at = escape + 2;
        switch (c) {
        case 'b':
            *out++ = QChar(0x08);
            break;
        case 'f':
            *out++ = QChar(0x0C);
            break;
        case 'n':
            *out++ = QChar(0x0A);
            break;
        case 'r':
            *out++ = QChar(0x0D);
            break;
        case 't':
            *out++ = QChar(0x09);
            break;
        case 'u': {
            char16_t unit = 0;
            for (int i = 0; i < 4; ++i)
                unit = char16_t((unit << 4) | hexValue(content[at + i]));
            *out++ = QChar(unit);
            at += 4;
            break;
        }
        default:
            *out++ = QLatin1Char(c);
            break;
        }
    }
    out = decoder.appendToBuffer(out, content.sliced(at));
    text.truncate(out - text.constData());
    return text;
}

// Whether a number's text holds a whole number in Qt's reading: no
// exponent, and only zeros after a decimal point.
bool isIntegerText(QByteArrayView number)
{
    bool fraction = false;
    for (const char c : number) {
        if (c == 'e' || c == 'E')
            return false;
        if (c == '.')
            fraction = true;
        else if (fraction && c != '0')
            return false;
    }
    return true;
}

} // namespace

qsizetype RawJsonValue::skipBlanks(QByteArrayView text, qsizetype at)
{
    while (at < text.size()
        && (text[at] == ' ' || text[at] == '\t' || text[at] == '\n' || text[at] == '\r'))
        ++at;
    return at;
}

bool RawJsonValue::isDouble() const
{
    switch (first()) {
    case '\0':
    case '"':
    case '[':
    case '{':
    case 't':
    case 'f':
    case 'n':
        return false;
    default:
        return true;
    }
}

QString RawJsonValue::toString() const
{
    if (!isString())
        return {};
    const QByteArrayView written = text();
    const QByteArrayView content = written.sliced(1, written.size() - 2);
    return content.contains('\\') ? unescaped(content) : QString::fromUtf8(content);
}

qint64 RawJsonValue::toInteger() const
{
    if (!isDouble())
        return 0;
    const QByteArrayView number = text();
    const QByteArray bytes = QByteArray::fromRawData(number.data(), number.size());
    bool ok = false;
    if (isIntegerText(number)) {
        const qint64 value = bytes.toLongLong(&ok);
        if (ok)
            return value;
    }
    // A whole number in [-2^63, 2^63), as Qt keeps a double that is one.
    const double value = bytes.toDouble(&ok);
    constexpr double kLimit = 9223372036854775808.0;
    if (!ok || !(value >= -kLimit && value < kLimit))
        return 0;
    const auto whole = qint64(value);
    return double(whole) == value ? whole : 0;
}

RawJsonValue::Iterator RawJsonValue::begin() const
{
    if (!isArray())
        return end();
    const qsizetype at = skipBlanks(m_text, 1);
    if (at >= m_text.size() || m_text[at] == ']') {
        m_length = at + 1;
        return end();
    }
    return Iterator(this, RawJsonValue(m_text.sliced(at)));
}

RawJsonValue::Iterator RawJsonValue::end() const
{
    return Iterator();
}

RawJsonValue RawJsonValue::at(qsizetype index) const
{
    for (const RawJsonValue &element : *this) {
        if (index-- == 0)
            return element;
    }
    return {};
}

QByteArrayView RawJsonValue::text() const
{
    if (m_length < 0)
        m_length = valueLength(m_text);
    return m_text.first(m_length);
}

RawJsonValue::Iterator &RawJsonValue::Iterator::operator++()
{
    const QByteArrayView rest = m_element.m_text;
    const qsizetype at = skipBlanks(rest, m_element.text().size());
    if (at < rest.size() && rest[at] == ',') {
        m_element = RawJsonValue(rest.sliced(skipBlanks(rest, at + 1)));
    } else {
        m_array->m_length = rest.data() + at + 1 - m_array->m_text.data();
        m_element = RawJsonValue();
    }
    return *this;
}
