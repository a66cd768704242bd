#pragma once

#include <QObject>
#include <QSize>
#include <QString>

#include <optional>

class QWidget;

// Where a window keeps its size in dq.ini and the sizes it starts from, in
// twips.
struct WindowSizeSetting {
    QString widthKey;
    QString heightKey;
    QSize defaultTwips;
    // The smallest stored size taken as it is.
    QSize minimumTwips;
};

// Keeps a top-level window's outer size, frame included, in dq.ini in twips:
// sized from the file when made, fitted to the frame once the window manager
// has framed the window, and written back when the window closes in its
// normal state (neither minimised, maximised nor full screen). A stored size
// that is no number gives the default; one beyond the screen is cut to it.
class StoredWindowSize : public QObject {
    Q_OBJECT

public:
    StoredWindowSize(QWidget *window, const QString &settingsFolder, WindowSizeSetting setting);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fitOuterSize();
    void store() const;

    QWidget *m_window;
    QString m_settingsFolder;
    WindowSizeSetting m_setting;
    // The stored outer size until the frame around the window is known.
    std::optional<QSize> m_outerSize;
};
