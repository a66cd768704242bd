#include "window/frm_whois.h"

#include "support/whois_test_server.h"
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
#include <QScopeGuard>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

namespace {

const QString kLocalHost = u"127.0.0.1"_qs;

// Records the addresses that the desktop would open.
class UrlRecorder : public QObject {
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened << url; }
};

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

    QAction *toolButton(const QString &key) const
    {
        for (QAction *button : window.findChild<QToolBar *>(u"tlbMain"_qs)->actions()) {
            if (button->text() == key)
                return button;
        }
        qFatal("no tool button %s", qPrintable(key));
    }

    QString status() const
    {
        return window.findChild<QStatusBar *>(u"stbMain"_qs)->findChild<QLabel *>()->text();
    }

    // Opens the Edit menu as far as its items' states go.
    QList<bool> editMenuState() const
    {
        emit window.findChild<QMenu *>(u"mnuEdit"_qs)->aboutToShow();
        return { action(u"mnuCut"_qs)->isEnabled(), action(u"mnuCopy"_qs)->isEnabled(),
            action(u"mnuPaste"_qs)->isEnabled() };
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

    void pasteReplacesTheSelectionOrTheComboText()
    {
        Window w;
        setClipboard(u"xyz"_qs);
        w.combo->setEditText(u"abc"_qs);
        w.focus(w.combo);
        w.combo->lineEdit()->setSelection(1, 1);
        emit w.action(u"mnuPaste"_qs)->triggered();
        QCOMPARE(w.combo->currentText(), u"xyz"_qs);

        w.input->setText(u"abc"_qs);
        w.focus(w.input);
        w.input->setSelection(1, 1);
        w.toolButton(u"貼り付け"_qs)->trigger();
        QCOMPARE(w.input->text(), u"axyzc"_qs);
    }

    void cutTakesTheSelectionToTheClipboard()
    {
        Window w;
        w.input->setText(u"abc"_qs);
        w.focus(w.input);
        w.input->setSelection(1, 1);
        w.toolButton(u"切り取り"_qs)->trigger();
        QCOMPARE(w.input->text(), u"ac"_qs);
        QCOMPARE(clipboard(), u"b"_qs);

        w.combo->setEditText(u"whois.example"_qs);
        w.focus(w.combo);
        w.combo->lineEdit()->setSelection(0, 6);
        emit w.action(u"mnuCut"_qs)->triggered();
        QCOMPARE(w.combo->currentText(), u"example"_qs);
        QCOMPARE(clipboard(), u"whois."_qs);
    }

    void copyFromTheResultViewIsPlainText()
    {
        Window w;
        w.showResult(u"Domain: example.jp\r\nStatus: Active\r\n"_qs);
        w.focus(w.result);
        for (int step = 0; step < 8; ++step)
            QTest::keyClick(w.result, Qt::Key_Right);
        // The line end is one step, and it is copied as it came.
        for (int step = 0; step < 15; ++step)
            QTest::keyClick(w.result, Qt::Key_Right, Qt::ShiftModifier);
        w.toolButton(u"コピー"_qs)->trigger();
        QCOMPARE(clipboard(), u"example.jp\r\nStat"_qs);
        QVERIFY(!QApplication::clipboard()->mimeData()->hasHtml());
    }

    void cutInTheResultViewChangesNothing()
    {
        Window w;
        w.showResult(u"answer"_qs);
        setClipboard(u"before"_qs);
        w.focus(w.result);
        w.result->selectAll();
        w.toolButton(u"切り取り"_qs)->trigger();
        QCOMPARE(w.result->text(), u"answer"_qs);
        QCOMPARE(clipboard(), u"before"_qs);
    }

    void selectAll()
    {
        Window w;
        emit w.action(u"mnuAll"_qs)->triggered();
        QVERIFY(!w.result->hasSelection());

        w.showResult(u"answer\ntext"_qs);
        w.focus(w.input);
        emit w.action(u"mnuAll"_qs)->triggered();
        QCOMPARE(w.result->selectedText(), u"answer\ntext"_qs);
        QVERIFY(w.input->hasFocus());
    }

    void toolbarDispatch()
    {
        Window w;
        w.toolButton(u"戻る"_qs)->trigger();
        QCOMPARE(w.status(), u"戻れません。"_qs);
        w.toolButton(u"進む"_qs)->trigger();
        QCOMPARE(w.status(), u"進めません。"_qs);
        // Abort while idle leaves the status as it is.
        w.toolButton(u"中止"_qs)->trigger();
        QCOMPARE(w.status(), u"進めません。"_qs);

        // A button with any other key does nothing.
        w.input->setText(u"abc"_qs);
        w.focus(w.input);
        setClipboard(u"xyz"_qs);
        QAction *unknown =
            w.window.findChild<QToolBar *>(u"tlbMain"_qs)->addAction(u"貼り付け "_qs);
        unknown->trigger();
        QCOMPARE(w.input->text(), u"abc"_qs);
        QCOMPARE(w.status(), u"進めません。"_qs);
    }

    void abortDuringAQuery()
    {
        Window w;
        w.server.staySilent();
        w.input->setText(u"example.jp"_qs);
        w.combo->setEditText(kLocalHost);
        QTest::keyClick(w.input, Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(w.status(), u"送信完了"_qs, 10000);
        QVERIFY(!w.input->isEnabled());
        w.toolButton(u"中止"_qs)->trigger();
        QCOMPARE(w.status(), u"接続を終了しました。"_qs);
        QVERIFY(w.input->isEnabled());
    }

    void help()
    {
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler(u"file"_qs, &recorder, "open");
        const auto unset = qScopeGuard([] { QDesktopServices::unsetUrlHandler(u"file"_qs); });
        Window w;
        emit w.action(u"mnuHelp2"_qs)->triggered();
        QCOMPARE(w.warnings, QStringList { u"ヘルプファイルが見つかりません｡"_qs });
        QVERIFY(recorder.opened.isEmpty());

        // A folder of that name is no help file either.
        QVERIFY(QDir(w.dir.path()).mkdir(u"DOMQUIRE.HLP"_qs));
        emit w.action(u"mnuHelp2"_qs)->triggered();
        QCOMPARE(w.warnings.size(), 2);
        QVERIFY(QDir(w.dir.path()).rmdir(u"DOMQUIRE.HLP"_qs));

        QFile help(w.dir.filePath(u"DOMQUIRE.HLP"_qs));
        QVERIFY(help.open(QIODevice::WriteOnly));
        help.close();
        emit w.action(u"mnuHelp2"_qs)->triggered();
        QCOMPARE(w.warnings.size(), 2);
        QCOMPARE(recorder.opened, QList<QUrl> { QUrl::fromLocalFile(help.fileName()) });
    }

    void webSiteAndVersionDialog()
    {
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler(u"https"_qs, &recorder, "open");
        const auto unset = qScopeGuard([] { QDesktopServices::unsetUrlHandler(u"https"_qs); });
        Window w;
        emit w.action(u"mnuWebsite"_qs)->triggered();
        QCOMPARE(recorder.opened, QList<QUrl> { QUrl(kWebSiteUrl.toString()) });

        for (int opening = 0; opening < 2; ++opening) {
            QString caption;
            QTimer::singleShot(0, [&caption] {
                QWidget *dialog = QApplication::activeModalWidget();
                if (!dialog)
                    return;
                caption = dialog->windowTitle();
                dialog->close();
            });
            emit w.action(u"mnuAbout"_qs)->triggered();
            QCOMPARE(caption, u"バージョン情報 - Domquire"_qs);
        }
    }
};

QTEST_MAIN(TestEditCommands)
#include "tst_edit_commands.moc"
