#pragma once

#include <QDialog>

class QLabel;

// The version dialog: the program's picture, name and version, a line about the maker and the
// web address. Modal and owned by the main window; build a new one for every opening. It has no
// cancel button, so Esc leaves it open; OK and the title bar's close button close it. A left
// click on the address opens the web site (openProductWebSite).
class frmAbout : public QDialog {
    Q_OBJECT

public:
    explicit frmAbout(QWidget *owner);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void openWebSite();

    QLabel *m_urlLabel = nullptr;
};
