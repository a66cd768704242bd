#include "window/frm_whois.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    frmWhois window;
    window.show();
    return QApplication::exec();
}
