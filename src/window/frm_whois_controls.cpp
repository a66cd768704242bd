// Builds the main window's controls, menus and toolbar.
#include "window/frm_whois.h"

#include "window/edit_commands.h"
#include "window/resource_icon.h"
#include "window/result_view.h"
#include "window/text_drop_filter.h"
#include "window/web_site.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QToolBar>

namespace {

constexpr int kKeyMaxLength = 256;

QFont gothicFont(double pointSize)
{
    QFont font;
    font.setFamilies({ u"ＭＳ ゴシック"_qs, u"Noto Sans Mono CJK JP"_qs, u"monospace"_qs });
    font.setPointSizeF(pointSize);
    return font;
}

template<typename Widget> Widget *named(Widget *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

} // namespace

void frmWhois::createControls()
{
    m_client = new QWidget(this);
    m_client->installEventFilter(this);
    setCentralWidget(m_client);
    setFont(gothicFont(9));

    m_keyLabel = named(new QLabel(u"Key(&K)"_qs, m_client), u"keyLabel"_qs);
    m_keyEdit = named(new QLineEdit(m_client), u"txtInput"_qs);
    m_keyEdit->setMaxLength(kKeyMaxLength);
    m_keyLabel->setBuddy(m_keyEdit);

    m_serverLabel = named(new QLabel(u"Server(&S)"_qs, m_client), u"serverLabel"_qs);
    m_serverCombo = named(new QComboBox(m_client), u"cboServer"_qs);
    m_serverCombo->setEditable(true);
    m_serverCombo->setInsertPolicy(QComboBox::NoInsert);
    // A typed server is used as typed: no completion from the list, which
    // would also match list entries regardless of case.
    m_serverCombo->setCompleter(nullptr);
    m_serverCombo->lineEdit()->setAcceptDrops(false);
    m_serverCombo->setAcceptDrops(true);
    m_serverCombo->installEventFilter(new TextDropFilter(m_serverCombo));
    m_serverLabel->setBuddy(m_serverCombo);

    m_whoisButton = named(new QPushButton(u"Whois(&W)"_qs, m_client), u"cmdOK"_qs);
    m_clearButton = named(new QPushButton(u"Clear(&C)"_qs, m_client), u"cmdClear"_qs);
    // Enter on a focused button clicks it; Enter elsewhere clicks Whois.
    m_whoisButton->setDefault(true);
    m_clearButton->setAutoDefault(true);
    // The buttons use the desktop's own font rather than the window's.
    QFont desktopFont = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    desktopFont.setResolveMask(QFont::AllPropertiesResolved);
    for (QPushButton *button : { m_whoisButton, m_clearButton }) {
        button->setFont(desktopFont);
        button->installEventFilter(this);
    }

    m_resultLabel = named(new QLineEdit(m_client), u"txtLabel"_qs);
    m_resultLabel->setReadOnly(true);

    m_resultView = named(new ResultView(m_client), u"rtbResult"_qs);
    m_resultView->setFont(gothicFont(9.75));

    // Labels sit at fixed places and size themselves to their text.
    m_keyLabel->move(toPixels(510), toPixels(435 - kToolBarTwips));
    m_serverLabel->move(toPixels(240), toPixels(840 - kToolBarTwips));
    m_keyLabel->adjustSize();
    m_serverLabel->adjustSize();

    setTabOrder(m_keyEdit, m_serverCombo);
    setTabOrder(m_serverCombo, m_whoisButton);
    setTabOrder(m_whoisButton, m_clearButton);
    setTabOrder(m_clearButton, m_resultLabel);
    setTabOrder(m_resultLabel, m_resultView);

    // Enter in the boxes starts a query; the result view takes Enter itself.
    for (QLineEdit *box : { m_keyEdit, m_serverCombo->lineEdit(), m_resultLabel })
        connect(box, &QLineEdit::returnPressed, m_whoisButton, &QPushButton::click);
    connect(m_whoisButton, &QPushButton::clicked, this, &frmWhois::startWhois);
    // Clear empties the key box only.
    connect(m_clearButton, &QPushButton::clicked, this, [this] { m_keyEdit->setText(QString()); });

    // Esc aborts a running query; open menus and dialogs take Esc first.
    m_abortKey = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    m_abortKey->setEnabled(false);
    connect(m_abortKey, &QShortcut::activated, this, &frmWhois::abortLookup);

    m_edit = new EditCommands(m_keyEdit, m_serverCombo, m_resultView, this);

    m_statusBar = named(new QStatusBar(this), u"stbMain"_qs);
    m_statusBar->setSizeGripEnabled(true);
    m_statusPanel = named(new QLabel(m_statusBar), u"stbMainPanel1"_qs);
    m_statusBar->addWidget(m_statusPanel, 1);
    setStatusBar(m_statusBar);

    // Accessible names: what a screen reader says for each control. The
    // labels' captions are English and carry access keys, so the labels get
    // Japanese names, which their buddies pass on as labelled-by relations;
    // the key field is named too, since Qt names a line edit from its
    // label's caption.
    m_keyLabel->setAccessibleName(u"キー"_qs);
    m_serverLabel->setAccessibleName(u"サーバ"_qs);
    m_keyEdit->setAccessibleName(u"キー"_qs);
    m_serverCombo->setAccessibleName(u"サーバ"_qs);
    m_whoisButton->setAccessibleName(u"照会"_qs);
    m_clearButton->setAccessibleName(u"クリア"_qs);
    m_resultLabel->setAccessibleName(u"結果の見出し"_qs);
    m_statusBar->setAccessibleName(u"状態"_qs);
}

void frmWhois::createMenus()
{
    const auto addItem = [](QMenu *menu, const QString &name, const QString &caption) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(name);
        return action;
    };
    const auto addLine = [](QMenu *menu, const QString &name) {
        menu->addSeparator()->setObjectName(name);
    };

    QMenu *fileMenu = named(menuBar()->addMenu(u"ファイル(&F)"_qs), u"mnuFile"_qs);
    m_backAction = addItem(fileMenu, u"mnuBack"_qs, u"戻る(&B)"_qs);
    m_backAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    m_forwardAction = addItem(fileMenu, u"mnuForward"_qs, u"進む(&F)"_qs);
    m_forwardAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    m_saveAction = addItem(fileMenu, u"mnuSave"_qs, u"名前を付けて保存(&S)..."_qs);
    m_saveAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_referralAction = addItem(fileMenu, u"mnuReferral"_qs, u"紹介先を照会(&R)"_qs);
    m_referralAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    m_referralAction->setEnabled(false);
    m_followReferralsAction =
        addItem(fileMenu, u"mnuFollowReferrals"_qs, u"紹介先を自動でたどる(&A)"_qs);
    m_followReferralsAction->setCheckable(true);
    QAction *batchAction = addItem(fileMenu, u"mnuBatch"_qs, u"一括照会(&L)..."_qs);
    batchAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    connect(batchAction, &QAction::triggered, this, &frmWhois::openBatchWindow);
    addLine(fileMenu, u"mnuFileLine"_qs);
    QAction *exitAction = addItem(fileMenu, u"mnuExit"_qs, u"閉じる(&X)"_qs);
    connect(m_backAction, &QAction::triggered, this, &frmWhois::historyBack);
    connect(m_forwardAction, &QAction::triggered, this, &frmWhois::historyForward);
    connect(m_saveAction, &QAction::triggered, this, &frmWhois::saveResult);
    connect(m_referralAction, &QAction::triggered, this, &frmWhois::followReferral);
    connect(m_followReferralsAction, &QAction::triggered, this, &frmWhois::setFollowReferrals);
    connect(exitAction, &QAction::triggered, this, &frmWhois::close);

    QMenu *editMenu = named(menuBar()->addMenu(u"編集(&E)"_qs), u"mnuEdit"_qs);
    m_cutAction = addItem(editMenu, u"mnuCut"_qs, u"切り取り(&T)"_qs);
    m_copyAction = addItem(editMenu, u"mnuCopy"_qs, u"コピー(&C)"_qs);
    m_pasteAction = addItem(editMenu, u"mnuPaste"_qs, u"貼り付け(&P)"_qs);
    addLine(editMenu, u"mnuEditLine"_qs);
    QAction *selectAllAction = addItem(editMenu, u"mnuAll"_qs, u"すべて選択(&A)"_qs);
    connect(editMenu, &QMenu::aboutToShow, this, &frmWhois::updateEditMenu);
    connect(m_cutAction, &QAction::triggered, m_edit, &EditCommands::editCut);
    connect(m_copyAction, &QAction::triggered, m_edit, &EditCommands::editCopy);
    connect(m_pasteAction, &QAction::triggered, m_edit, &EditCommands::editPaste);
    connect(selectAllAction, &QAction::triggered, m_edit, &EditCommands::selectAll);

    QMenu *helpMenu = named(menuBar()->addMenu(u"ヘルプ(&H)"_qs), u"mnuHelp"_qs);
    QAction *helpAction = addItem(helpMenu, u"mnuHelpTopics"_qs, u"ヘルプ(&H)..."_qs);
    addLine(helpMenu, u"mnuHelpLine"_qs);
    QAction *aboutAction = addItem(helpMenu, u"mnuAbout"_qs, u"バージョン情報(&A)..."_qs);
    QAction *websiteAction = addItem(helpMenu, u"mnuWebsite"_qs, u"ホームページへ(&W)..."_qs);
    connect(helpAction, &QAction::triggered, this, &frmWhois::showHelp);
    connect(aboutAction, &QAction::triggered, this, &frmWhois::showAbout);
    connect(websiteAction, &QAction::triggered, this, &openProductWebSite);
}

void frmWhois::createToolBar()
{
    m_toolBar = named(new QToolBar(this), u"tlbMain"_qs);
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, m_toolBar);

    // A button is named by its key, shown as its tip, and runs its command.
    const auto addButton = [this](const QString &key, QStringView image, auto receiver,
                               auto command) {
        QAction *button = m_toolBar->addAction(resourceIcon(image), key);
        button->setToolTip(key);
        m_toolBar->widgetForAction(button)->setFocusPolicy(Qt::NoFocus);
        connect(button, &QAction::triggered, receiver, command);
        return button;
    };
    // The buttons of menu commands trigger the command's action and are
    // enabled with it.
    const auto addCommandButton = [&](const QString &key, QStringView image, QAction *action) {
        QAction *button = addButton(key, image, action, &QAction::trigger);
        button->setEnabled(action->isEnabled());
        connect(action, &QAction::enabledChanged, button, &QAction::setEnabled);
    };
    addCommandButton(u"戻る"_qs, u"back", m_backAction);
    addCommandButton(u"進む"_qs, u"forward", m_forwardAction);
    addCommandButton(u"紹介先を照会"_qs, u"referral", m_referralAction);
    m_toolBar->addSeparator();
    addButton(u"中止"_qs, u"stop", this, &frmWhois::abortLookup);
    m_toolBar->addSeparator();
    // Cut, Copy and Paste stay enabled: the menu's items follow the focused
    // box only while the menu is open.
    addButton(u"切り取り"_qs, u"cut", m_edit, &EditCommands::editCut);
    addButton(u"コピー"_qs, u"copy", m_edit, &EditCommands::editCopy);
    addButton(u"貼り付け"_qs, u"paste", m_edit, &EditCommands::editPaste);
}
