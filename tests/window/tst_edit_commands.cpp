#include "window/frm_whois.h"

#include "key_script.h"
#include "url_recorder.h"
#include "support/whois_test_server.h"
#include "window/guide_window.h"
#include "window/result_view.h"
#include "window/web_site.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

namespace {

const QString kLocalHost = u"127.0.0.1"_qs;

// A shown, active main window with its focus-taking controls at hand.
struct Window {
    QTemporaryDir dir;
    WhoisTestServer server;
    QStringList warnings;
    frmWhois window { WhoisRoute { server.port(), kLocalHost }, dir.path() };
    QLineEdit *input = window.findChild<QLineEdit *>(u"txtInput"_qs);
    QComboBox *combo = window.findChild<QComboBox *>(u"cboServer"_qs);
    ResultView *result = window.findChild<ResultView *>(u"rtbResult"_qs);

    Window()
    {
        window.setWarningPresenter([this](const QString &text) { warnings << text; });
        window.show();
        if (!QTest::qWaitForWindowActive(&window))
            qFatal("the main window did not become active");
    }

    QAction *action(const QString &name) const { return window.findChild<QAction *>(name); }

    void keys(const QString &script) { PressKeys(&window, script); }

    // Clicks the toolbar button with the key, as the mouse does.
    void clickToolButton(const QString &key) const
    {
        auto *toolBar = window.findChild<QToolBar *>(u"tlbMain"_qs);
        for (QAction *button : toolBar->actions()) {
            if (button->text() == key) {
                QTest::mouseClick(toolBar->widgetForAction(button), Qt::LeftButton);
                return;
            }
        }
        qFatal("no tool button %s", qPrintable(key));
    }

    QString status() const
    {
        return window.findChild<QStatusBar *>(u"stbMain"_qs)->findChild<QLabel *>()->text();
    }

    // Opens the Edit menu from the keyboard, reads its items' states and
    // closes it again.
    QList<bool> editMenuState()
    {
        keys(u"{Alt+E}"_qs);
        if (!window.findChild<QMenu *>(u"mnuEdit"_qs)->isVisible())
            qFatal("the Edit menu did not open");
        const QList<bool> state { action(u"mnuCut"_qs)->isEnabled(),
            action(u"mnuCopy"_qs)->isEnabled(), action(u"mnuPaste"_qs)->isEnabled() };
        keys(u"{Esc} {Esc}"_qs);
        return state;
    }

    void focus(QWidget *control) const
    {
        control->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(control->hasFocus());
    }

    void showResult(const QString &text)
    {
        server.answerWith({ text.toUtf8() });
        input->setText(u"x"_qs);
        combo->setEditText(kLocalHost);
        QTest::keyClick(input, Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(result->text(), text, 10000);
        // The text may come before the server closes; the end of the query
        // enables the inputs and moves the focus, so wait for it.
        QTRY_VERIFY_WITH_TIMEOUT(window.findChild<QPushButton *>(u"cmdOK"_qs)->isEnabled(), 10000);
    }
};

void setClipboard(const QString &text)
{
    QApplication::clipboard()->setText(text);
}

QString clipboard()
{
    return QApplication::clipboard()->text();
}

} // namespace

class TestEditCommands : public QObject {
    Q_OBJECT

private slots:
    // Cut, Copy and Paste in the Edit menu over focus, selection and clipboard.
    void editMenuState_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<bool>("selection");
        QTest::addColumn<QString>("clipboardText");
        QTest::addColumn<QList<bool>>("expected"); // cut, copy, paste

        using L = QList<bool>;
        QTest::newRow("key box, selection, clipboard")
            << u"txtInput"_qs << true << u"t"_qs << L { true, true, true };
        QTest::newRow("key box, no selection")
            << u"txtInput"_qs << false << u"t"_qs << L { false, false, true };
        QTest::newRow("key box, empty clipboard")
            << u"txtInput"_qs << true << QString() << L { true, true, false };
        QTest::newRow("combo, selection, clipboard")
            << u"cboServer"_qs << true << u"t"_qs << L { true, true, true };
        QTest::newRow("combo, no selection")
            << u"cboServer"_qs << false << QString() << L { false, false, false };
        QTest::newRow("result, selection")
            << u"rtbResult"_qs << true << u"t"_qs << L { false, true, false };
        QTest::newRow("result, no selection")
            << u"rtbResult"_qs << false << u"t"_qs << L { false, false, false };
        QTest::newRow("Whois button")
            << u"cmdOK"_qs << true << u"t"_qs << L { false, false, false };
    }

    void editMenuState()
    {
        QFETCH(QString, focus);
        QFETCH(bool, selection);
        QFETCH(QString, clipboardText);
        QFETCH(QList<bool>, expected);

        Window w;
        w.showResult(u"line one\nline two"_qs);
        w.input->setText(u"abc"_qs);
        w.combo->setEditText(u"abc"_qs);
        // Every control holds a selection except the focused one when the row says none.
        w.input->setSelection(1, 1);
        w.combo->lineEdit()->setSelection(1, 1);
        w.result->selectAll();

        QWidget *target = w.window.findChild<QWidget *>(focus);
        w.focus(target);
        if (!selection) {
            w.input->deselect();
            w.combo->lineEdit()->deselect();
            QTest::keyClick(w.result, Qt::Key_Right);
        } else if (target == w.input) {
            w.input->setSelection(1, 1); // focus selected the whole text
        }
        setClipboard(clipboardText);
        QCOMPARE(w.editMenuState(), expected);
    }

    void tabbingIntoTheKeyBoxSelectsItsText()
    {
        Window w;
        w.input->setText(u"example.jp"_qs);
        w.focus(w.combo);
        w.focus(w.input);
        QCOMPARE(w.input->selectedText(), u"example.jp"_qs);
    }

    // Keys typed into the window, the menus opened from the keyboard, and
    // what the fields and the clipboard hold afterwards.
    void keysOnTheFields_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("clipboardBefore");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("clipboardAfter");

        const QString auto_ = u"---自動選択---"_qs;
        const QString selectB = u"abc {Home} {Right} {Shift+Right}"_qs;
        const auto key = [&](const char *name, const QString &script, const QString &after,
                             const QString &clip) {
            QTest::newRow(name) << u"{Alt+K} "_qs + selectB + u' ' + script << u"xyz"_qs << after
                                << auto_ << clip;
        };
        key("key: paste", u"{Alt+E} p"_qs, u"axyzc"_qs, u"xyz"_qs);
        key("key: cut", u"{Alt+E} t"_qs, u"ac"_qs, u"b"_qs);
        key("key: copy", u"{Alt+E} c"_qs, u"abc"_qs, u"b"_qs);
        key("key: Esc out of the menu", u"{Alt+E} {Esc} {Esc} Q"_qs, u"aQc"_qs, u"xyz"_qs);
        key("key: menu bar and back", u"{Alt+F} {Right} {Esc} {Esc} Q"_qs, u"aQc"_qs, u"xyz"_qs);
        QTest::newRow("key: caret kept at the selection's start")
            << u"{Alt+K} abc {End} {Shift+Left} {Alt+E} {Esc} {Esc} {Shift+Left} Q"_qs << u"xyz"_qs
            << u"aQ"_qs << auto_ << u"xyz"_qs;
        QTest::newRow("key: Clear acts at once")
            << u"{Alt+K} old.example {Alt+C} typedahead"_qs << u"xyz"_qs << u"typedahead"_qs
            << auto_ << u"xyz"_qs;

        const auto server = [&](const char *name, const QString &script, const QString &after,
                                const QString &clip) {
            QTest::newRow(name) << u"{Alt+S} "_qs + selectB + u' ' + script << u"xyz"_qs
                                << QString() << after << clip;
        };
        server("server: paste replaces all", u"{Alt+E} p"_qs, u"xyz"_qs, u"xyz"_qs);
        server("server: cut", u"{Alt+E} t"_qs, u"ac"_qs, u"b"_qs);
        server("server: copy", u"{Alt+E} c"_qs, u"abc"_qs, u"b"_qs);

        const auto typed = [&](const char *name, const QString &text) {
            QTest::newRow(name) << u"{Alt+S} "_qs + text + u" {Return}"_qs << u"xyz"_qs << QString()
                                << text << u"xyz"_qs;
        };
        typed("server: a list entry's name", u"ripe"_qs);
        typed("server: a list entry's name in capitals", u"JPNIC"_qs);
        typed("server: an entry in the wrong case", u"ripe[whois.ripe.net]"_qs);
    }

    void keysOnTheFields()
    {
        QFETCH(QString, script);
        QFETCH(QString, clipboardBefore);
        QFETCH(QString, key);
        QFETCH(QString, server);
        QFETCH(QString, clipboardAfter);

        Window w;
        setClipboard(clipboardBefore);
        w.keys(script);
        QCOMPARE(w.input->text(), key);
        QCOMPARE(w.combo->currentText(), server);
        QCOMPARE(clipboard(), clipboardAfter);
    }

    void toolbarPasteAndCutByMouse()
    {
        Window w;
        setClipboard(u"xyz"_qs);
        w.keys(u"{Alt+K} abc {Home} {Right} {Shift+Right}"_qs);
        w.clickToolButton(u"貼り付け"_qs);
        QCOMPARE(w.input->text(), u"axyzc"_qs);
        w.keys(u"{Shift+Left}"_qs);
        w.clickToolButton(u"切り取り"_qs);
        QCOMPARE(w.input->text(), u"axyc"_qs);
        QCOMPARE(clipboard(), u"z"_qs);
    }

    // In the result view the toolbar's Cut changes nothing and its Copy
    // takes the selection as plain text.
    void toolbarCutAndCopyInTheResultView()
    {
        Window w;
        w.showResult(u"Domain: example.jp\r\nStatus: Active\r\n"_qs);
        setClipboard(u"before"_qs);
        w.focus(w.result);
        w.result->selectAll();
        w.clickToolButton(u"切り取り"_qs);
        QCOMPARE(w.result->text(), u"Domain: example.jp\r\nStatus: Active\r\n"_qs);
        QCOMPARE(clipboard(), u"before"_qs);
        w.clickToolButton(u"コピー"_qs);
        QCOMPARE(clipboard(), u"Domain: example.jp\r\nStatus: Active\r\n"_qs);
        QVERIFY(!QApplication::clipboard()->mimeData()->hasHtml());
    }

    void selectAll()
    {
        Window w;
        w.keys(u"{Alt+E} a"_qs);
        QVERIFY(!w.result->hasSelection());

        w.showResult(u"answer\ntext"_qs);
        w.focus(w.input);
        w.keys(u"{Alt+E} a"_qs);
        QCOMPARE(w.result->selectedText(), u"answer\ntext"_qs);
        QVERIFY(w.input->hasFocus());
    }

    void toolbarDispatch()
    {
        Window w;
        w.clickToolButton(u"戻る"_qs);
        QCOMPARE(w.status(), u"戻れません。"_qs);
        w.clickToolButton(u"進む"_qs);
        QCOMPARE(w.status(), u"進めません。"_qs);
        // Abort while idle leaves the status as it is.
        w.clickToolButton(u"中止"_qs);
        QCOMPARE(w.status(), u"進めません。"_qs);

        // A button with any other key does nothing.
        w.input->setText(u"abc"_qs);
        w.focus(w.input);
        setClipboard(u"xyz"_qs);
        w.window.findChild<QToolBar *>(u"tlbMain"_qs)->addAction(u"貼り付け "_qs);
        w.clickToolButton(u"貼り付け "_qs);
        QCOMPARE(w.input->text(), u"abc"_qs);
        QCOMPARE(w.status(), u"進めません。"_qs);
    }

    void help()
    {
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler(u"file"_qs, &recorder, "open");
        const auto unset = qScopeGuard([] { QDesktopServices::unsetUrlHandler(u"file"_qs); });
        Window w;
        // Without a help file beside the program the built-in guide opens.
        const auto guideOpened = [&w] {
            auto *guide = w.window.findChild<GuideWindow *>(u"guideWindow"_qs);
            const bool opened = guide && guide->isVisible();
            if (guide)
                guide->close();
            return opened;
        };
        w.keys(u"{Alt+H} h"_qs);
        QVERIFY(guideOpened());

        // A folder of that name is no help file either.
        QVERIFY(QDir(w.dir.path()).mkdir(u"DOMQUIRE.HLP"_qs));
        w.keys(u"{Alt+H} h"_qs);
        QVERIFY(guideOpened());
        QVERIFY(QDir(w.dir.path()).rmdir(u"DOMQUIRE.HLP"_qs));
        QVERIFY(recorder.opened.isEmpty());

        QFile help(w.dir.filePath(u"DOMQUIRE.HLP"_qs));
        QVERIFY(help.open(QIODevice::WriteOnly));
        help.close();
        w.keys(u"{Alt+H} h"_qs);
        QVERIFY(!guideOpened());
        QCOMPARE(recorder.opened, QList<QUrl> { QUrl::fromLocalFile(help.fileName()) });
        QVERIFY(w.warnings.isEmpty());
    }

    void webSiteAndVersionDialog()
    {
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler(u"https"_qs, &recorder, "open");
        const auto unset = qScopeGuard([] { QDesktopServices::unsetUrlHandler(u"https"_qs); });
        Window w;
        w.keys(u"{Alt+H} w"_qs);
        QCOMPARE(recorder.opened, QList<QUrl> { QUrl(kWebSiteUrl.toString()) });

        for (int opening = 0; opening < 2; ++opening) {
            QString caption;
            QTimer poll;
            QObject::connect(&poll, &QTimer::timeout, [&] {
                if (QWidget *dialog = QApplication::activeModalWidget()) {
                    poll.stop();
                    caption = dialog->windowTitle();
                    dialog->close();
                }
            });
            poll.start(10);
            w.keys(u"{Alt+H} a"_qs);
            QCOMPARE(caption, u"バージョン情報 - Domquire"_qs);
            // The offscreen platform leaves activating the window again to
            // the test, as a window manager would do it.
            w.window.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&w.window));
        }
    }
};

QTEST_MAIN(TestEditCommands)
#include "tst_edit_commands.moc"
