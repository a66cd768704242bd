#pragma once

#include "rdap/rdap_record.h"

#include <QUrl>

#include <optional>

// The registrar's own record that a registry's answer points to: the first
// link with rel "related", the type application/rdap+json or none, and an
// https URL with a host other than the one that answered.
std::optional<QUrl> registrarLink(const RdapRecord &record, const QString &answeredHost);
