#include "window/web_site.h"

#include <QDesktopServices>
#include <QUrl>

void OpenWebSite()
{
    QDesktopServices::openUrl(QUrl(kWebSiteUrl.toString()));
}
