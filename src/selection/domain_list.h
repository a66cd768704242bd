#pragma once

#include <QString>

#include <optional>

// Maps a domain name to the whois server of its registry, from a built-in
// table of top-level labels.
class DomainList {
public:
    // The last two labels of a name, without surrounding blanks and in lower
    // case; none for a name without a dot.
    struct LastLabels {
        QString topLevel;
        QString secondLevel;
    };
    static std::optional<LastLabels> readLastLabels(QStringView name);
    // The host that the built-in table gives a top-level label, if any.
    static std::optional<QString> topLevelHost(QStringView topLevel);
};
