#include "rdap/rdap_jcard.h"

#include <QJsonObject>

namespace {

// A property value: a string, or a list of strings (structured values and
// their components) joined with the separator. Components that only say
// they are withheld are left out and counted in `withheld`.
QString ValueText(const QJsonValue &value, QStringView separator, int &withheld)
{
    if (!value.isArray()) {
        QString text = value.toString().trimmed();
        if (!IsWithheldText(text))
            return text;
        ++withheld;
        return {};
    }
    QStringList parts;
    for (const auto &part : value.toArray()) {
        const QString text = ValueText(part, u" ", withheld);
        if (!text.isEmpty())
            parts << text;
    }
    return parts.join(separator);
}

// An "adr" value: the components post office box, extended address, street,
// locality, region, postal code and country, on one line. The "label"
// parameter, a formatted address, stands in for an empty structured value.
QString AddressText(const QJsonObject &params, const QJsonValue &value, int &withheld)
{
    QString structured = ValueText(value, u", ", withheld);
    if (!structured.isEmpty())
        return structured;
    QStringList lines;
    for (const QString &line : params.value(u"label").toString().split(u'\n')) {
        const QString text = ValueText(line, {}, withheld);
        if (!text.isEmpty())
            lines << text;
    }
    return lines.join(u", ");
}

// Whether a "type" parameter (a string or a list of strings) names `type`.
bool HasType(const QJsonObject &params, QStringView type)
{
    const QJsonValue value = params.value(u"type");
    if (value.isString())
        return value.toString().compare(type, Qt::CaseInsensitive) == 0;
    const QJsonArray types = value.toArray();
    return std::any_of(types.begin(), types.end(), [type](const QJsonValue &item) {
        return item.toString().compare(type, Qt::CaseInsensitive) == 0;
    });
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

bool IsWithheldText(QStringView text)
{
    // Whole values only: "Withheld for Privacy ehf" is a company's name.
    static const QStringView kPlaceholders[] {
        u"redacted",
        u"redacted for privacy",
        u"redacted for privacy purposes",
        u"data redacted",
        u"data protected",
        u"not disclosed",
        u"non-public data",
        u"withheld",
    };
    const QString value = text.toString().simplified();
    return std::any_of(std::begin(kPlaceholders), std::end(kPlaceholders),
        [&value](QStringView placeholder) {
            return value.compare(placeholder, Qt::CaseInsensitive) == 0;
        });
}

void ReadJCard(const QJsonArray &vcardArray, RdapContact &contact)
{
    if (vcardArray.size() < 2 || vcardArray.at(0).toString() != u"vcard")
        return;
    for (const auto &item : vcardArray.at(1).toArray()) {
        const QJsonArray property = item.toArray();
        if (property.size() < 4)
            continue;
        const QString name = property.at(0).toString().toLower();
        const QJsonObject params = property.at(1).toObject();
        const QJsonValue value = property.at(3);

        int withheld = 0;
        QString text;
        RdapField field {};
        if (name == u"fn") {
            text = ValueText(value, u" ", withheld);
            Set(text, contact.name);
            field = RdapField::Name;
        } else if (name == u"org") {
            text = ValueText(value, u", ", withheld);
            Set(text, contact.organization);
            field = RdapField::Organization;
        } else if (name == u"adr") {
            text = AddressText(params, value, withheld);
            Add(text, contact.addresses);
            field = RdapField::Address;
        } else if (name == u"email") {
            text = ValueText(value, u" ", withheld);
            Add(text, contact.emails);
            field = RdapField::Email;
        } else if (name == u"tel") {
            text = ValueText(value, u" ", withheld);
            if (text.startsWith(u"tel:", Qt::CaseInsensitive))
                text.remove(0, 4);
            const bool fax = HasType(params, u"fax");
            Add(text, fax ? contact.faxes : contact.phones);
            field = fax ? RdapField::Fax : RdapField::Phone;
        } else {
            continue;
        }
        if (text.isEmpty() && withheld > 0)
            contact.withheld |= field;
    }
}
