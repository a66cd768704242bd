#include "window/frm_whois.h"

frmWhois::frmWhois(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmWhois"));
    setWindowTitle(QStringLiteral("Domquire"));
}
