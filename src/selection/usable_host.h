#pragma once

#include <QHostAddress>
#include <QStringView>

// Whether a text can be handed to the socket as the host to connect to: an
// IPv4 or IPv6 address, or a host name whose ASCII form is made of labels
// of 1 to 63 letters, digits and hyphens (no hyphen at either end), at most
// 253 characters in all, with one optional final dot. Names in other
// scripts count by their ASCII (punycode) form. Whether the name resolves
// is not checked here. A text holding a control character, a format
// character or a blank of any kind is never usable.
bool isUsableHost(QStringView host);

// Loopback, private, shared, benchmarking, link-local, unique-local,
// multicast, reserved, broadcast or unspecified addresses, IPv4 and IPv6; an
// IPv4 address inside an IPv6 one (mapped, compatible or NAT64
// 64:ff9b::/96) counts as that IPv4 address.
bool isInternalAddress(const QHostAddress &address);

// Whether a host as written already names the user's own machine or
// network, before any lookup: "localhost" and names below it, and internal
// addresses in any written form, full-width digits and ideographic dots
// included.
bool isInternalHost(QStringView host);
