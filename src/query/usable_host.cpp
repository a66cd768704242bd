#include "query/usable_host.h"

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
    // The address parser stops at NUL and skips blanks, so "192.0.2.1<NUL>x"
    // or "8 :2" would connect somewhere other than the text says.
    const bool hasControlOrBlank = std::any_of(host.begin(), host.end(), [](QChar c) {
        return c.isSpace() || c.category() == QChar::Other_Control
            || c.category() == QChar::Other_Format;
    });
    if (host.isEmpty() || hasControlOrBlank)
        return false;
    return QHostAddress().setAddress(host.toString()) || IsValidHostName(host);
}
