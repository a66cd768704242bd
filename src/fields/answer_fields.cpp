#include "fields/answer_fields.h"

namespace {

template <typename T> void fillIfEmpty(T &into, const T &from)
{
    if (into.isEmpty())
        into = from;
}

void fillIfInvalid(QDateTime &into, const QDateTime &from)
{
    if (!into.isValid())
        into = from;
}

} // namespace

void fillMissingFields(AnswerFields &into, const AnswerFields &from)
{
    if (into.kind == AnswerFields::Kind::Unknown)
        into.kind = from.kind;
    fillIfEmpty(into.name, from.name);
    fillIfEmpty(into.handle, from.handle);
    fillIfEmpty(into.registrar, from.registrar);
    fillIfEmpty(into.registrarIanaId, from.registrarIanaId);
    fillIfEmpty(into.registrantOrganization, from.registrantOrganization);
    fillIfEmpty(into.country, from.country);
    fillIfEmpty(into.status, from.status);
    fillIfInvalid(into.registered, from.registered);
    fillIfInvalid(into.updated, from.updated);
    fillIfInvalid(into.expires, from.expires);
    fillIfEmpty(into.nameServers, from.nameServers);
    if (!into.dnssecSigned)
        into.dnssecSigned = from.dnssecSigned;
    if (into.networkFirst.isNull() && into.networkLast.isNull()) {
        into.networkFirst = from.networkFirst;
        into.networkLast = from.networkLast;
    }
    fillIfEmpty(into.cidrs, from.cidrs);
    fillIfEmpty(into.networkName, from.networkName);
    fillIfEmpty(into.originAs, from.originAs);
    fillIfEmpty(into.abuseEmail, from.abuseEmail);
    fillIfEmpty(into.abusePhone, from.abusePhone);
}
