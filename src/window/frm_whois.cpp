#include "window/frm_whois.h"

#include "batch/pacing_from_ini.h"
#include "history/result_file.h"
#include "selection/registry_cache.h"
#include "serverlist/server_list.h"
#include "settings/ini_store.h"
#include "settings/visible_file.h"
#include "window/batch_window.h"
#include "window/edit_commands.h"
#include "window/frm_about.h"
#include "window/guide_window.h"
#include "window/product_info.h"
#include "window/resource_icon.h"
#include "window/server_combo.h"
#include "window/result_view.h"
#include "window/stored_window_size.h"
#include "window/twips.h"
#include "window/warning_box.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QShortcutEvent>
#include <QStandardPaths>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>

namespace {

// The smallest stored size is one at which the boxes, buttons and a few
// lines of the result still show.
const WindowSizeSetting kWindowSize { u"WID"_qs, u"HET"_qs, { 9000, 7000 }, { 3000, 2400 } };
const QString kSettingFollowReferrals = u"FollowReferrals"_qs;
// Stored flags, as the settings file keeps them.
const QString kStoredTrue = u"-1"_qs;
const QString kStoredFalse = u"0"_qs;

} // namespace

frmWhois::frmWhois(
    const WhoisRoute &route, const QString &appDir, const RdapRoute &rdapRoute, QWidget *parent)
    : QMainWindow(parent), m_folders(findFileFolders(appDir)), m_route(route),
      m_rdapRoute(rdapRoute)
{
    setObjectName(u"frmWhois"_qs);
    setWindowIcon(resourceIcon(u"domquire"));
    createControls();
    createMenus();
    createToolBar();
    GuideWindow::installHelpKey(this, m_folders.settings,
        { { m_keyEdit, kGuideKeysAnchor }, { m_serverCombo, kGuideServersAnchor } });
    loadSettings();
}

void frmWhois::setWarningPresenter(WarningPresenter presenter)
{
    m_warningPresenter = std::move(presenter);
}

void frmWhois::setSaveFileChooser(SaveFileChooser chooser)
{
    m_saveFileChooser = std::move(chooser);
}

int frmWhois::toPixels(float twips) const
{
    return Twips::toPixels(twips, logicalDpiX());
}

float frmWhois::toTwips(int pixels) const
{
    return Twips::fromPixels(pixels, logicalDpiX());
}

void frmWhois::loadSettings()
{
    setWindowTitle(kProductName.toString());
    m_servers = loadServerList(m_folders.serverList);
    fillServerCombo();

    new StoredWindowSize(this, m_folders.settings, kWindowSize);
    const IniStore settings(m_folders.settings);
    const bool follow = settings.loadIni(kSettingFollowReferrals, kStoredFalse) == kStoredTrue;
    m_followReferralsAction->setChecked(follow);
    m_keyEdit->setFocus();
}

void frmWhois::fillServerCombo()
{
    // Each item carries the server mode it stands for.
    m_serverCombo->addItem(
        kAutoSelectText.toString(), QVariant::fromValue(ServerMode::automatic()));
    m_serverCombo->addItem(kRdapText.toString(), QVariant::fromValue(ServerMode::rdap()));
    for (const ServerEntry &entry : std::as_const(m_servers)) {
        m_serverCombo->addItem(entry.displayText,
            QVariant::fromValue(ServerMode::listEntry(entry.displayText, entry.host)));
    }
    m_serverCombo->setCurrentIndex(0);
}

bool frmWhois::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_client && event->type() == QEvent::Resize)
        placeControls();
    // A button's access key clicks it at once. The button's own handling
    // shows the press first and clicks a tenth of a second later, after
    // keys typed straight after the access key have gone to the key box.
    if ((watched == m_whoisButton || watched == m_clearButton) && event->type() == QEvent::Shortcut
        && !static_cast<QShortcutEvent *>(event)->isAmbiguous()) {
        static_cast<QPushButton *>(watched)->click();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmWhois::placeControls()
{
    const float clientWidth = toTwips(m_client->width());
    const float clientHeight = kToolBarTwips + toTwips(m_client->height()) + kStatusBarTwips;
    m_layout = applyLayoutRule(m_layout, clientWidth, clientHeight);

    // The controls stand below the toolbar, which is not part of m_client.
    const auto place = [this](QWidget *control, float left, float top, float width, float height) {
        control->setGeometry(
            toPixels(left), toPixels(top - kToolBarTwips), toPixels(width), toPixels(height));
    };
    place(m_keyEdit, kKeyEditLeft, 390, m_layout.keyEditWidth, 270);
    place(m_serverCombo, kKeyEditLeft, 760, m_layout.serverComboWidth, 300);
    place(m_whoisButton, m_layout.buttonsLeft, 375, 1095, 300);
    place(m_clearButton, m_layout.buttonsLeft, 760, 1095, 300);
    place(m_resultLabel, 120, 1160, m_layout.resultLabelWidth, 270);
    place(m_resultView, 10, kResultViewTop, m_layout.resultViewWidth, m_layout.resultViewHeight);
}

void frmWhois::startWhois()
{
    const QString keyText = Lookup::withoutTrailingLineBreaks(m_keyEdit->text());
    if (keyText != m_keyEdit->text())
        m_keyEdit->setText(keyText);
    startLookup(keyText, selectedServer());
}

ServerMode frmWhois::selectedServer() const
{
    return selectedServerMode(*m_serverCombo);
}

void frmWhois::startLookup(const QString &keyText, const ServerMode &server)
{
    if (m_lookup)
        m_lookup->deleteLater();
    m_lookup = new Lookup(m_route, m_rdapRoute, this);
    m_lookup->setRegistryCacheFolder(RegistryCache::defaultFolder());
    // The result view keeps the answer; the history shares its text.
    m_lookup->setKeepText(false);
    connect(m_lookup, &Lookup::stateChanged, this, &frmWhois::showLookupState);
    connect(m_lookup, &Lookup::statusChanged, this, &frmWhois::setStatus);
    connect(m_lookup, &Lookup::answerStarted, m_resultView, &ResultView::clear);
    connect(m_lookup, &Lookup::textArrived, m_resultView, &ResultView::appendText);
    connect(m_lookup, &Lookup::finished, this, &frmWhois::showResult);
    connect(m_lookup, &Lookup::failed, this, &frmWhois::showWarning);
    m_lookup->start(keyText, server, m_followReferralsAction->isChecked());
}

void frmWhois::followReferral()
{
    const std::optional<HistoryRecord> shown = m_history.shown();
    if ((m_lookup && m_lookup->isBusy()) || !shown || !shown->referral)
        return;
    m_keyEdit->setText(shown->key);
    startLookup(shown->key, ServerMode::followReferral(*shown->referral));
}

void frmWhois::abortLookup()
{
    if (m_lookup)
        m_lookup->abort();
}

void frmWhois::showLookupState(Lookup::State state)
{
    const bool busy = Lookup::isBusy(state);
    if (busy && !m_busy)
        enterBusy();
    else if (!busy && m_busy)
        leaveBusy();
}

void frmWhois::showResult(const LookupResult &result)
{
    m_history.pushHistory({ result.keyText, result.serverLabel, m_resultView->text(), result.referral });
    m_keyEdit->setFocus();
    setResultLabel(result.keyText, result.serverLabel);
    setReferral(result.referral);
}

void frmWhois::setStatus(const QString &text)
{
    m_statusPanel->setText(text);
}

void frmWhois::setResultLabel(const QString &key, const QString &server)
{
    m_resultLabel->setText(u'"' + key + u"\" From:"_qs + server);
}

void frmWhois::showWarning(const QString &text)
{
    if (m_warningPresenter) {
        m_warningPresenter(text);
        return;
    }
    showWarningBox(this, text);
}

void frmWhois::enterBusy()
{
    m_busy = true;
    // The key box holds the key of the query that starts now.
    m_resultKey = m_keyEdit->text();
    // Disabling the focused input would pass the focus on to the result
    // label; the answer comes in the result view.
    m_busyTookFocus = queryInputHasFocus();
    if (m_busyTookFocus)
        m_resultView->setFocus(Qt::OtherFocusReason);
    setQueryInputsEnabled(false);
    m_referralAction->setEnabled(false);
}

void frmWhois::leaveBusy()
{
    m_busy = false;
    setQueryInputsEnabled(true);
    setReferral(m_shownReferral);
    // However the query ended, typing goes on in the key box rather than
    // nowhere, unless the user has chosen another control since.
    const QWidget *focused = focusWidget();
    const bool stillWhereBusyPutIt = m_busyTookFocus && focused == m_resultView;
    m_busyTookFocus = false;
    if (!focused || focused == m_resultLabel || !focused->isEnabled() || stillWhereBusyPutIt)
        m_keyEdit->setFocus(Qt::OtherFocusReason);
}

void frmWhois::setReferral(const std::optional<QueryTarget> &referral)
{
    m_shownReferral = referral;
    m_referralAction->setEnabled(referral.has_value() && !m_busy);
}

void frmWhois::setFollowReferrals(bool checked)
{
    IniStore(m_folders.settings).saveIni(kSettingFollowReferrals, checked ? kStoredTrue : kStoredFalse);
}

bool frmWhois::queryInputHasFocus() const
{
    const QWidget *focused = focusWidget();
    return focused == m_keyEdit || focused == m_serverCombo || focused == m_whoisButton
        || focused == m_clearButton;
}

void frmWhois::setQueryInputsEnabled(bool enabled)
{
    m_keyEdit->setEnabled(enabled);
    m_serverCombo->setEnabled(enabled);
    m_whoisButton->setEnabled(enabled);
    m_clearButton->setEnabled(enabled);
    m_backAction->setEnabled(enabled);
    m_forwardAction->setEnabled(enabled);
    m_saveAction->setEnabled(enabled);
    m_abortKey->setEnabled(!enabled);
}

void frmWhois::historyBack()
{
    showHistoryStep(m_history.historyBack());
}

void frmWhois::historyForward()
{
    showHistoryStep(m_history.historyForward());
}

void frmWhois::showHistoryStep(const HistoryStep &step)
{
    if (step.record) {
        m_resultView->setText(step.record->response);
        m_resultKey = step.record->key;
        setResultLabel(step.record->key, step.record->server);
        setReferral(step.record->referral);
    }
    setStatus(step.status);
}

void frmWhois::openBatchWindow()
{
    if (!m_batchWindow) {
        m_batchWindow = new BatchWindow(
            m_serverCombo->model(), pacingFromIni(m_folders.settings), m_route, m_rdapRoute, this);
        // A row's answer shows here as if it had been asked here.
        connect(m_batchWindow, &BatchWindow::answerChosen, this, [this](const HistoryRecord &record) {
            m_history.pushHistory(record);
            showHistoryStep({ record, {} });
        });
        GuideWindow::installHelpKey(
            m_batchWindow, m_folders.settings, { { m_batchWindow, kGuideBatchAnchor } });
    }
    m_batchWindow->show();
    m_batchWindow->activateWindow();
}

void frmWhois::updateEditMenu()
{
    const EditMenuState state = m_edit->menuState();
    m_cutAction->setEnabled(state.cut);
    m_copyAction->setEnabled(state.copy);
    m_pasteAction->setEnabled(state.paste);
}

void frmWhois::saveResult()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString suggested = QDir(folder).filePath(resultFileName(m_resultKey));
    const QString path = m_saveFileChooser ? m_saveFileChooser(suggested) : askSavePath(suggested);
    if (path.isEmpty())
        return;
    // A failed write leaves the result on screen and any earlier file as they were.
    if (const std::optional<QString> reason = writeResultFile(path, m_resultView->text()))
        showWarning(u"保存できませんでした。\n"_qs + *reason);
}

QString frmWhois::askSavePath(const QString &suggestedPath)
{
    return QFileDialog::getSaveFileName(this, u"名前を付けて保存"_qs, suggestedPath,
        u"テキスト ファイル (*.txt);;すべてのファイル (*)"_qs);
}

void frmWhois::showHelp()
{
    const QString path = m_folders.program + u"DOMQUIRE.HLP"_qs;
    if (isVisibleFile(path))
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    else
        GuideWindow::open(this, m_folders.settings);
}

void frmWhois::showAbout()
{
    frmAbout dialog(this);
    dialog.exec();
}
