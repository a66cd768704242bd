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

    Label1 = named(new QLabel(u"Key(&K)"_qs, m_client), u"Label1"_qs);
    txtInput = named(new QLineEdit(m_client), u"txtInput"_qs);
    txtInput->setMaxLength(kKeyMaxLength);
    Label1->setBuddy(txtInput);

    Label2 = named(new QLabel(u"Server(&S)"_qs, m_client), u"Label2"_qs);
    cboServer = named(new QComboBox(m_client), u"cboServer"_qs);
    cboServer->setEditable(true);
    cboServer->setInsertPolicy(QComboBox::NoInsert);
    // A typed server is used as typed: no completion from the list, which
    // would also match list entries regardless of case.
    cboServer->setCompleter(nullptr);
    cboServer->lineEdit()->setAcceptDrops(false);
    cboServer->setAcceptDrops(true);
    cboServer->installEventFilter(new TextDropFilter(cboServer));
    Label2->setBuddy(cboServer);

    cmdOK = named(new QPushButton(u"Whois(&W)"_qs, m_client), u"cmdOK"_qs);
    cmdClear = named(new QPushButton(u"Clear(&C)"_qs, m_client), u"cmdClear"_qs);
    // Enter on a focused button clicks it; Enter elsewhere clicks Whois.
    cmdOK->setDefault(true);
    cmdClear->setAutoDefault(true);
    // The buttons use the desktop's own font rather than the window's.
    QFont desktopFont = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    desktopFont.setResolveMask(QFont::AllPropertiesResolved);
    for (QPushButton *button : { cmdOK, cmdClear }) {
        button->setFont(desktopFont);
        button->installEventFilter(this);
    }

    txtLabel = named(new QLineEdit(m_client), u"txtLabel"_qs);
    txtLabel->setReadOnly(true);

    rtbResult = named(new ResultView(m_client), u"rtbResult"_qs);
    rtbResult->setFont(gothicFont(9.75));

    // Labels sit at fixed places and size themselves to their text.
    Label1->move(toPixels(510), toPixels(435 - kToolBarTwips));
    Label2->move(toPixels(240), toPixels(840 - kToolBarTwips));
    Label1->adjustSize();
    Label2->adjustSize();

    setTabOrder(txtInput, cboServer);
    setTabOrder(cboServer, cmdOK);
    setTabOrder(cmdOK, cmdClear);
    setTabOrder(cmdClear, txtLabel);
    setTabOrder(txtLabel, rtbResult);

    // Enter in the boxes starts a query; the result view takes Enter itself.
    for (QLineEdit *box : { txtInput, cboServer->lineEdit(), txtLabel })
        connect(box, &QLineEdit::returnPressed, cmdOK, &QPushButton::click);
    connect(cmdOK, &QPushButton::clicked, &m_query, &QueryCommand::Whois);
    connect(cmdClear, &QPushButton::clicked, &m_query, &QueryCommand::Clear);

    // Esc aborts a running query; open menus and dialogs take Esc first.
    m_abortKey = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    m_abortKey->setEnabled(false);
    connect(m_abortKey, &QShortcut::activated, &m_query, &QueryCommand::Abort);

    m_edit = new EditCommands(txtInput, cboServer, rtbResult, this);

    stbMain = named(new QStatusBar(this), u"stbMain"_qs);
    stbMain->setSizeGripEnabled(true);
    m_statusPanel = named(new QLabel(stbMain), u"stbMainPanel1"_qs);
    stbMain->addWidget(m_statusPanel, 1);
    setStatusBar(stbMain);

    // Accessible names: what a screen reader says for each control. The
    // labels' captions are English and carry access keys, so the labels get
    // Japanese names, which their buddies pass on as labelled-by relations;
    // the key field is named too, since Qt names a line edit from its
    // label's caption.
    Label1->setAccessibleName(u"キー"_qs);
    Label2->setAccessibleName(u"サーバ"_qs);
    txtInput->setAccessibleName(u"キー"_qs);
    cboServer->setAccessibleName(u"サーバ"_qs);
    cmdOK->setAccessibleName(u"照会"_qs);
    cmdClear->setAccessibleName(u"クリア"_qs);
    txtLabel->setAccessibleName(u"結果の見出し"_qs);
    stbMain->setAccessibleName(u"状態"_qs);
    // End of the accessible names.
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

    QMenu *mnuFile = named(menuBar()->addMenu(u"ファイル(&F)"_qs), u"mnuFile"_qs);
    mnuBack = addItem(mnuFile, u"mnuBack"_qs, u"戻る(&B)"_qs);
    mnuBack->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    mnuFoword = addItem(mnuFile, u"mnuFoword"_qs, u"進む(&F)"_qs);
    mnuFoword->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    mnuSave = addItem(mnuFile, u"mnuSave"_qs, u"名前を付けて保存(&S)..."_qs);
    mnuSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuReferral = addItem(mnuFile, u"mnuReferral"_qs, u"紹介先を照会(&R)"_qs);
    mnuReferral->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    mnuReferral->setEnabled(false);
    mnuFollowReferrals = addItem(mnuFile, u"mnuFollowReferrals"_qs, u"紹介先を自動でたどる(&A)"_qs);
    mnuFollowReferrals->setCheckable(true);
    addLine(mnuFile, u"mnuFileLine"_qs);
    QAction *mnuExit = addItem(mnuFile, u"mnuExit"_qs, u"閉じる(&X)"_qs);
    connect(mnuBack, &QAction::triggered, this, &frmWhois::HistoryBack);
    connect(mnuFoword, &QAction::triggered, this, &frmWhois::HistoryForward);
    connect(mnuSave, &QAction::triggered, this, &frmWhois::mnuSave_Click);
    connect(mnuReferral, &QAction::triggered, &m_query, &QueryCommand::FollowReferral);
    connect(mnuFollowReferrals, &QAction::triggered, this, &frmWhois::mnuFollowReferrals_Click);
    connect(mnuExit, &QAction::triggered, this, &frmWhois::close);

    QMenu *mnuEdit = named(menuBar()->addMenu(u"編集(&E)"_qs), u"mnuEdit"_qs);
    mnuCut = addItem(mnuEdit, u"mnuCut"_qs, u"切り取り(&T)"_qs);
    mnuCopy = addItem(mnuEdit, u"mnuCopy"_qs, u"コピー(&C)"_qs);
    mnuPaste = addItem(mnuEdit, u"mnuPaste"_qs, u"貼り付け(&P)"_qs);
    addLine(mnuEdit, u"mnuEditLine"_qs);
    QAction *mnuAll = addItem(mnuEdit, u"mnuAll"_qs, u"すべて選択(&A)"_qs);
    connect(mnuEdit, &QMenu::aboutToShow, this, &frmWhois::mnuEdit_Click);
    connect(mnuCut, &QAction::triggered, m_edit, &EditCommands::EditCut);
    connect(mnuCopy, &QAction::triggered, m_edit, &EditCommands::EditCopy);
    connect(mnuPaste, &QAction::triggered, m_edit, &EditCommands::EditPaste);
    connect(mnuAll, &QAction::triggered, m_edit, &EditCommands::SelectAll);

    QMenu *mnuHelp = named(menuBar()->addMenu(u"ヘルプ(&H)"_qs), u"mnuHelp"_qs);
    QAction *mnuHelp2 = addItem(mnuHelp, u"mnuHelp2"_qs, u"ヘルプ(&H)..."_qs);
    addLine(mnuHelp, u"mnuHelpLine"_qs);
    QAction *mnuAbout = addItem(mnuHelp, u"mnuAbout"_qs, u"バージョン情報(&A)..."_qs);
    QAction *mnuWebsite = addItem(mnuHelp, u"mnuWebsite"_qs, u"ホームページへ(&W)..."_qs);
    connect(mnuHelp2, &QAction::triggered, this, &frmWhois::mnuHelp2_Click);
    connect(mnuAbout, &QAction::triggered, this, &frmWhois::mnuAbout_Click);
    connect(mnuWebsite, &QAction::triggered, this, &OpenWebSite);
}

void frmWhois::createToolBar()
{
    tlbMain = named(new QToolBar(this), u"tlbMain"_qs);
    tlbMain->setMovable(false);
    tlbMain->setFloatable(false);
    tlbMain->setToolButtonStyle(Qt::ToolButtonIconOnly);
    tlbMain->setIconSize(QSize(16, 16));
    tlbMain->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, tlbMain);

    const auto addButton = [this](const QString &key, QStringView image) {
        QAction *action = tlbMain->addAction(ResourceIcon(image), key);
        action->setToolTip(key);
        tlbMain->widgetForAction(action)->setFocusPolicy(Qt::NoFocus);
        return action;
    };
    m_toolBack = addButton(u"戻る"_qs, u"back");
    m_toolForward = addButton(u"進む"_qs, u"forward");
    m_toolReferral = addButton(u"紹介先を照会"_qs, u"referral");
    m_toolReferral->setEnabled(false);
    tlbMain->addSeparator();
    addButton(u"中止"_qs, u"stop");
    tlbMain->addSeparator();
    addButton(u"切り取り"_qs, u"cut");
    addButton(u"コピー"_qs, u"copy");
    addButton(u"貼り付け"_qs, u"paste");

    connect(tlbMain, &QToolBar::actionTriggered, this,
        [this](QAction *action) { tlbMain_ButtonClick(action->text()); });
}
