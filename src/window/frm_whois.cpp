#include "window/frm_whois.h"

#include "history/result_file.h"
#include "serverlist/server_list.h"
#include "settings/ini_store.h"
#include "settings/visible_file.h"
#include "window/edit_commands.h"
#include "window/frm_about.h"
#include "window/guide_window.h"
#include "window/product_info.h"
#include "window/resource_icon.h"
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
    : QMainWindow(parent), m_folders(FindFileFolders(appDir)),
      m_query(*this, m_servers, m_history, route, rdapRoute)
{
    setObjectName(u"frmWhois"_qs);
    setWindowIcon(ResourceIcon(u"domquire"));
    createControls();
    createMenus();
    createToolBar();
    GuideWindow::installHelpKey(this, m_folders.settings,
        { { txtInput, kGuideKeysAnchor }, { cboServer, kGuideServersAnchor } });
    Form_Load();
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
    return Twips::ToPixels(twips, logicalDpiX());
}

float frmWhois::toTwips(int pixels) const
{
    return Twips::FromPixels(pixels, logicalDpiX());
}

void frmWhois::Form_Load()
{
    setWindowTitle(kProductName.toString());
    m_servers = LoadServerList(m_folders.serverList);
    fillServerCombo();

    new StoredWindowSize(this, m_folders.settings, kWindowSize);
    const cIni settings(m_folders.settings);
    const bool follow = settings.LoadIni(kSettingFollowReferrals, kStoredFalse) == kStoredTrue;
    mnuFollowReferrals->setChecked(follow);
    m_query.SetFollowReferrals(follow);
    txtInput->setFocus();
}

void frmWhois::fillServerCombo()
{
    cboServer->addItem(kAutoSelectText.toString());
    cboServer->addItem(kRdapText.toString());
    for (const ServerEntry &entry : std::as_const(m_servers))
        cboServer->addItem(entry.displayText);
    cboServer->setCurrentIndex(0);
}

bool frmWhois::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_client && event->type() == QEvent::Resize)
        Form_Resize();
    // A button's access key clicks it at once. The button's own handling
    // shows the press first and clicks a tenth of a second later, after
    // keys typed straight after the access key have gone to the key box.
    if ((watched == cmdOK || watched == cmdClear) && event->type() == QEvent::Shortcut
        && !static_cast<QShortcutEvent *>(event)->isAmbiguous()) {
        static_cast<QPushButton *>(watched)->click();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmWhois::Form_Resize()
{
    const float clientWidth = toTwips(m_client->width());
    const float clientHeight = kToolBarTwips + toTwips(m_client->height()) + kStatusBarTwips;
    m_layout = ApplyLayoutRule(m_layout, clientWidth, clientHeight);

    // The controls stand below the toolbar, which is not part of m_client.
    const auto place = [this](QWidget *control, float left, float top, float width, float height) {
        control->setGeometry(
            toPixels(left), toPixels(top - kToolBarTwips), toPixels(width), toPixels(height));
    };
    place(txtInput, kTxtInputLeft, 390, m_layout.txtInputWidth, 270);
    place(cboServer, kTxtInputLeft, 760, m_layout.cboServerWidth, 300);
    place(cmdOK, m_layout.buttonsLeft, 375, 1095, 300);
    place(cmdClear, m_layout.buttonsLeft, 760, 1095, 300);
    place(txtLabel, 120, 1160, m_layout.txtLabelWidth, 270);
    place(rtbResult, 10, kRtbResultTop, m_layout.rtbResultWidth, m_layout.rtbResultHeight);
}

QString frmWhois::keyText() const
{
    return txtInput->text();
}

void frmWhois::setKeyText(const QString &text)
{
    txtInput->setText(text);
}

QString frmWhois::comboText() const
{
    return cboServer->currentText();
}

void frmWhois::clearPane()
{
    rtbResult->clear();
}

void frmWhois::appendToPane(const QString &text)
{
    rtbResult->appendText(text);
}

QString frmWhois::paneText()
{
    return rtbResult->text();
}

void frmWhois::focusKey()
{
    txtInput->setFocus();
}

void frmWhois::SetStatus(const QString &text)
{
    m_statusPanel->setText(text);
}

void frmWhois::SetResultLabel(const QString &key, const QString &server)
{
    txtLabel->setText(u'"' + key + u"\" From:"_qs + server);
}

void frmWhois::ShowWarning(const QString &text)
{
    if (m_warningPresenter) {
        m_warningPresenter(text);
        return;
    }
    ShowWarningBox(this, text);
}

void frmWhois::EnterBusy()
{
    // The key box holds the key of the query that starts now.
    m_resultKey = txtInput->text();
    // Disabling the focused input would pass the focus on to the result
    // label; the answer comes in the result view.
    m_busyTookFocus = queryInputHasFocus();
    if (m_busyTookFocus)
        rtbResult->setFocus(Qt::OtherFocusReason);
    setQueryInputsEnabled(false);
    mnuReferral->setEnabled(false);
    m_toolReferral->setEnabled(false);
}

void frmWhois::LeaveBusy()
{
    setQueryInputsEnabled(true);
    SetReferral(m_shownReferral);
    // However the query ended, typing goes on in the key box rather than
    // nowhere, unless the user has chosen another control since.
    const QWidget *focused = focusWidget();
    const bool stillWhereBusyPutIt = m_busyTookFocus && focused == rtbResult;
    m_busyTookFocus = false;
    if (!focused || focused == txtLabel || !focused->isEnabled() || stillWhereBusyPutIt)
        txtInput->setFocus(Qt::OtherFocusReason);
}

void frmWhois::SetReferral(const std::optional<QueryTarget> &referral)
{
    m_shownReferral = referral;
    const bool available = referral.has_value() && cmdOK->isEnabled();
    mnuReferral->setEnabled(available);
    m_toolReferral->setEnabled(available);
}

void frmWhois::mnuFollowReferrals_Click(bool checked)
{
    m_query.SetFollowReferrals(checked);
    cIni(m_folders.settings).SaveIni(kSettingFollowReferrals, checked ? kStoredTrue : kStoredFalse);
}

bool frmWhois::queryInputHasFocus() const
{
    const QWidget *focused = focusWidget();
    return focused == txtInput || focused == cboServer || focused == cmdOK || focused == cmdClear;
}

void frmWhois::setQueryInputsEnabled(bool enabled)
{
    txtInput->setEnabled(enabled);
    cboServer->setEnabled(enabled);
    cmdOK->setEnabled(enabled);
    cmdClear->setEnabled(enabled);
    m_toolBack->setEnabled(enabled);
    m_toolForward->setEnabled(enabled);
    mnuBack->setEnabled(enabled);
    mnuFoword->setEnabled(enabled);
    mnuSave->setEnabled(enabled);
    m_abortKey->setEnabled(!enabled);
}

void frmWhois::HistoryBack()
{
    showHistoryStep(m_history.HistoryBack());
}

void frmWhois::HistoryForward()
{
    showHistoryStep(m_history.HistoryForward());
}

void frmWhois::showHistoryStep(const HistoryStep &step)
{
    if (step.record) {
        rtbResult->setText(step.record->response);
        m_resultKey = step.record->key;
        SetResultLabel(step.record->key, step.record->server);
        SetReferral(step.record->referral);
    }
    SetStatus(step.status);
}

void frmWhois::tlbMain_ButtonClick(const QString &key)
{
    const std::pair<QStringView, std::function<void()>> buttons[] = {
        { u"戻る", [this] { HistoryBack(); } },
        { u"進む", [this] { HistoryForward(); } },
        { u"紹介先を照会", [this] { m_query.FollowReferral(); } },
        { u"中止", [this] { m_query.Abort(); } },
        { u"切り取り", [this] { m_edit->EditCut(); } },
        { u"コピー", [this] { m_edit->EditCopy(); } },
        { u"貼り付け", [this] { m_edit->EditPaste(); } },
    };
    // The first key that matches exactly acts; any other key does nothing.
    for (const auto &[buttonKey, act] : buttons) {
        if (key == buttonKey) {
            act();
            return;
        }
    }
}

void frmWhois::mnuEdit_Click()
{
    const EditMenuState state = m_edit->MenuState();
    mnuCut->setEnabled(state.cut);
    mnuCopy->setEnabled(state.copy);
    mnuPaste->setEnabled(state.paste);
}

void frmWhois::mnuSave_Click()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString suggested = QDir(folder).filePath(ResultFileName(m_resultKey));
    const QString path = m_saveFileChooser ? m_saveFileChooser(suggested) : askSavePath(suggested);
    if (path.isEmpty())
        return;
    // A failed write leaves the result on screen and any earlier file as they were.
    if (const std::optional<QString> reason = WriteResultFile(path, paneText()))
        ShowWarning(u"保存できませんでした。\n"_qs + *reason);
}

QString frmWhois::askSavePath(const QString &suggestedPath)
{
    return QFileDialog::getSaveFileName(this, u"名前を付けて保存"_qs, suggestedPath,
        u"テキスト ファイル (*.txt);;すべてのファイル (*)"_qs);
}

void frmWhois::mnuHelp2_Click()
{
    const QString path = m_folders.program + u"DOMQUIRE.HLP"_qs;
    if (IsVisibleFile(path))
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    else
        GuideWindow::open(this, m_folders.settings);
}

void frmWhois::mnuAbout_Click()
{
    frmAbout dialog(this);
    dialog.exec();
}
