#include "window/frm_whois.h"
#include "window/product_info.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The per-user settings folder is named after the application alone
    // (~/.config/Domquire); the desktop entry ties the window to its icon.
    QApplication::setApplicationName(kProductName.toString());
    QGuiApplication::setDesktopFileName(u"domquire"_qs);

    // The toolkit's own texts (context menus, message box buttons, socket
    // errors) in Japanese, like the rest of the program, where installed.
    QTranslator toolkitTexts;
    if (toolkitTexts.load(u"qtbase_ja"_qs, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&toolkitTexts);

    frmWhois window;
    window.show();
    return QApplication::exec();
}
