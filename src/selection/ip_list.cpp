#include "selection/ip_list.h"

#include "selection/blank_trim.h"
#include "selection/whois_hosts.h"

#include <QStringList>

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <optional>

namespace {

struct FirstOctetRow {
    int low;
    int high;
    QStringView host;
};

// The registry of each first octet; the rows cover 0 to 255 in order.
constexpr FirstOctetRow kFirstOctet[] = {
    { 0, 60, WhoisHost::kArin },
    { 61, 61, WhoisHost::kApnic },
    { 62, 62, WhoisHost::kRipe },
    { 63, 79, WhoisHost::kArin },
    { 80, 81, WhoisHost::kRipe },
    { 82, 132, WhoisHost::kArin },
    { 133, 133, WhoisHost::kJpnic },
    { 134, 192, WhoisHost::kArin },
    { 193, 195, WhoisHost::kRipe },
    { 196, 201, WhoisHost::kArin },
    { 202, 203, WhoisHost::kApnic },
    { 204, 209, WhoisHost::kArin },
    { 210, 211, WhoisHost::kApnic },
    { 212, 213, WhoisHost::kRipe },
    { 214, 216, WhoisHost::kArin },
    { 217, 217, WhoisHost::kRipe },
    { 218, 221, WhoisHost::kApnic },
    { 222, 255, WhoisHost::kArin },
};

constexpr bool coversEveryOctetInOrder()
{
    int next = 0;
    for (const FirstOctetRow &row : kFirstOctet) {
        if (row.low != next || row.high < row.low)
            return false;
        next = row.high + 1;
    }
    return next == 256;
}
static_assert(coversEveryOctetInOrder());

// Blocks of second octets that JPNIC holds inside another registry's first octet.
struct SecondOctetBlock {
    int first;
    int low;
    int high;
};

constexpr SecondOctetBlock kJpnicSecondOctets[] = {
    { 61, 112, 127 },
    { 61, 192, 215 },
    { 129, 60, 60 },
    { 129, 249, 249 },
    { 130, 34, 34 },
    { 130, 52, 52 },
    { 130, 69, 69 },
    { 130, 87, 87 },
    { 130, 153, 153 },
    { 130, 158, 158 },
    { 131, 112, 113 },
    { 131, 206, 206 },
    { 131, 248, 248 },
    { 132, 179, 179 },
    { 132, 182, 182 },
    { 132, 222, 222 },
    { 134, 160, 160 },
    { 134, 180, 180 },
    { 134, 237, 237 },
    { 136, 187, 187 },
    { 136, 198, 198 },
    { 138, 101, 101 },
    { 138, 107, 107 },
    { 138, 212, 212 },
    { 139, 152, 152 },
    { 139, 154, 154 },
    { 143, 90, 90 },
    { 143, 125, 125 },
    { 144, 213, 213 },
    { 146, 56, 56 },
    { 147, 157, 157 },
    { 148, 161, 161 },
    { 150, 1, 100 },
    { 155, 160, 160 },
    { 157, 1, 4 },
    { 157, 6, 14 },
    { 157, 16, 17 },
    { 157, 19, 20 },
    { 157, 63, 80 },
    { 157, 82, 82 },
    { 157, 101, 120 },
    { 157, 205, 205 },
    { 158, 198, 217 },
    { 159, 211, 211 },
    { 160, 11, 30 },
    { 160, 74, 74 },
    { 160, 185, 199 },
    { 160, 201, 204 },
    { 160, 233, 233 },
    { 160, 235, 235 },
    { 160, 237, 252 },
    { 161, 248, 248 },
    { 163, 42, 51 },
    { 163, 53, 56 },
    { 163, 58, 61 },
    { 163, 130, 149 },
    { 163, 208, 212 },
    { 163, 214, 215 },
    { 163, 217, 221 },
    { 163, 223, 227 },
    { 164, 43, 43 },
    { 164, 46, 46 },
    { 164, 69, 71 },
    { 164, 160, 163 },
    { 165, 14, 14 },
    { 165, 76, 76 },
    { 165, 93, 93 },
    { 165, 96, 96 },
    { 165, 99, 102 },
    { 165, 108, 108 },
    { 165, 241, 242 },
    { 166, 100, 100 },
    { 166, 118, 119 },
    { 167, 169, 169 },
    { 202, 11, 11 },
    { 202, 13, 13 },
    { 202, 15, 16 },
    { 202, 23, 26 },
    { 202, 32, 35 },
    { 202, 48, 48 },
    { 202, 208, 255 },
    { 203, 136, 141 },
    { 203, 178, 183 },
    { 210, 128, 175 },
    { 210, 188, 191 },
    { 210, 196, 199 },
    { 210, 224, 239 },
    { 210, 248, 255 },
    { 211, 0, 19 },
    { 211, 120, 135 },
    { 218, 40, 47 },
    { 218, 216, 231 },
    { 219, 96, 127 },
    { 219, 160, 165 },
};

// Blocks of third octets that JPNIC holds under 192 and 198.
struct ThirdOctetBlock {
    int first;
    int second;
    int low;
    int high;
};

constexpr ThirdOctetBlock kJpnicThirdOctets[] = {
    { 192, 5, 216, 216 },
    { 192, 26, 91, 91 },
    { 192, 31, 116, 124 },
    { 192, 31, 197, 206 },
    { 192, 33, 135, 135 },
    { 192, 41, 178, 197 },
    { 192, 42, 103, 107 },
    { 192, 47, 0, 241 },
    { 192, 51, 16, 255 },
    { 192, 68, 235, 249 },
    { 192, 70, 179, 179 },
    { 192, 88, 101, 101 },
    { 192, 132, 8, 8 },
    { 192, 135, 89, 103 },
    { 192, 135, 105, 107 },
    { 192, 153, 95, 114 },
    { 192, 156, 141, 154 },
    { 192, 156, 157, 159 },
    { 192, 156, 220, 220 },
    { 192, 172, 227, 228 },
    { 192, 172, 232, 233 },
    { 192, 172, 235, 237 },
    { 192, 172, 240, 246 },
    { 192, 188, 73, 85 },
    { 192, 188, 88, 92 },
    { 198, 17, 118, 118 },
};

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// An optional sign followed by decimal digits, read as a decimal number
// (leading zeros included: "010" is ten). Nothing else is a number. The
// caller has already limited the part to three characters.
std::optional<int> readNumber(QStringView part)
{
    const bool negative = part.startsWith(u'-');
    const QStringView digits = negative || part.startsWith(u'+') ? part.sliced(1) : part;
    if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), isDigit))
        return std::nullopt;
    int value = 0;
    for (const QChar digit : digits)
        value = value * 10 + (digit.unicode() - u'0');
    return negative ? -value : value;
}

} // namespace

bool IpList::checkIp(const QString &key)
{
    QStringList parts = key.split(u'.');
    if (parts.size() < 2 || parts.size() > 4)
        return false;
    parts.resize(4);

    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString part = trimBlanks(parts[i]);
        if (part.size() > 3)
            return false;
        const std::optional<int> value = part.isEmpty() ? 0 : readNumber(part);
        if (!value || *value < 0 || *value > 255)
            return false;
        m_address[static_cast<std::size_t>(i)] = static_cast<qint16>(*value);
    }
    return true;
}

QString IpList::whoisFromIp() const
{
    const int first = m_address[0];
    const int second = m_address[1];
    const int third = m_address[2];

    const bool jpnicSecond = std::any_of(std::begin(kJpnicSecondOctets),
        std::end(kJpnicSecondOctets), [&](const SecondOctetBlock &block) {
            return block.first == first && block.low <= second && second <= block.high;
        });
    const bool jpnicThird = std::any_of(std::begin(kJpnicThirdOctets), std::end(kJpnicThirdOctets),
        [&](const ThirdOctetBlock &block) {
            return block.first == first && block.second == second && block.low <= third
                && third <= block.high;
        });
    if (jpnicSecond || jpnicThird)
        return WhoisHost::kJpnic.toString();

    const auto row = std::find_if(std::begin(kFirstOctet), std::end(kFirstOctet),
        [&](const FirstOctetRow &r) { return r.low <= first && first <= r.high; });
    return row->host.toString();
}

quint32 IpList::address() const
{
    quint32 address = 0;
    for (const qint16 part : m_address)
        address = (address << 8) | static_cast<quint8>(part);
    return address;
}
