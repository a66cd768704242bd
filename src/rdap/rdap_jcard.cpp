#include "rdap/rdap_jcard.h"

#include <QJsonObject>

namespace {

// A property value: a string, or a list of strings (structured values and
// their components) joined with the separator.
QString ValueText(const QJsonValue &value, QStringView separator)
{
    if (!value.isArray())
        return value.toString();
    QStringList parts;
    for (const QJsonValue &part : value.toArray()) {
        const QString text = ValueText(part, u" ").trimmed();
        if (!text.isEmpty())
            parts << text;
    }
    return parts.join(separator);
}

// An "adr" value: the components post office box, extended address, street,
// locality, region, postal code and country, on one line. The "label"
// parameter, a formatted address, stands in for an empty structured value.
QString AddressText(const QJsonObject &params, const QJsonValue &value)
{
    const QString structured = ValueText(value, u", ");
    if (!structured.isEmpty())
        return structured;
    QStringList lines = params.value(u"label").toString().split(u'\n', Qt::SkipEmptyParts);
    for (QString &line : lines)
        line = line.trimmed();
    lines.removeAll(QString());
    return lines.join(u", ");
}

void Add(const QString &text, QStringList &values)
{
    if (!text.isEmpty())
        values << text;
}

void Set(const QString &text, QString &value)
{
    if (value.isEmpty())
        value = text;
}

} // namespace

void ReadJCard(const QJsonArray &vcardArray, RdapContact &contact)
{
    if (vcardArray.size() < 2 || vcardArray.at(0).toString() != u"vcard")
        return;
    for (const QJsonValue &item : vcardArray.at(1).toArray()) {
        const QJsonArray property = item.toArray();
        if (property.size() < 4)
            continue;
        const QString name = property.at(0).toString().toLower();
        const QJsonObject params = property.at(1).toObject();
        const QJsonValue value = property.at(3);

        QString text;
        QString field;
        if (name == u"fn") {
            text = ValueText(value, u" ").trimmed();
            Set(text, contact.name);
            field = u"name"_qs;
        } else if (name == u"org") {
            text = ValueText(value, u", ").trimmed();
            Set(text, contact.organization);
            field = u"organization"_qs;
        } else if (name == u"adr") {
            text = AddressText(params, value);
            Add(text, contact.addresses);
            field = u"address"_qs;
        } else if (name == u"email") {
            text = ValueText(value, u" ").trimmed();
            Add(text, contact.emails);
            field = u"email"_qs;
        } else if (name == u"tel") {
            text = ValueText(value, u" ").trimmed();
            if (text.startsWith(u"tel:", Qt::CaseInsensitive))
                text.remove(0, 4);
            Add(text, contact.phones);
            field = u"phone"_qs;
        } else {
            continue;
        }
        if (text.isEmpty() && !contact.redacted.contains(field))
            contact.redacted << field;
    }
}
