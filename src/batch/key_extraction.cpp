#include "batch/key_extraction.h"

#include "selection/registry_data.h"

#include <QHostAddress>
#include <QSet>
#include <QUrl>

#include <algorithm>

namespace {

using Kind = QueryKey::Kind;

// Full-width ASCII (U+FF01-U+FF5E) as ASCII and the ideographic space as a
// space; every other character as it is.
char16_t foldedChar(char16_t c)
{
    if (c >= 0xFF01 && c <= 0xFF5E)
        return static_cast<char16_t>(c - 0xFF01 + 0x21);
    if (c == 0x3000)
        return u' ';
    return c;
}

bool isAsciiAlnum(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isHexDigit(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Kana, the prolonged sound mark, kanji and half-width katakana: Japanese
// text runs into ASCII keys without a space ("例えばexample.jpです"), so a
// change between these and ASCII letters or digits ends a token.
bool isJapaneseChar(char16_t c)
{
    return (c >= 0x3041 && c <= 0x30FF) || (c >= 0x3400 && c <= 0x4DBF)
        || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF)
        || (c >= 0xFF66 && c <= 0xFF9F);
}

// Characters that can be part of a key: ASCII letters, digits and the
// joiners . : - _, and letters, digits and marks of other scripts (labels of
// internationalised domain names).
bool isTokenChar(char16_t c)
{
    if (c < 0x80)
        return isAsciiAlnum(c) || c == u'.' || c == u':' || c == u'-' || c == u'_';
    if (QChar::isSurrogate(c))
        return false;
    const QChar ch(c);
    return ch.isLetterOrNumber() || ch.isMark();
}

// Joiners that never begin or end a key; a colon may ("::1", "2001:db8::").
bool isJoiner(char16_t c) { return c == u'.' || c == u'-' || c == u'_'; }

QStringView trimmedJoiners(QStringView token)
{
    while (!token.isEmpty() && isJoiner(token.front().unicode()))
        token = token.sliced(1);
    while (!token.isEmpty() && isJoiner(token.back().unicode()))
        token.chop(1);
    return token;
}

std::optional<ExtractedKey> readIpv6(QStringView token)
{
    // The longest text form is 45 characters (with an IPv4 tail).
    if (token.size() > 45 || token.count(u':') < 2)
        return std::nullopt;
    const bool shaped = std::all_of(token.begin(), token.end(), [](QChar c) {
        return isHexDigit(c.unicode()) || c == u':' || c == u'.';
    });
    // "::" alone is the unspecified address, never a key in a text.
    if (!shaped || !std::any_of(token.begin(), token.end(), [](QChar c) { return isHexDigit(c.unicode()); }))
        return std::nullopt;
    // A time ("12:34:56") has three groups and no "::", which no address has.
    const QHostAddress address(token.toString());
    if (address.protocol() != QAbstractSocket::IPv6Protocol)
        return std::nullopt;
    return ExtractedKey { Kind::IPv6, address.toString() };
}

// Exactly four dot-separated numbers of one to three digits, each at most 255.
std::optional<ExtractedKey> readIpv4(QStringView token)
{
    if (token.size() > 15)
        return std::nullopt;
    quint32 parts[4] = {};
    int part = 0;
    int digits = 0;
    for (const QChar c : token) {
        if (c == u'.') {
            if (digits == 0 || ++part > 3)
                return std::nullopt;
            digits = 0;
        } else if (isDigit(c.unicode())) {
            if (++digits > 3)
                return std::nullopt;
            parts[part] = parts[part] * 10 + (c.unicode() - u'0');
            if (parts[part] > 255)
                return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
    if (part != 3 || digits == 0)
        return std::nullopt;
    return ExtractedKey { Kind::IPv4,
        QStringLiteral("%1.%2.%3.%4").arg(parts[0]).arg(parts[1]).arg(parts[2]).arg(parts[3]) };
}

std::optional<quint64> readNumber(QStringView digits, int maxDigits)
{
    if (digits.isEmpty() || digits.size() > maxDigits)
        return std::nullopt;
    quint64 number = 0;
    for (const QChar c : digits) {
        if (!isDigit(c.unicode()))
            return std::nullopt;
        number = number * 10 + (c.unicode() - u'0');
    }
    return number;
}

// "AS15169" in either case, or the dotted form "AS1.1" (= AS65537).
std::optional<ExtractedKey> readAsNumber(QStringView token)
{
    if (token.size() < 3 || !token.startsWith(u"as", Qt::CaseInsensitive))
        return std::nullopt;
    const QStringView number = token.sliced(2);
    const qsizetype dot = number.indexOf(u'.');
    quint64 value = 0;
    if (dot < 0) {
        const auto plain = readNumber(number, 10);
        if (!plain || *plain > 0xFFFFFFFFull)
            return std::nullopt;
        value = *plain;
    } else {
        const auto high = readNumber(number.first(dot), 5);
        const auto low = readNumber(number.sliced(dot + 1), 5);
        if (!high || !low || *high > 0xFFFF || *low > 0xFFFF)
            return std::nullopt;
        value = (*high << 16) | *low;
    }
    return ExtractedKey { Kind::AsNumber, u"AS"_qs + QString::number(value) };
}

bool isAsciiLabel(QStringView label)
{
    return std::all_of(label.begin(), label.end(), [](QChar c) { return c.unicode() < 0x80; });
}

// A host name label: letters, digits and inner hyphens, at most 63
// characters in its ASCII form.
bool isValidLabel(QStringView label)
{
    if (label.isEmpty() || label.size() > 63 || label.front() == u'-' || label.back() == u'-')
        return false;
    if (isAsciiLabel(label)) {
        return std::all_of(label.begin(), label.end(),
            [](QChar c) { return isAsciiAlnum(c.unicode()) || c == u'-'; });
    }
    if (label.contains(u'_'))
        return false;
    const QByteArray ace = QUrl::toAce(label.toString());
    return !ace.isEmpty() && ace.size() <= 63;
}

bool isTopLevelDomain(QStringView label)
{
    if (label.isEmpty() || label.size() > 63)
        return false;
    const QString lower = label.toString().toLower();
    const QString ascii = isAsciiLabel(lower) ? lower : QString::fromLatin1(QUrl::toAce(lower));
    return !ascii.isEmpty() && RegistryData::inUse()->isTopLevelDomain(ascii);
}

// The name that ends at the rightmost label that is a top-level domain with
// a valid label before it, reaching left over every valid label:
// "mail.example.co.jp" in "mail.example.co.jp.log", "example.com" in
// "my_host.example.com".
std::optional<ExtractedKey> readDomainName(QStringView token)
{
    const QList<QStringView> labels = token.split(u'.');
    for (qsizetype last = labels.size() - 1; last >= 1; --last) {
        if (!isValidLabel(labels[last - 1]) || !isTopLevelDomain(labels[last]))
            continue;
        qsizetype first = last - 1;
        while (first > 0 && isValidLabel(labels[first - 1]))
            --first;
        const qsizetype begin = labels[first].data() - token.data();
        const qsizetype end = labels[last].data() + labels[last].size() - token.data();
        const QStringView name = token.sliced(begin, end - begin);
        if (name.size() > 253)
            return std::nullopt;
        return ExtractedKey { Kind::Name, name.toString() };
    }
    return std::nullopt;
}

std::optional<ExtractedKey> readKey(QStringView token)
{
    if (token.contains(u':'))
        return readIpv6(token);
    if (auto key = readAsNumber(token))
        return key;
    if (auto key = readIpv4(token))
        return key;
    return readDomainName(token);
}

// The pieces of a token split at each dot that follows a Japanese
// character: a Japanese full stop before ASCII ends a sentence as often as
// it separates labels ("です。192.0.2.6").
QList<QStringView> splitAfterJapanese(QStringView token)
{
    QList<QStringView> pieces;
    qsizetype begin = 0;
    for (qsizetype i = 1; i < token.size(); ++i) {
        if (token[i] == u'.' && isJapaneseChar(token[i - 1].unicode())) {
            pieces.append(token.sliced(begin, i - begin));
            begin = i + 1;
        }
    }
    pieces.append(token.sliced(begin));
    return pieces;
}

class KeyCollector {
public:
    void addToken(QStringView token)
    {
        token = trimmedJoiners(token);
        if (token.isEmpty())
            return;
        if (auto key = readKey(token)) {
            add(std::move(*key));
            return;
        }
        const QList<QStringView> pieces = splitAfterJapanese(token);
        if (pieces.size() > 1) {
            for (const QStringView piece : pieces)
                addToken(piece);
            return;
        }
        // "192.0.2.1:8080", "example.com:443", "time=12:34:56": the parts
        // between colons, when the whole is no IPv6 address.
        if (token.contains(u':')) {
            for (const QStringView part : token.split(u':')) {
                const QStringView trimmed = trimmedJoiners(part);
                if (!trimmed.isEmpty())
                    if (auto key = readKey(trimmed))
                        add(std::move(*key));
            }
        }
    }

    QList<ExtractedKey> takeKeys() { return std::move(m_keys); }

private:
    void add(ExtractedKey key)
    {
        const QString seen = key.text.toLower();
        if (m_seen.contains(seen))
            return;
        m_seen.insert(seen);
        m_keys.append(std::move(key));
    }

    QList<ExtractedKey> m_keys;
    QSet<QString> m_seen;
};

} // namespace

QList<ExtractedKey> extractKeys(QStringView text)
{
    KeyCollector collector;
    QString token;
    char16_t previous = 0;
    const auto endToken = [&] {
        collector.addToken(token);
        token.clear();
    };
    // A token still open at the limit may be cut short, so it is dropped.
    const qsizetype size = std::min(text.size(), kMaxBatchTextChars);
    for (qsizetype i = 0; i < size; ++i) {
        char16_t c = foldedChar(text[i].unicode());
        // The ideographic full stops separate labels only when ASCII follows
        // them ("example。jp"); otherwise they end a sentence.
        if (c == 0x3002 || c == 0xFF61) {
            const char16_t next = i + 1 < text.size() ? foldedChar(text[i + 1].unicode()) : 0;
            c = isAsciiAlnum(next) ? u'.' : u' ';
        }
        if (!isTokenChar(c)) {
            endToken();
            previous = 0;
            continue;
        }
        if ((isAsciiAlnum(previous) && isJapaneseChar(c)) || (isJapaneseChar(previous) && isAsciiAlnum(c)))
            endToken();
        token.append(QChar(c));
        previous = c;
    }
    if (text.size() <= kMaxBatchTextChars)
        endToken();
    return collector.takeKeys();
}
