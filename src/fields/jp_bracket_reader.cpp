#include "fields/answer_date.h"
#include "fields/answer_lines.h"
#include "fields/field_store.h"
#include "fields/format_readers.h"

namespace {

// JPRS's and JPNIC's keys in their Japanese and English (/e) forms.
constexpr FieldKey kBracketKeys[] = {
    { u"ドメイン名", Field::DomainName },
    { u"Domain Name", Field::DomainName },
    { u"IPネットワークアドレス", Field::NetworkRange },
    { u"Network Number", Field::NetworkRange },
    { u"AS番号", Field::AsNumber },
    { u"AS Number", Field::AsNumber },
    { u"ネットワーク名", Field::NetworkName },
    { u"Network Name", Field::NetworkName },
    { u"AS名", Field::NetworkName },
    { u"AS Name", Field::NetworkName },
    { u"登録者名", Field::Organization },
    { u"Registrant", Field::Organization },
    { u"組織名", Field::Organization },
    { u"Organization", Field::Organization },
    { u"ネームサーバ", Field::NameServer },
    { u"Name Server", Field::NameServer },
    { u"Nameserver", Field::NameServer },
    { u"登録年月日", Field::Registered },
    { u"Created on", Field::Registered },
    { u"Registered Date", Field::Registered },
    { u"割当年月日", Field::Registered },
    { u"Assigned Date", Field::Registered },
    { u"割振年月日", Field::Registered },
    { u"Allocated Date", Field::Registered },
    { u"有効期限", Field::Expires },
    { u"Expires on", Field::Expires },
    { u"状態", Field::Status },
    { u"Status", Field::Status },
    { u"State", Field::Status },
    { u"最終更新", Field::Updated },
    { u"Last Update", Field::Updated },
    { u"Last Updated", Field::Updated },
    { u"署名鍵", Field::Dnssec },
    { u"Signing Key", Field::Dnssec },
};

// A bracketed key ends within this many characters.
constexpr qsizetype kMaxBracketKey = 32;

struct BracketLine {
    QStringView key;
    QStringView value;
};

// "a. [key]   value" or "[key]   value": the letter before the key is
// optional.
std::optional<BracketLine> splitBracketLine(QStringView line)
{
    line = line.sliced(leadingBlanks(line));
    if (line.size() >= 2 && line[1] == u'.' && line[0].isLetter() && line[0] < u'\x80')
        line = line.sliced(2).trimmed();
    if (!line.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = line.first(std::min(line.size(), kMaxBracketKey)).indexOf(u']');
    if (close < 0)
        return std::nullopt;
    return BracketLine { line.sliced(1, close - 1).trimmed(), line.sliced(close + 1).trimmed() };
}

std::optional<Field> bracketField(QStringView line)
{
    const std::optional<BracketLine> pair = splitBracketLine(line);
    return pair ? findField(kBracketKeys, pair->key) : std::nullopt;
}

// "Connected (2025/03/31)": the state, and for a connected attribute-type
// domain the date it is paid up to.
void storeStatus(AnswerFields &fields, QStringView value)
{
    const qsizetype open = value.indexOf(u'(');
    if (open < 0) {
        storeField(fields, Field::Status, value);
        return;
    }
    const QStringView state = value.first(open).trimmed();
    storeField(fields, Field::Status, state);
    if (state.compare(u"Connected", Qt::CaseInsensitive) == 0)
        storeField(fields, Field::Expires, value.sliced(open + 1), kJstOffsetSeconds);
}

} // namespace

bool isJpBracketLine(QStringView line)
{
    return bracketField(line).has_value();
}

AnswerFields readJpBracketFields(QStringView answer)
{
    AnswerFields fields;
    AnswerLines lines(answer);
    QStringView line;
    while (lines.next(line)) {
        const std::optional<BracketLine> pair = splitBracketLine(line);
        const std::optional<Field> field =
            pair ? findField(kBracketKeys, pair->key) : std::nullopt;
        if (!field)
            continue;
        if (*field == Field::Dnssec) {
            // The key is always shown; a value means a DS record is registered.
            if (!fields.dnssecSigned)
                fields.dnssecSigned = !pair->value.isEmpty();
        } else if (*field == Field::Status) {
            storeStatus(fields, pair->value);
        } else {
            storeField(fields, *field, pair->value, kJstOffsetSeconds);
        }
    }
    if (fields.name.isEmpty())
        return {};
    // JPNIC holds only address space and AS numbers used in Japan.
    if (fields.kind != AnswerFields::Kind::Domain)
        fields.country = u"JP"_qs;
    fields.state = AnswerFields::State::Found;
    return fields;
}
