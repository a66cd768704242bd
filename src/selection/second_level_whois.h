#pragma once

#include <QString>

#include <optional>

// The whois hosts of second-level registries (us.com, co.za, ...), from the
// table built into the program, read once on first use.
class SecondLevelWhois {
public:
    // The host for a name ending in secondLevel.topLevel (lower-case ASCII
    // labels), if the table lists that pair.
    static std::optional<QString> hostOf(QStringView secondLevel, QStringView topLevel);
};
