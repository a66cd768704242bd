#pragma once

#include <QString>

#include <array>

// Reads a dotted IPv4 address and names the whois server of the registry
// that holds it: ARIN, APNIC, RIPE, or JPNIC for the blocks it holds inside
// the others' ranges.
class IpList {
public:
    // True when the key is two to four dot-separated parts, each of them
    // blank or a number from 0 to 255 of at most three characters; missing
    // and blank parts read as 0. On true the address is stored.
    bool checkIp(const QString &key);

    // The host for the address stored by the last successful checkIp.
    QString whoisFromIp() const;

    // The address stored by the last successful checkIp.
    quint32 address() const;

private:
    std::array<qint16, 4> m_address {};
};
