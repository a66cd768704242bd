#pragma once

#include <QStringView>

// The maker's web site, opened by the Help menu and by the version dialog's address label.
inline constexpr QStringView kWebSiteUrl = u"https://domquire.example.jp/";

// Opens kWebSiteUrl with the desktop's default handler and returns at once; a browser that
// fails to start is not reported.
void openProductWebSite();
