#pragma once

#include "history/result_history.h"
#include "lookup/lookup.h"
#include "serverlist/server_entry.h"
#include "settings/file_folders.h"
#include "window/layout_rule.h"

#include <QList>
#include <QMainWindow>

#include <functional>
#include <optional>

class BatchWindow;
class EditCommands;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QShortcut;
class QStatusBar;
class QToolBar;
class ResultView;

// The main window: the key box, the server combo, the result view, the
// menus, the toolbar and the status bar. It hands the key and the server to
// a Lookup and shows what the lookup reports; the history keeps the results.
class frmWhois : public QMainWindow {
    Q_OBJECT

public:
    // The heights of the toolbar and the status bar that the layout counts
    // with, in twips. The layout rule sees the client area with the bars at
    // these heights, so the controls keep their distances to the bars
    // whatever height the style gives them.
    static constexpr float kToolBarTwips = 360;
    static constexpr float kStatusBarTwips = 255;

    using WarningPresenter = std::function<void(const QString &text)>;
    // Asks where to save the result, starting at the suggested path; an
    // empty answer saves nothing.
    using SaveFileChooser = std::function<QString(const QString &suggestedPath)>;

    // The program connects to port 43 of the chosen server or to its RDAP
    // service, and finds its files from the executable's folder (see
    // findFileFolders); tests give routes to their own servers and a
    // writable folder of their own.
    explicit frmWhois(const WhoisRoute &route = {}, const QString &appDir = programFolder(),
        const RdapRoute &rdapRoute = {}, QWidget *parent = nullptr);

    // Replaces the modal warning box, so that tests can answer it.
    void setWarningPresenter(WarningPresenter presenter);
    // Replaces the file dialog of Save As, so that tests can answer it.
    void setSaveFileChooser(SaveFileChooser chooser);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void createMenus();
    void createToolBar();
    void loadSettings();
    void placeControls();
    void fillServerCombo();

    // The lookup: the Whois button starts one with the inputs, and the
    // window follows its signals.
    void startWhois();
    ServerMode selectedServer() const;
    void startLookup(const QString &keyText, const ServerMode &server);
    void followReferral();
    void abortLookup();
    void showLookupState(Lookup::State state);
    void showResult(const LookupResult &result);
    void enterBusy();
    void leaveBusy();

    void setStatus(const QString &text);
    void setResultLabel(const QString &key, const QString &server);
    void showWarning(const QString &text);
    void setReferral(const std::optional<QueryTarget> &referral);
    void setQueryInputsEnabled(bool enabled);
    bool queryInputHasFocus() const;
    QString askSavePath(const QString &suggestedPath);
    void saveResult();
    void setFollowReferrals(bool follow);
    void historyBack();
    void historyForward();
    void showHistoryStep(const HistoryStep &step);
    void openBatchWindow();
    void updateEditMenu();
    void showHelp();
    void showAbout();
    int toPixels(float twips) const;
    float toTwips(int pixels) const;

    const FileFolders m_folders;
    const WhoisRoute m_route;
    const RdapRoute m_rdapRoute;
    QList<ServerEntry> m_servers;
    ResultHistory m_history;
    // The latest lookup; an earlier one is deleted when the next starts.
    Lookup *m_lookup = nullptr;
    BatchWindow *m_batchWindow = nullptr; // made when first opened
    bool m_busy = false;
    LayoutSizes m_layout;
    WarningPresenter m_warningPresenter;
    SaveFileChooser m_saveFileChooser;
    // The key of the result on screen, for the name of a saved result.
    QString m_resultKey;
    // A query moved the focus from the input it disabled to the result view.
    bool m_busyTookFocus = false;
    // The referral of the result on screen.
    std::optional<QueryTarget> m_shownReferral;

    QWidget *m_client = nullptr;
    QLabel *m_keyLabel = nullptr;
    QLineEdit *m_keyEdit = nullptr;
    QLabel *m_serverLabel = nullptr;
    QComboBox *m_serverCombo = nullptr;
    QPushButton *m_whoisButton = nullptr;
    QPushButton *m_clearButton = nullptr;
    QLineEdit *m_resultLabel = nullptr;
    ResultView *m_resultView = nullptr;
    QStatusBar *m_statusBar = nullptr;
    QLabel *m_statusPanel = nullptr;
    QToolBar *m_toolBar = nullptr;
    QShortcut *m_abortKey = nullptr;
    // One action per command; the toolbar's buttons trigger them.
    QAction *m_backAction = nullptr;
    QAction *m_forwardAction = nullptr;
    QAction *m_saveAction = nullptr;
    QAction *m_referralAction = nullptr;
    QAction *m_followReferralsAction = nullptr;
    QAction *m_cutAction = nullptr;
    QAction *m_copyAction = nullptr;
    QAction *m_pasteAction = nullptr;
    EditCommands *m_edit = nullptr;
};
