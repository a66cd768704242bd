#include "rdap/rdap_jcard.h"

#include "rdap/raw_json_object.h"

#include <algorithm>
#include <array>

namespace {

// A string value, trimmed; empty, and counted in `withheld`, when it only
// says it is withheld.
QString stringText(QString value, int &withheld)
{
    QString text = std::move(value).trimmed();
    if (!isWithheldText(text))
        return text;
    ++withheld;
    return {};
}

// A property value: a string, or a list of strings (structured values and
// their components) joined with the separator. Components that only say
// they are withheld are left out and counted in `withheld`.
QString valueText(const RawJsonValue &value, QStringView separator, int &withheld)
{
    if (!value.isArray())
        return stringText(value.toString(), withheld);
    QStringList parts;
    for (const RawJsonValue &part : value) {
        const QString text = valueText(part, u" ", withheld);
        if (!text.isEmpty())
            parts << text;
    }
    return parts.join(separator);
}

// An "adr" value: the components post office box, extended address, street,
// locality, region, postal code and country, on one line. The "label"
// parameter, a formatted address, stands in for an empty structured value.
QString addressText(const RawJsonObject &params, const RawJsonValue &value, int &withheld)
{
    QString structured = valueText(value, u", ", withheld);
    if (!structured.isEmpty())
        return structured;
    QStringList lines;
    for (const QString &line : params.value(u"label").toString().split(u'\n')) {
        const QString text = stringText(line, withheld);
        if (!text.isEmpty())
            lines << text;
    }
    return lines.join(u", ");
}

// Whether a "type" parameter (a string or a list of strings) names `type`.
bool hasType(const RawJsonObject &params, QStringView type)
{
    const RawJsonValue value = params.value(u"type");
    if (value.isString())
        return value.toString().compare(type, Qt::CaseInsensitive) == 0;
    return std::any_of(value.begin(), value.end(), [type](const RawJsonValue &item) {
        return item.toString().compare(type, Qt::CaseInsensitive) == 0;
    });
}

void add(const QString &text, QStringList &values)
{
    if (!text.isEmpty())
        values << text;
}

void set(const QString &text, QString &value)
{
    if (value.isEmpty())
        value = text;
}

} // namespace

bool isWithheldText(QStringView text)
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
    // Every placeholder begins with one of these letters, which settles
    // most values without a copy.
    const auto first = std::find_if(text.begin(), text.end(), [](QChar c) { return !c.isSpace(); });
    if (first == text.end()
        || (first->unicode() < 0x80 && !QStringView(u"rdnwRDNW").contains(*first)))
        return false;
    const QString value = text.toString().simplified();
    return std::any_of(
        std::begin(kPlaceholders), std::end(kPlaceholders), [&value](QStringView placeholder) {
            return value.compare(placeholder, Qt::CaseInsensitive) == 0;
        });
}

void readJCard(const RawJsonValue &vcardArray, RdapContact &contact)
{
    auto next = vcardArray.begin();
    if (next == vcardArray.end() || (*next).toString() != u"vcard" || ++next == vcardArray.end())
        return;
    for (const RawJsonValue &item : *next) {
        // A property is [name, parameters, type, value, more values...].
        std::array<RawJsonValue, 4> property;
        auto part = item.begin();
        for (RawJsonValue &slot : property) {
            if (part == item.end())
                break;
            slot = *part++;
        }
        if (property[3].isUndefined())
            continue;
        const QString name = property[0].toString().toLower();
        const RawJsonObject params(property[1], { u"label", u"type" });
        const RawJsonValue value = property[3];

        int withheld = 0;
        QString text;
        RdapField field {};
        if (name == u"fn") {
            text = valueText(value, u" ", withheld);
            set(text, contact.name);
            field = RdapField::Name;
        } else if (name == u"org") {
            text = valueText(value, u", ", withheld);
            set(text, contact.organization);
            field = RdapField::Organization;
        } else if (name == u"adr") {
            text = addressText(params, value, withheld);
            add(text, contact.addresses);
            field = RdapField::Address;
        } else if (name == u"email") {
            text = valueText(value, u" ", withheld);
            add(text, contact.emails);
            field = RdapField::Email;
        } else if (name == u"tel") {
            text = valueText(value, u" ", withheld);
            if (text.startsWith(u"tel:", Qt::CaseInsensitive))
                text.remove(0, 4);
            const bool fax = hasType(params, u"fax");
            add(text, fax ? contact.faxes : contact.phones);
            field = fax ? RdapField::Fax : RdapField::Phone;
        } else {
            continue;
        }
        if (text.isEmpty() && withheld > 0)
            contact.withheld |= field;
    }
}
