#include "window/guide_window.h"

#include "text/heading_anchor.h"
#include "window/find_bar.h"
#include "window/resource_icon.h"
#include "window/stored_window_size.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QHeaderView>
#include <QSet>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

// The guide lives in a static library, whose resource registration the linker
// would drop unless something refers to it. Q_INIT_RESOURCE must be used
// outside any namespace.
static void registerGuideResources()
{
    Q_INIT_RESOURCE(guide);
}

namespace {

const QUrl kGuideUrl(u"qrc:/guide/ja.md"_qs);
const WindowSizeSetting kGuideSize { u"GuideWidth"_qs, u"GuideHeight"_qs, { 10500, 9000 },
    { 4500, 3000 } };
constexpr int kAnchorRole = Qt::UserRole;

struct Heading {
    int level;
    QString title;
    QString anchor;
};

// Gives each heading of the rendered guide the anchor its links use (a
// repeated one gets "-1", "-2", ... as the Markdown hosts do) and lists them.
// The document does not announce the change: the browser would take it for
// an edit and load the guide afresh, without the anchors, at the next link.
QList<Heading> anchorHeadings(QTextDocument &document)
{
    const QSignalBlocker quiet(&document);
    QList<Heading> headings;
    QSet<QString> used;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        const QString base = headingAnchor(block.text());
        if (level == 0 || base.isEmpty())
            continue;
        QString anchor = base;
        for (int n = 1; used.contains(anchor); ++n)
            anchor = base + u'-' + QString::number(n);
        used.insert(anchor);
        QTextCursor cursor(block);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setAnchor(true);
        format.setAnchorNames({ anchor });
        cursor.mergeCharFormat(format);
        headings.append({ level, block.text(), anchor });
    }
    return headings;
}

} // namespace

GuideWindow::GuideWindow(const QString &settingsFolder, QWidget *owner)
    : QWidget(owner, Qt::Window), m_text(new QTextBrowser(this)),
      m_contents(new QTreeWidget(this)), m_findBar(new FindBar(this))
{
    static const bool registered = (registerGuideResources(), true);
    Q_UNUSED(registered);
    setObjectName(u"guideWindow"_qs);
    setWindowTitle(u"Domquire ヘルプ"_qs);
    m_text->setObjectName(u"guideText"_qs);
    m_contents->setObjectName(u"guideContents"_qs);
    m_contents->header()->hide();

    auto *toolBar = new QToolBar(this);
    toolBar->setIconSize(QSize(16, 16));
    QAction *back = toolBar->addAction(resourceIcon(u"back"), u"戻る"_qs, m_text,
        &QTextBrowser::backward);
    QAction *forward = toolBar->addAction(resourceIcon(u"forward"), u"進む"_qs, m_text,
        &QTextBrowser::forward);
    back->setObjectName(u"guideBack"_qs);
    forward->setObjectName(u"guideForward"_qs);
    back->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
    forward->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Right));
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(m_text, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(m_text, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);

    auto *page = new QWidget(this);
    auto *pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->setSpacing(0);
    pageLayout->addWidget(m_text, 1);
    pageLayout->addWidget(m_findBar);
    auto *splitter = new QSplitter(this);
    splitter->addWidget(m_contents);
    splitter->addWidget(page);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({ 220, 560 });
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar);
    layout->addWidget(splitter, 1);

    const auto addKey = [this](const QKeySequence &key, auto act) {
        connect(new QShortcut(key, this), &QShortcut::activated, this, act);
    };
    addKey(QKeySequence(Qt::CTRL | Qt::Key_F), [this] {
        m_findBar->open(m_text->textCursor().selectedText());
    });
    addKey(QKeySequence(Qt::Key_F3), [this] { find(true); });
    addKey(QKeySequence(Qt::SHIFT | Qt::Key_F3), [this] { find(false); });
    connect(m_findBar, &FindBar::findRequested, this, &GuideWindow::find);
    connect(m_findBar, &FindBar::closed, m_text, [this] { m_text->setFocus(); });

    // Links are never followed by the browser itself, which would load a web
    // page into the guide's place.
    m_text->setOpenLinks(false);
    connect(m_text, &QTextBrowser::anchorClicked, this, &GuideWindow::followLink);
    connect(m_text, &QTextBrowser::sourceChanged, this, &GuideWindow::markContents);
    const auto go = [this](QTreeWidgetItem *item) {
        showSection(item->data(0, kAnchorRole).toString());
    };
    connect(m_contents, &QTreeWidget::itemClicked, this, go);
    connect(m_contents, &QTreeWidget::itemActivated, this, go);

    m_text->setSource(kGuideUrl);
    fillContents();
    new StoredWindowSize(this, settingsFolder, kGuideSize);
    owner->installEventFilter(this);
}

GuideWindow *GuideWindow::open(QWidget *owner, const QString &settingsFolder, QStringView anchor)
{
    auto *guide = owner->findChild<GuideWindow *>(QString(), Qt::FindDirectChildrenOnly);
    if (!guide)
        guide = new GuideWindow(settingsFolder, owner);
    if (!anchor.isEmpty())
        guide->showSection(anchor);
    guide->show();
    guide->raise();
    guide->activateWindow();
    guide->m_text->setFocus();
    return guide;
}

void GuideWindow::installHelpKey(
    QWidget *window, const QString &settingsFolder, const QList<GuideTopic> &topics)
{
    auto *key = new QShortcut(QKeySequence(Qt::Key_F1), window);
    connect(key, &QShortcut::activated, window, [window, settingsFolder, topics] {
        for (const QWidget *control = QApplication::focusWidget(); control;
             control = control->parentWidget()) {
            for (const GuideTopic &topic : topics) {
                if (topic.control == control) {
                    open(window, settingsFolder, topic.anchor);
                    return;
                }
            }
        }
        open(window, settingsFolder);
    });
}

void GuideWindow::showSection(QStringView anchor)
{
    QUrl target = kGuideUrl;
    target.setFragment(anchor.toString());
    if (target == m_text->source())
        m_text->scrollToAnchor(target.fragment());
    else
        m_text->setSource(target);
}

bool GuideWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parent() && event->type() == QEvent::Close)
        close();
    return QWidget::eventFilter(watched, event);
}

void GuideWindow::fillContents()
{
    // Each heading goes under the nearest heading above it of a higher rank.
    QList<std::pair<int, QTreeWidgetItem *>> open;
    for (const Heading &heading : anchorHeadings(*m_text->document())) {
        while (!open.isEmpty() && open.last().first >= heading.level)
            open.removeLast();
        auto *item = open.isEmpty() ? new QTreeWidgetItem(m_contents)
                                    : new QTreeWidgetItem(open.last().second);
        item->setText(0, heading.title);
        item->setData(0, kAnchorRole, heading.anchor);
        open.append({ heading.level, item });
    }
    m_contents->expandAll();
}

void GuideWindow::followLink(const QUrl &link)
{
    const QUrl target = m_text->source().resolved(link);
    if (target.adjusted(QUrl::RemoveFragment) == kGuideUrl) {
        showSection(target.fragment());
        return;
    }
    static const QStringList kOutside { u"http"_qs, u"https"_qs, u"mailto"_qs };
    if (kOutside.contains(target.scheme()))
        QDesktopServices::openUrl(target);
}

void GuideWindow::markContents(const QUrl &source)
{
    const QString anchor = source.fragment();
    for (QTreeWidgetItemIterator it(m_contents); *it; ++it) {
        if ((*it)->data(0, kAnchorRole).toString() == anchor) {
            m_contents->setCurrentItem(*it);
            return;
        }
    }
    m_contents->setCurrentItem(nullptr);
}

void GuideWindow::find(bool forward)
{
    const QString text = m_findBar->text();
    if (text.isEmpty()) {
        m_findBar->open();
        return;
    }
    const QTextDocument::FindFlags flags =
        forward ? QTextDocument::FindFlags() : QTextDocument::FindBackward;
    const QTextCursor before = m_text->textCursor();
    bool found = m_text->find(text, flags);
    if (!found) {
        // From the other end of the guide, once round.
        QTextCursor start = before;
        start.movePosition(forward ? QTextCursor::Start : QTextCursor::End);
        m_text->setTextCursor(start);
        found = m_text->find(text, flags);
        if (!found)
            m_text->setTextCursor(before);
    }
    m_findBar->showNotFound(!found);
}
