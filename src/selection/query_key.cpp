#include "selection/query_key.h"

#include "selection/blank_trim.h"
#include "selection/ip_list.h"
#include "selection/registry_data.h"

#include <QRegularExpression>
#include <QUrl>

#include <algorithm>
#include <optional>

namespace {

bool isAscii(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

// Full-width ASCII forms (U+FF01 to U+FF5E) and the ideographic space, as a
// Japanese input method types them, in their ASCII form.
QString foldedWidth(QString text)
{
    for (QChar &c : text) {
        if (c.unicode() >= 0xFF01 && c.unicode() <= 0xFF5E)
            c = QChar(c.unicode() - 0xFEE0);
        else if (c == u'\u3000')
            c = u' ';
    }
    return text;
}

// The host of a pasted URL such as "https://example.jp/path?q=1"; an empty
// text for anything else.
QString urlHost(const QString &text)
{
    static const QRegularExpression scheme(u"^[A-Za-z][A-Za-z0-9+.-]*://"_qs);
    if (!scheme.match(text).hasMatch())
        return {};
    return QUrl(text).host();
}

// The "/length" after an address: 1 to 3 digits up to maxLength; -1 for no
// suffix, -2 for one that is not a length.
int prefixLength(const QString &suffix, int maxLength)
{
    static const QRegularExpression digits(u"^/([0-9]{1,3})$"_qs);
    if (suffix.isEmpty())
        return -1;
    const QRegularExpressionMatch match = digits.match(suffix);
    const int length = match.hasMatch() ? match.captured(1).toInt() : -2;
    return length <= maxLength ? length : -2;
}

// A dotted IPv4 address as the address table reads it, with an optional
// "/length" of 0 to 32.
bool readIpv4(const QString &text, QueryKey &key)
{
    const qsizetype slash = text.indexOf(u'/');
    const int length =
        prefixLength(slash < 0 ? QString() : text.sliced(slash), 32);
    IpList ipv4;
    if (length < -1 || !ipv4.checkIp(slash < 0 ? text : text.first(slash)))
        return false;
    key.kind = QueryKey::Kind::IPv4;
    key.address = QHostAddress(ipv4.address());
    key.prefixLength = length;
    return true;
}

// The IPv4 address inside an IPv4-mapped address (::ffff:0:0/96), a 6to4
// address (2002::/16, bits 16 to 47) or a Teredo address (2001::/32, the
// client's address inverted in the last 32 bits).
std::optional<quint32> embeddedIpv4(const QHostAddress &address)
{
    const Q_IPV6ADDR bytes = address.toIPv6Address();
    const auto word = [&](int at) {
        return quint32(bytes[at]) << 24 | quint32(bytes[at + 1]) << 16 | quint32(bytes[at + 2]) << 8
            | quint32(bytes[at + 3]);
    };
    if (word(0) == 0 && word(4) == 0 && word(8) == 0xFFFF)
        return word(12);
    if (bytes[0] == 0x20 && bytes[1] == 0x02)
        return word(2);
    if (word(0) == 0x20010000)
        return ~word(12);
    return std::nullopt;
}

// An IPv6 address in RFC 4291 text, with an optional "/length" of 0 to 128.
// An address alone that embeds an IPv4 address is read as that address.
bool readIpv6(const QString &text, QueryKey &key)
{
    static const QRegularExpression form(u"^([0-9A-Fa-f:.]*:[0-9A-Fa-f:.]*)(/.*)?$"_qs);
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return false;
    const QHostAddress address(match.captured(1));
    const int length = prefixLength(match.captured(2), 128);
    if (address.protocol() != QAbstractSocket::IPv6Protocol || length < -1)
        return false;
    const std::optional<quint32> ipv4 = length < 0 ? embeddedIpv4(address) : std::nullopt;
    key.kind = ipv4 ? QueryKey::Kind::IPv4 : QueryKey::Kind::IPv6;
    key.address = ipv4 ? QHostAddress(*ipv4) : address;
    key.prefixLength = length;
    if (ipv4)
        key.text = key.address.toString();
    return true;
}

// "AS" in either case, an optional blank, and a number: plain, or asdot
// ("AS1.1" is 1 * 65536 + 1). A number beyond 32 bits is marked too large.
bool readAsNumber(const QString &text, QueryKey &key)
{
    static const QRegularExpression form(u"^[Aa][Ss] ?([0-9]{1,20})(?:\\.([0-9]{1,20}))?$"_qs);
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return false;
    bool ok = false;
    qulonglong number = match.captured(1).toULongLong(&ok);
    if (ok && match.hasCaptured(2)) {
        const qulonglong low = match.captured(2).toULongLong(&ok);
        ok = ok && number <= 0xFFFF && low <= 0xFFFF;
        number = number << 16 | low;
        key.text = u"AS"_qs + QString::number(number);
    }
    key.kind = QueryKey::Kind::AsNumber;
    key.asNumberTooLarge = !ok || number > 0xFFFFFFFFull;
    key.asNumber = key.asNumberTooLarge ? 0 : static_cast<quint32>(number);
    return true;
}

// The key as IDNA maps it before anything else: compatibility forms (full-
// width letters and digits) to their plain form, the ideographic dots to
// ".", then lower case.
QString mappedForIdna(const QString &text)
{
    QString mapped = text.normalized(QString::NormalizationForm_KC);
    for (QChar &c : mapped) {
        if (c == u'\u3002' || c == u'\uFF0E' || c == u'\uFF61')
            c = u'.';
    }
    return mapped.toLower();
}

bool isDomainShaped(const QString &text)
{
    const QStringList labels = mappedForIdna(text).split(u'.');
    const QString topLevel = QString::fromLatin1(QUrl::toAce(labels.last()));
    return !topLevel.isEmpty() && RegistryData::inUse()->isTopLevelDomain(topLevel);
}

// A name as servers are chosen and RDAP asked by it: each label without the
// blanks around it and in lower case.
QString foldedName(const QString &name)
{
    QStringList labels = name.split(u'.');
    for (QString &label : labels)
        label = trimBlanks(label).toLower();
    return labels.join(u'.');
}

} // namespace

// This is the one place where a key is folded; the choice, the RDAP URL and
// the request line all start from its result.
QueryKey readQueryKey(const QString &keyText)
{
    QueryKey key;
    if (keyText.size() > QueryKey::kMaxChars) {
        key.tooLong = true;
        return key;
    }
    const QString folded = foldedWidth(keyText);
    QString text = trimBlanks(folded);
    // Anything but a half-width ASCII key as typed is sent as read.
    bool converted = folded != keyText;
    if (const QString host = urlHost(text); !host.isEmpty()) {
        text = host;
        converted = true;
    }
    key.text = text;
    key.line = keyText;

    if (readIpv4(text, key) || readIpv6(text, key) || readAsNumber(text, key)) {
        if (converted || key.text != text)
            key.line = key.text;
        return key;
    }

    // A final dot, as DNS tools write a fully qualified name.
    if (text.size() > 1 && text.endsWith(u'.') && !text.endsWith(u"..")) {
        text.chop(1);
        converted = true;
    }
    if (!isAscii(text)) {
        if (!isDomainShaped(text)) {
            // A word in another script, such as a company name, goes as typed.
            key.text = foldedName(trimBlanks(keyText));
            return key;
        }
        const QString ascii = QString::fromLatin1(QUrl::toAce(text));
        key.noAsciiForm = ascii.isEmpty() || !isAscii(ascii);
        if (key.noAsciiForm) {
            key.text = foldedName(text);
            return key;
        }
        text = ascii;
        converted = true;
    }
    key.text = foldedName(text);
    if (converted)
        key.line = key.text;
    return key;
}
