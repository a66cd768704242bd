#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

// Records the addresses that the desktop would open, as a URL handler of
// QDesktopServices.
class UrlRecorder : public QObject {
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened << url; }
};
