#pragma once

#include <QStringView>

// Whether a text can be handed to the socket as the host to connect to: an
// IPv4 or IPv6 address, or a host name whose ASCII form is made of labels
// of 1 to 63 letters, digits and hyphens (no hyphen at either end), at most
// 253 characters in all, with one optional final dot. Names in other
// scripts count by their ASCII (punycode) form. Whether the name resolves
// is not checked here.
bool IsUsableHost(QStringView host);
