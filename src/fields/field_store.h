#pragma once

#include "fields/answer_fields.h"

#include <QStringView>

#include <optional>
#include <span>

// The members a whois line can give, named by what they mean, so that each
// format only maps its keys and one place decides how a value is stored.
enum class Field {
    DomainName, // lower-cased, trailing dot dropped; the kind becomes domain
    NetworkRange, // "first - last" or a prefix; also the name, kind network
    AsNumber, // "64496" or "AS64496"; the name, kind AS
    Handle,
    Registrar,
    RegistrarIanaId,
    Organization,
    Country,
    Status,
    Registered,
    Updated,
    Expires,
    NameServer, // the first word, lower-cased, trailing dot dropped
    Dnssec, // "signedDelegation", "unsigned", "yes", "no" ...
    Cidr, // one or more prefixes, separated by commas or blanks
    NetworkName,
    OriginAs,
    AbuseEmail,
    AbusePhone,
};

// One key of a format and the member it fills.
struct FieldKey {
    QStringView key;
    Field field;
};

// Whether two keys are the same without regard to the case of ASCII
// letters (keys are ASCII or Japanese). Every line's key is compared with a
// table of them, so this stays inline and cheap.
inline bool sameKey(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    const auto fold = [](char16_t c) {
        return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
    };
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (fold(a[i].unicode()) != fold(b[i].unicode()))
            return false;
    }
    return true;
}

// The member `key` fills, compared by sameKey.
std::optional<Field> findField(std::span<const FieldKey> table, QStringView key);

// At most this many name servers, statuses and prefixes are kept.
inline constexpr qsizetype kMaxListEntries = 32;

// Stores a value the answer gives for `field`: a single member keeps its
// first value, a list gains values it does not hold yet, a date is read at
// `dateOffsetSeconds` from UTC unless it names its zone. Empty values and
// withheld ones ("REDACTED FOR PRIVACY" ...) change nothing.
void storeField(AnswerFields &fields, Field field, QStringView value, int dateOffsetSeconds = 0);
