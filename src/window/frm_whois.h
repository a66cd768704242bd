#pragma once

#include "history/result_history.h"
#include "query/query_command.h"
#include "query/query_view.h"
#include "serverlist/server_entry.h"
#include "settings/file_folders.h"
#include "window/layout_rule.h"

#include <QList>
#include <QMainWindow>

#include <functional>
#include <optional>

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
// menus, the toolbar and the status bar. It shows what the query command and
// the history decide; the logic lives in the core library.
class frmWhois : public QMainWindow, public QueryView {
    Q_OBJECT

public:
    // The design's heights of the toolbar and the status bar, in twips. The
    // layout rule sees the client area with the bars at these heights, so the
    // controls keep their distances to the bars whatever height the style
    // gives them.
    static constexpr float kToolBarTwips = 360;
    static constexpr float kStatusBarTwips = 255;

    using WarningPresenter = std::function<void(const QString &text)>;
    // Asks where to save the result, starting at the suggested path; an
    // empty answer saves nothing.
    using SaveFileChooser = std::function<QString(const QString &suggestedPath)>;

    // The program connects to port 43 of the chosen server or to its RDAP
    // service, and finds its files from the executable's folder (see
    // FindFileFolders); tests give routes to their own servers and a
    // writable folder of their own.
    explicit frmWhois(const WhoisRoute &route = {}, const QString &appDir = AppDir(),
        const RdapRoute &rdapRoute = {}, QWidget *parent = nullptr);

    // Replaces the modal warning box, so that tests can answer it.
    void setWarningPresenter(WarningPresenter presenter);
    // Replaces the file dialog of Save As, so that tests can answer it.
    void setSaveFileChooser(SaveFileChooser chooser);

    // QueryView
    QString keyText() const override;
    void setKeyText(const QString &text) override;
    QString comboText() const override;
    void clearPane() override;
    void appendToPane(const QString &text) override;
    QString paneText() override;
    void focusKey() override;
    void SetStatus(const QString &text) override;
    void SetResultLabel(const QString &key, const QString &server) override;
    void ShowWarning(const QString &text) override;
    void EnterBusy() override;
    void LeaveBusy() override;
    void SetReferral(const std::optional<QueryTarget> &referral) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void createMenus();
    void createToolBar();
    void Form_Load();
    void Form_Resize();
    void fillServerCombo();
    void setQueryInputsEnabled(bool enabled);
    bool queryInputHasFocus() const;
    QString askSavePath(const QString &suggestedPath);
    void mnuSave_Click();
    void mnuFollowReferrals_Click(bool checked);
    void HistoryBack();
    void HistoryForward();
    void showHistoryStep(const HistoryStep &step);
    void tlbMain_ButtonClick(const QString &key);
    void mnuEdit_Click();
    void mnuHelp2_Click();
    void mnuAbout_Click();
    int toPixels(float twips) const;
    float toTwips(int pixels) const;

    const FileFolders m_folders;
    QList<ServerEntry> m_servers;
    ResultHistory m_history;
    QueryCommand m_query;
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
    QLabel *Label1 = nullptr;
    QLineEdit *txtInput = nullptr;
    QLabel *Label2 = nullptr;
    QComboBox *cboServer = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdClear = nullptr;
    QLineEdit *txtLabel = nullptr;
    ResultView *rtbResult = nullptr;
    QStatusBar *stbMain = nullptr;
    QLabel *m_statusPanel = nullptr;
    QToolBar *tlbMain = nullptr;
    QAction *m_toolBack = nullptr;
    QAction *m_toolForward = nullptr;
    QAction *mnuBack = nullptr;
    QAction *mnuFoword = nullptr;
    QAction *mnuSave = nullptr;
    QShortcut *m_abortKey = nullptr;
    QAction *m_toolReferral = nullptr;
    QAction *mnuReferral = nullptr;
    QAction *mnuFollowReferrals = nullptr;
    QAction *mnuCut = nullptr;
    QAction *mnuCopy = nullptr;
    QAction *mnuPaste = nullptr;
    EditCommands *m_edit = nullptr;
};
