#include "window/guide_window.h"

#include "key_script.h"
#include "url_recorder.h"
#include "window/batch_window.h"
#include "window/find_child.h"
#include "window/frm_whois.h"

#include <QAbstractTextDocumentLayout>
#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTreeWidget>

namespace {

const QUrl kGuideUrl(u"qrc:/guide/ja.md"_qs);

// The links, images and anchors of the rendered guide.
struct Rendered {
    QList<QUrl> links;
    QStringList images;
    QStringList anchors;
};

Rendered render(const QTextDocument &document)
{
    Rendered found;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat())
                found.images << format.toImageFormat().name();
            if (!format.anchorHref().isEmpty())
                found.links << QUrl(format.anchorHref());
            found.anchors << format.anchorNames();
        }
    }
    return found;
}

// The first heading block with the anchor.
QTextBlock headingBlock(const QTextDocument &document, const QString &anchor)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() > 0
            && block.begin().fragment().charFormat().anchorNames().contains(anchor))
            return block;
    }
    return {};
}

// Whether the guide shows the heading of the anchor at its top, or as near
// the top as the end of the guide allows, and marks it in the contents.
bool showsSection(GuideWindow *guide, const QString &anchor)
{
    auto *text = FindChild<QTextBrowser>(guide, u"guideText"_qs);
    const QTextBlock heading = headingBlock(*text->document(), anchor);
    if (!heading.isValid() || text->source().fragment() != anchor)
        return false;
    const int top =
        qRound(text->document()->documentLayout()->blockBoundingRect(heading).top());
    const QScrollBar *bar = text->verticalScrollBar();
    const bool atTop = qAbs(bar->value() - top) <= 2 || bar->value() == bar->maximum();
    const QTreeWidgetItem *marked =
        FindChild<QTreeWidget>(guide, u"guideContents"_qs)->currentItem();
    return atTop && marked && marked->data(0, Qt::UserRole).toString() == anchor;
}

} // namespace

class TestGuideWindow : public QObject {
    Q_OBJECT

private slots:
    void f1OpensTheSectionOfTheFocusedControl_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("anchor");
        QTest::newRow("key field") << QString() << kGuideKeysAnchor.toString();
        QTest::newRow("server field") << u"{Alt+S}"_qs << kGuideServersAnchor.toString();
        QTest::newRow("result view") << u"{Tab} {Tab} {Tab} {Tab} {Tab}"_qs << QString();
    }

    void f1OpensTheSectionOfTheFocusedControl()
    {
        QFETCH(QString, keys);
        QFETCH(QString, anchor);
        QTemporaryDir dir;
        frmWhois window({}, dir.path());
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        PressKeys(&window, keys + u" {F1}"_qs);
        auto *guide = FindChild<GuideWindow>(&window, u"guideWindow"_qs);
        QVERIFY(QTest::qWaitForWindowActive(guide));
        if (anchor.isEmpty())
            QCOMPARE(FindChild<QTextBrowser>(guide, u"guideText"_qs)->source(), kGuideUrl);
        else
            QTRY_VERIFY(showsSection(guide, anchor));
    }

    // F1 in the batch window opens the batch section, whichever of its
    // controls has the focus.
    void f1InTheBatchWindowOpensTheBatchSection()
    {
        QTemporaryDir dir;
        frmWhois window({}, dir.path());
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        PressKeys(&window, u"{Ctrl+L}"_qs);
        auto *batch = FindChild<BatchWindow>(&window, u"BatchWindow"_qs);
        // The offscreen platform may give the main window the activation
        // back after the shortcut; a desktop leaves the new window active.
        batch->activateWindow();
        QTRY_VERIFY(batch->isActiveWindow() && batch->isAncestorOf(QApplication::focusWidget()));
        PressKeys(batch, u"{Alt+S} {F1}"_qs);
        auto *guide = FindChild<GuideWindow>(batch, u"guideWindow"_qs);
        QVERIFY(QTest::qWaitForWindowActive(guide));
        QTRY_VERIFY(showsSection(guide, kGuideBatchAnchor.toString()));
    }

    // Every link inside the guide names a heading; every other link goes to
    // the web or a mailer; every image is built in.
    void linksAndImagesResolve()
    {
        QWidget owner;
        QTemporaryDir dir;
        GuideWindow guide(dir.path(), &owner);
        const Rendered rendered = render(*FindChild<QTextBrowser>(&guide, u"guideText"_qs)->document());
        QVERIFY(rendered.links.size() > 10);
        QVERIFY(!rendered.images.isEmpty());
        for (const QUrl &link : rendered.links) {
            const QUrl target = kGuideUrl.resolved(link);
            if (target.adjusted(QUrl::RemoveFragment) == kGuideUrl)
                QVERIFY2(rendered.anchors.contains(target.fragment()), qPrintable(link.toString()));
            else
                QVERIFY2(QStringList({ u"https"_qs, u"http"_qs, u"mailto"_qs }).contains(target.scheme()),
                    qPrintable(link.toString()));
        }
        for (const QString &image : rendered.images) {
            const QString path = u':' + kGuideUrl.resolved(QUrl(image)).path();
            QVERIFY2(QFile::exists(path), qPrintable(image));
        }
        for (const QStringView anchor : { kGuideKeysAnchor, kGuideServersAnchor })
            QVERIFY(rendered.anchors.contains(anchor.toString()));
    }

    // Clicked links: inside the guide followed there, with Back and Forward;
    // to the web handed to the desktop.
    void clickedLinks()
    {
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler(u"https"_qs, &recorder, "open");
        const auto unset = qScopeGuard([] { QDesktopServices::unsetUrlHandler(u"https"_qs); });
        QWidget owner;
        QTemporaryDir dir;
        GuideWindow *guide = GuideWindow::open(&owner, dir.path());
        QVERIFY(QTest::qWaitForWindowActive(guide));
        auto *text = FindChild<QTextBrowser>(guide, u"guideText"_qs);
        const auto click = [text](const QString &href) {
            for (QTextBlock block = text->document()->begin(); block.isValid(); block = block.next()) {
                for (auto it = block.begin(); !it.atEnd(); ++it) {
                    if (it.fragment().charFormat().anchorHref() != href)
                        continue;
                    QTextCursor cursor(text->document());
                    cursor.setPosition(it.fragment().position() + 1);
                    text->setTextCursor(cursor);
                    text->ensureCursorVisible();
                    QTest::mouseClick(text->viewport(), Qt::LeftButton, {},
                        text->cursorRect(cursor).center() - QPoint(2, 0));
                    return;
                }
            }
            qFatal("no link %s", qPrintable(href));
        };

        const QString servers = u'#' + kGuideServersAnchor.toString();
        click(servers);
        QTRY_VERIFY(showsSection(guide, kGuideServersAnchor.toString()));
        PressKeys(guide, u"{Alt+Left}"_qs);
        QTRY_COMPARE(text->source(), kGuideUrl);
        PressKeys(guide, u"{Alt+Right}"_qs);
        QTRY_COMPARE(text->source().fragment(), kGuideServersAnchor.toString());

        click(u"https://domquire.example.jp/"_qs);
        QCOMPARE(recorder.opened, QList<QUrl> { QUrl(u"https://domquire.example.jp/"_qs) });
        QCOMPARE(text->source().fragment(), kGuideServersAnchor.toString());

        // A heading of the contents leads to its section.
        auto *contents = FindChild<QTreeWidget>(guide, u"guideContents"_qs);
        const QList<QTreeWidgetItem *> keys =
            contents->findItems(u"キーの書き方"_qs, Qt::MatchExactly | Qt::MatchRecursive);
        QCOMPARE(keys.size(), 1);
        contents->scrollToItem(keys.first());
        QTest::mouseClick(contents->viewport(), Qt::LeftButton, {},
            contents->visualItemRect(keys.first()).center());
        QTRY_VERIFY(showsSection(guide, kGuideKeysAnchor.toString()));
    }

    void findInTheGuide()
    {
        QWidget owner;
        QTemporaryDir dir;
        GuideWindow *guide = GuideWindow::open(&owner, dir.path());
        QVERIFY(QTest::qWaitForWindowActive(guide));
        auto *text = FindChild<QTextBrowser>(guide, u"guideText"_qs);
        const QString plain = text->document()->toPlainText();
        const qsizetype first = plain.indexOf(u"SERVERLIST.DAT"_qs, 0, Qt::CaseInsensitive);
        const qsizetype second = plain.indexOf(u"serverlist.dat"_qs, first + 1, Qt::CaseInsensitive);
        QVERIFY(first >= 0 && second > first);

        PressKeys(guide, u"{Ctrl+F} SERVERLIST.DAT {Return}"_qs);
        QCOMPARE(text->textCursor().selectionStart(), first);
        PressKeys(guide, u"{F3}"_qs);
        QCOMPARE(text->textCursor().selectionStart(), second);
        PressKeys(guide, u"{Shift+F3} {Shift+F3}"_qs);
        // Past the first match the search goes round to the last one.
        QCOMPARE(text->textCursor().selectionStart(),
            plain.lastIndexOf(u"serverlist.dat"_qs, -1, Qt::CaseInsensitive));

        auto *message = FindChild<QLabel>(guide, u"findMessage"_qs);
        QVERIFY(message->text().isEmpty());
        PressKeys(guide, u"{Ctrl+A} zzqqxx {Return}"_qs);
        QCOMPARE(message->text(), u"見つかりません"_qs);
        PressKeys(guide, u"{Esc}"_qs);
        QVERIFY(!FindChild<QWidget>(guide, u"findBar"_qs)->isVisible());
        QVERIFY(text->hasFocus());
    }

    // The guide keeps its own size in dq.ini and stores it when its owner
    // closes too.
    void sizeIsKept()
    {
        QTemporaryDir dir;
        QFile ini(dir.filePath(u"dq.ini"_qs));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Domquire]\r\nWID=8000\r\nGuideWidth=9000\r\nGuideHeight=6000\r\n");
        ini.close();
        QWidget owner;
        owner.show();
        GuideWindow *guide = GuideWindow::open(&owner, dir.path());
        QVERIFY(QTest::qWaitForWindowExposed(guide));
        const auto pixels = [guide](int twips) { return qRound(twips * guide->logicalDpiX() / 1440.0); };
        QCOMPARE(guide->frameGeometry().size(), QSize(pixels(9000), pixels(6000)));

        guide->resize(pixels(8000), pixels(5000));
        QTRY_COMPARE(guide->width(), pixels(8000));
        owner.close();
        QVERIFY(!guide->isVisible());
        const auto twips = [guide](int size) {
            return QByteArray::number(qRound(size * 1440.0 / guide->logicalDpiX()));
        };
        const QSize outer = guide->frameGeometry().size();
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QCOMPARE(ini.readAll(),
            "[Domquire]\r\nWID=8000\r\nGuideWidth=" + twips(outer.width()) + "\r\nGuideHeight="
                + twips(outer.height()) + "\r\n");
    }
};

QTEST_MAIN(TestGuideWindow)
#include "tst_guide_window.moc"
