#include "selection/query_key.h"

#include "selection/blank_trim.h"
#include "selection/ip_list.h"
#include "selection/registry_data.h"

#include <QRegularExpression>
#include <QUrl>

#include <algorithm>

namespace {

bool IsAscii(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

// An IPv6 address in RFC 4291 text, with an optional "/length" of 0 to 128.
bool ReadIpv6(const QString &text, QueryKey &key)
{
    static const QRegularExpression form(u"^([0-9A-Fa-f:.]*:[0-9A-Fa-f:.]*)(?:/([0-9]{1,3}))?$"_qs);
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return false;
    const QHostAddress address(match.captured(1));
    if (address.protocol() != QAbstractSocket::IPv6Protocol)
        return false;
    int length = -1;
    if (match.hasCaptured(2)) {
        length = match.captured(2).toInt();
        if (length > 128)
            return false;
    }
    key.kind = QueryKey::Kind::IPv6;
    key.address = address;
    key.prefixLength = length;
    return true;
}

// "AS" in either case, an optional blank, and a number that fits 32 bits.
bool ReadAsNumber(const QString &text, QueryKey &key)
{
    static const QRegularExpression form(u"^[Aa][Ss] ?([0-9]{1,10})$"_qs);
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return false;
    const qulonglong number = match.captured(1).toULongLong();
    if (number > 0xFFFFFFFFull)
        return false;
    key.kind = QueryKey::Kind::AsNumber;
    key.asNumber = static_cast<quint32>(number);
    return true;
}

// The key as IDNA maps it before anything else: compatibility forms (full-
// width letters and digits) to their plain form, the ideographic dots to
// ".", then lower case.
QString MappedForIdna(const QString &text)
{
    QString mapped = text.normalized(QString::NormalizationForm_KC);
    for (QChar &c : mapped) {
        if (c == u'\u3002' || c == u'\uFF0E' || c == u'\uFF61')
            c = u'.';
    }
    return mapped.toLower();
}

bool IsDomainShaped(const QString &text)
{
    const QStringList labels = MappedForIdna(text).split(u'.');
    if (labels.size() < 2)
        return false;
    const QString topLevel = QString::fromLatin1(QUrl::toAce(labels.last()));
    return !topLevel.isEmpty() && RegistryData::InUse()->IsTopLevelDomain(topLevel);
}

// A name as servers are chosen and RDAP asked by it: each label without the
// blanks around it and in lower case, and without a final dot after two
// labels or more. This is the one place where a name is folded; the choice,
// the RDAP URL and the request line all start from its result.
QString FoldedName(const QString &name)
{
    QStringList labels = name.split(u'.');
    for (QString &label : labels)
        label = TrimBlanks(label).toLower();
    if (labels.size() > 2 && labels.constLast().isEmpty())
        labels.removeLast();
    return labels.join(u'.');
}

} // namespace

QueryKey ReadQueryKey(const QString &keyText)
{
    QueryKey key;
    if (keyText.size() > QueryKey::kMaxChars) {
        key.tooLong = true;
        return key;
    }
    key.text = TrimBlanks(keyText);
    key.line = keyText;

    CIPList ipv4;
    if (ipv4.CheckIp(key.text)) {
        key.kind = QueryKey::Kind::IPv4;
        key.address = QHostAddress(ipv4.Address());
        return key;
    }
    if (ReadIpv6(key.text, key) || ReadAsNumber(key.text, key))
        return key;

    if (!IsAscii(key.text) && IsDomainShaped(key.text)) {
        const QString ascii = QString::fromLatin1(QUrl::toAce(key.text));
        key.noAsciiForm = ascii.isEmpty() || !IsAscii(ascii);
        if (!key.noAsciiForm)
            key.text = key.line = ascii;
    }
    key.text = FoldedName(key.text);
    return key;
}
