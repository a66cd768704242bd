#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class QAction;
class QMainWindow;
class RegistryRefresh;

// The File menu's commands for IANA's registry data, added in front of the
// menu's last separator. "登録データを更新(&U)" refreshes every file now and
// then shows, for each bootstrap file in use, its publication date, whether
// it is built in or from the cache, and how the refresh went.
// "登録データを自動で更新する" turns the automatic refresh on or off and
// stores that in dq.ini (on by default). While on, the stale files are
// refreshed once the event loop runs and then checked every hour; an
// automatic refresh shows nothing, whatever its outcome.
class RegistryCommands : public QObject {
    Q_OBJECT

public:
    // dq.ini keys: the automatic refresh on (-1) or off (0), and the days
    // after which the data counts as stale (1 to 365, 7 by default).
    static inline const QString kSettingAutomatic = u"RegistryAutoUpdate"_qs;
    static inline const QString kSettingDays = u"RegistryUpdateDays"_qs;

    RegistryCommands(QMainWindow &window, RegistryRefresh &refresh, QString settingsFolder);

private:
    void updateNow();
    void storeAutomatic(bool on);
    void refreshIfStale();
    void showReport();

    QMainWindow &m_window;
    RegistryRefresh &m_refresh;
    const QString m_settingsFolder;
    QAction *m_update = nullptr;
    QAction *m_automatic = nullptr;
    QTimer m_hourly;
    bool m_reportWanted = false;
};
