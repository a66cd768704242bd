#include "fields/answer_lines.h"
#include "fields/field_store.h"
#include "fields/format_readers.h"

namespace {

constexpr FieldKey kFlatKeys[] = {
    { u"Domain Name", Field::DomainName },
    { u"Domain", Field::DomainName },
    { u"Registry Domain ID", Field::Handle },
    { u"Registrar", Field::Registrar },
    { u"Sponsoring Registrar", Field::Registrar },
    { u"Registrar Name", Field::Registrar },
    { u"Registrar IANA ID", Field::RegistrarIanaId },
    { u"Sponsoring Registrar IANA ID", Field::RegistrarIanaId },
    { u"Registrant Organization", Field::Organization },
    { u"Registrant Organisation", Field::Organization },
    { u"Registrant Country", Field::Country },
    { u"Registrant Country Code", Field::Country },
    { u"Domain Status", Field::Status },
    { u"Status", Field::Status },
    { u"Registration status", Field::Status },
    { u"Creation Date", Field::Registered },
    { u"Created Date", Field::Registered },
    { u"Created", Field::Registered },
    { u"Registered", Field::Registered },
    { u"Registered on", Field::Registered },
    { u"Registration Time", Field::Registered },
    { u"Updated Date", Field::Updated },
    { u"Last Updated", Field::Updated },
    { u"Last Update", Field::Updated },
    { u"last-update", Field::Updated },
    { u"Last Modified", Field::Updated },
    { u"Changed", Field::Updated },
    { u"Registry Expiry Date", Field::Expires },
    { u"Registrar Registration Expiration Date", Field::Expires },
    { u"Expiration Date", Field::Expires },
    { u"Expiry Date", Field::Expires },
    { u"Expiration Time", Field::Expires },
    { u"Expires", Field::Expires },
    { u"Expires On", Field::Expires },
    { u"Expire", Field::Expires },
    { u"paid-till", Field::Expires },
    { u"Name Server", Field::NameServer },
    { u"Name Servers", Field::NameServer },
    { u"Nameserver", Field::NameServer },
    { u"Nameservers", Field::NameServer },
    { u"nserver", Field::NameServer },
    { u"DNSSEC", Field::Dnssec },
    { u"Registrar Abuse Contact Email", Field::AbuseEmail },
    { u"Registrar Abuse Contact Phone", Field::AbusePhone },
};

} // namespace

AnswerFields readFlatFields(QStringView answer)
{
    AnswerFields fields;
    AnswerLines lines(answer);
    QStringView line;
    // A key alone on its line ("Name servers:") takes the values indented
    // below it, up to a line indented no deeper.
    bool isOpen = false;
    Field openField = Field::DomainName;
    qsizetype openIndent = 0;
    while (lines.next(line)) {
        const std::optional<KeyValue> pair = splitKeyValue(line);
        const std::optional<Field> field = pair ? findField(kFlatKeys, pair->key) : std::nullopt;
        if (field) {
            storeField(fields, *field, pair->value);
            isOpen = pair->value.isEmpty();
            openField = *field;
            openIndent = pair->indent;
        } else if (isOpen && leadingBlanks(line) > openIndent && !line.trimmed().isEmpty()) {
            storeField(fields, openField, line);
        } else {
            isOpen = false;
        }
    }
    if (!fields.name.isEmpty())
        fields.state = AnswerFields::State::Found;
    return fields;
}
