#include "window/web_site.h"

#include <QDesktopServices>
#include <QUrl>

void OpenProductWebSite()
{
    QDesktopServices::openUrl(QUrl(kWebSiteUrl.toString()));
}
