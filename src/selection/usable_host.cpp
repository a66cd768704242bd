#include "selection/usable_host.h"

#include <algorithm>

#include <QByteArrayList>
#include <QHostAddress>
#include <QUrl>

namespace {

constexpr qsizetype kMaxNameLength = 253;
constexpr qsizetype kMaxLabelLength = 63;

bool IsLetterOrDigit(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool IsValidLabel(QByteArrayView label)
{
    if (label.isEmpty() || label.size() > kMaxLabelLength)
        return false;
    if (label.front() == '-' || label.back() == '-')
        return false;
    return std::all_of(
        label.begin(), label.end(), [](char c) { return IsLetterOrDigit(c) || c == '-'; });
}

bool IsValidHostName(QStringView host)
{
    QByteArray ascii = QUrl::toAce(host.toString());
    if (ascii.endsWith('.'))
        ascii.chop(1);
    if (ascii.isEmpty() || ascii.size() > kMaxNameLength)
        return false;
    const QByteArrayList labels = ascii.split('.');
    return std::all_of(labels.begin(), labels.end(), IsValidLabel);
}

} // namespace

bool IsUsableHost(QStringView host)
{
    if (host.isEmpty())
        return false;
    return QHostAddress().setAddress(host.toString()) || IsValidHostName(host);
}
