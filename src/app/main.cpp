#include "window/frm_whois.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);

    // The toolkit's own texts (context menus, message box buttons, socket
    // errors) in Japanese, like the rest of the program, where installed.
    QTranslator toolkitTexts;
    if (toolkitTexts.load(u"qtbase_ja"_qs, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&toolkitTexts);

    frmWhois window;
    window.show();
    return QApplication::exec();
}
