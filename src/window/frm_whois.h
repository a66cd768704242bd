#pragma once

#include <QMainWindow>

// The main window: the key box, the server combo, the result view, the
// menus, the toolbar and the status bar.
class frmWhois : public QMainWindow {
    Q_OBJECT

public:
    explicit frmWhois(QWidget *parent = nullptr);
};
