#include "window/web_site.h"

#include <QDesktopServices>
#include <QUrl>

void openProductWebSite()
{
    QDesktopServices::openUrl(QUrl(kWebSiteUrl.toString()));
}
