#include "fields/answer_lines.h"
#include "fields/field_store.h"
#include "fields/format_readers.h"
#include "fields/network_range.h"

#include <vector>

namespace {

constexpr FieldKey kArinKeys[] = {
    { u"NetRange", Field::NetworkRange },
    { u"CIDR", Field::Cidr },
    { u"NetName", Field::NetworkName },
    { u"NetHandle", Field::Handle },
    { u"OriginAS", Field::OriginAs },
    { u"OrgName", Field::Organization },
    { u"CustName", Field::Organization },
    { u"Country", Field::Country },
    { u"RegDate", Field::Registered },
    { u"Updated", Field::Updated },
    { u"OrgAbuseEmail", Field::AbuseEmail },
    { u"OrgAbusePhone", Field::AbusePhone },
    { u"RAbuseEmail", Field::AbuseEmail },
    { u"RAbusePhone", Field::AbusePhone },
    { u"ASNumber", Field::AsNumber },
    { u"ASName", Field::NetworkName },
    { u"ASHandle", Field::Handle },
};

// More networks than this in one answer share the last one's record.
constexpr std::size_t kMaxNetworks = 64;

} // namespace

AnswerFields readArinFields(QStringView answer)
{
    // Each NetRange or ASNumber line begins the record of another object;
    // the organisation and its contacts follow their network.
    std::vector<AnswerFields> objects(1);
    AnswerLines lines(answer);
    QStringView line;
    while (lines.next(line)) {
        const std::optional<KeyValue> pair = splitKeyValue(line);
        const std::optional<Field> field = pair ? findField(kArinKeys, pair->key) : std::nullopt;
        if (!field)
            continue;
        const bool begins = *field == Field::NetworkRange || *field == Field::AsNumber;
        if (begins && !objects.back().name.isEmpty() && objects.size() < kMaxNetworks)
            objects.emplace_back();
        storeField(objects.back(), *field, pair->value);
    }
    const AnswerFields *narrowest = &objects.front();
    for (const AnswerFields &object : objects) {
        if (object.kind != AnswerFields::Kind::Network)
            continue;
        if (narrowest->kind != AnswerFields::Kind::Network
            || isNarrower({ object.networkFirst, object.networkLast },
                { narrowest->networkFirst, narrowest->networkLast }))
            narrowest = &object;
    }
    AnswerFields fields = *narrowest;
    if (!fields.name.isEmpty())
        fields.state = AnswerFields::State::Found;
    return fields;
}
