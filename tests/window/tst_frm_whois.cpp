#include "window/frm_whois.h"

#include "key_script.h"
#include "support/whois_test_server.h"
#include "window/find_child.h"
#include "window/layout_rule.h"
#include "window/result_view.h"
#include "window/twips.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <algorithm>

namespace {

constexpr int kTimeout = 10000;
const QString kLocalHost = u"127.0.0.1"_qs;

// A main window whose queries all go to a test server, with its settings in
// a folder of its own and its warnings collected instead of shown.
struct Window {
    QTemporaryDir dir;
    WhoisTestServer server;
    QStringList warnings;
    std::unique_ptr<frmWhois> window;

    explicit Window(const QByteArray &settings = {})
    {
        if (!settings.isNull()) {
            QFile ini(dir.filePath(u"dq.ini"_qs));
            if (ini.open(QIODevice::WriteOnly))
                ini.write(settings);
        }
        window = std::make_unique<frmWhois>(WhoisRoute { server.port(), kLocalHost }, dir.path());
        window->setWarningPresenter([this](const QString &text) { warnings << text; });
    }

    template<typename T> T *find(const QString &name) const
    {
        return FindChild<T>(window.get(), name);
    }

    QAction *toolButton(const QString &key) const
    {
        for (QAction *action : find<QToolBar>(u"tlbMain"_qs)->actions()) {
            if (action->text() == key)
                return action;
        }
        qFatal("no tool button %s", qPrintable(key));
    }

    QString status() const
    {
        return find<QStatusBar>(u"stbMain"_qs)->findChild<QLabel *>()->text();
    }
    QString pane() const { return find<ResultView>(u"rtbResult"_qs)->text(); }
    QString label() const { return find<QLineEdit>(u"txtLabel"_qs)->text(); }

    // Types the key and the server into the widgets and clicks Whois.
    void query(const QString &key, const QString &serverText)
    {
        auto *input = find<QLineEdit>(u"txtInput"_qs);
        input->clear();
        QTest::keyClicks(input, key);
        find<QComboBox>(u"cboServer"_qs)->setEditText(serverText);
        QTest::mouseClick(find<QPushButton>(u"cmdOK"_qs), Qt::LeftButton);
    }

    void waitIdle() const
    {
        QTRY_VERIFY_WITH_TIMEOUT(find<QPushButton>(u"cmdOK"_qs)->isEnabled(), kTimeout);
    }

    // The query inputs that a running query disables, in the order they are
    // disabled, as enabled states.
    QList<bool> queryInputsEnabled() const
    {
        return { find<QLineEdit>(u"txtInput"_qs)->isEnabled(),
            find<QComboBox>(u"cboServer"_qs)->isEnabled(),
            find<QPushButton>(u"cmdOK"_qs)->isEnabled(),
            find<QPushButton>(u"cmdClear"_qs)->isEnabled(), toolButton(u"戻る"_qs)->isEnabled(),
            toolButton(u"進む"_qs)->isEnabled(), find<QAction>(u"mnuBack"_qs)->isEnabled(),
            find<QAction>(u"mnuForward"_qs)->isEnabled() };
    }

    int pixels(float twips) const { return Twips::toPixels(twips, window->logicalDpiX()); }

    void showActive() const
    {
        window->show();
        if (!QTest::qWaitForWindowActive(window.get()))
            qFatal("the main window did not become active");
    }

    void keys(const QString &script) const { PressKeys(window.get(), script); }
    bool busy() const { return !find<QPushButton>(u"cmdOK"_qs)->isEnabled(); }
    QString focusName() const
    {
        const QWidget *focused = window->focusWidget();
        return focused ? focused->objectName() : QString();
    }
};

const QList<bool> kAllEnabled(8, true);
const QList<bool> kAllDisabled(8, false);

} // namespace

class TestFrmWhois : public QObject {
    Q_OBJECT

private slots:
    void controlsAtStart()
    {
        Window w;
        QCOMPARE(w.find<QLineEdit>(u"txtInput"_qs)->maxLength(), 256);
        QVERIFY(w.find<QLineEdit>(u"txtLabel"_qs)->isReadOnly());
        QCOMPARE(w.status(), QString());
        QCOMPARE(w.pane(), QString());

        auto *combo = w.find<QComboBox>(u"cboServer"_qs);
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        QCOMPARE(items,
            (QStringList { u"---自動選択---"_qs, u"---RDAP---"_qs, u"JPNIC[whois.nic.ad.jp]"_qs,
                u"InterNic[whois.internic.net]"_qs, u"APNIC[whois.apnic.net]"_qs,
                u"VeriSign[whois.verisign-grs.com]"_qs, u"RIPE[whois.ripe.net]"_qs,
                u"ARIN[whois.arin.net]"_qs }));
        QCOMPARE(combo->currentIndex(), 0);
        QCOMPARE(w.queryInputsEnabled(), kAllEnabled);
    }

    void layoutFollowsTheClientArea()
    {
        Window w;
        w.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
        auto *client = w.window->centralWidget();
        const int clientWidth = client->width();
        const float widthTwips = Twips::fromPixels(clientWidth, w.window->logicalDpiX());

        // The rule's arithmetic is tested on its own; here the widgets take its sizes.
        const LayoutSizes rule = applyLayoutRule(LayoutSizes(), widthTwips, 0);
        const QRect input = w.find<QLineEdit>(u"txtInput"_qs)->geometry();
        QCOMPARE(input.left(), w.pixels(kKeyEditLeft));
        QCOMPARE(input.width(), w.pixels(rule.keyEditWidth));
        QCOMPARE(w.find<QComboBox>(u"cboServer"_qs)->width(), w.pixels(rule.serverComboWidth));
        QCOMPARE(w.find<QPushButton>(u"cmdOK"_qs)->x(), w.pixels(rule.buttonsLeft));
        QCOMPARE(w.find<QPushButton>(u"cmdClear"_qs)->x(), w.pixels(rule.buttonsLeft));
        QCOMPARE(w.find<QLineEdit>(u"txtLabel"_qs)->width(), w.pixels(rule.resultLabelWidth));
        const QRect result = w.find<ResultView>(u"rtbResult"_qs)->geometry();
        QCOMPARE(result.width(), w.pixels(rule.resultViewWidth));
        // The result view ends just clear of the status bar.
        QVERIFY(result.bottom() < client->height());
        QVERIFY(result.bottom() >= client->height() - 4);

        // A window too narrow for the boxes keeps their last width.
        w.window->resize(w.pixels(2000), w.window->height());
        QTRY_COMPARE(w.find<QLineEdit>(u"txtInput"_qs)->width(), input.width());
    }

    void sizeFromSettings_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("no settings file") << QByteArray() << 9000 << 7000;
        QTest::newRow("stored size")
            << QByteArray("[Domquire]\r\nWID=9015\r\nHET=6000\r\n") << 9015 << 6000;
        QTest::newRow("too small to use")
            << QByteArray("[Domquire]\nWID=15\nHET=0.6\n") << 3000 << 2400;
    }

    void sizeFromSettings()
    {
        QFETCH(QByteArray, settings);
        QFETCH(int, width);
        QFETCH(int, height);
        Window w(settings);
        QCOMPARE(w.window->frameGeometry().width(), w.pixels(static_cast<float>(width)));
        QCOMPARE(w.window->frameGeometry().height(), w.pixels(static_cast<float>(height)));
    }

    void sizeLargerThanTheScreenIsCut()
    {
        Window w("[Domquire]\nWID=999999\nHET=999999\n");
        const QSize available = w.window->screen()->availableSize();
        QVERIFY(w.window->width() <= available.width());
        QVERIFY(w.window->height() <= available.height());
        QVERIFY(w.window->width() >= available.width() - 1);
    }

    void closingStoresTheSize()
    {
        Window w;
        w.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
        w.window->resize(700, 500);
        QTRY_COMPARE(w.window->width(), 700);
        w.window->close();

        QFile ini(w.dir.filePath(u"dq.ini"_qs));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QByteArray text = ini.readAll();
        const auto twips = [&](int pixels) {
            return QByteArray::number(qRound(Twips::fromPixels(pixels, w.window->logicalDpiX())));
        };
        const QSize outer = w.window->frameGeometry().size();
        QVERIFY2(text.contains("WID=" + twips(outer.width())), text.constData());
        QVERIFY2(text.contains("HET=" + twips(outer.height())), text.constData());
    }

    void closingMaximisedKeepsTheStoredSize()
    {
        const QByteArray settings("[Domquire]\r\nWID=8000\r\nHET=6000\r\n");
        Window w(settings);
        w.window->showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
        w.window->close();
        QFile ini(w.dir.filePath(u"dq.ini"_qs));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QCOMPARE(ini.readAll(), settings);
    }

    void queryThroughTheWidgets()
    {
        Window w;
        w.server.staySilent();
        w.query(u"example.jp"_qs, kLocalHost);
        QTRY_COMPARE_WITH_TIMEOUT(w.status(), u"送信完了"_qs, kTimeout);
        QCOMPARE(w.queryInputsEnabled(), kAllDisabled);
        for (const QString &key : { u"中止"_qs, u"切り取り"_qs, u"コピー"_qs, u"貼り付け"_qs })
            QVERIFY2(w.toolButton(key)->isEnabled(), qPrintable(key));

        w.toolButton(u"中止"_qs)->trigger();
        QCOMPARE(w.status(), u"接続を終了しました。"_qs);
        QCOMPARE(w.queryInputsEnabled(), kAllEnabled);

        // An answer enables them again; its text is checked with the history.
        w.server.answerWith({ "answer" });
        w.query(u"example.jp"_qs, kLocalHost);
        w.waitIdle();
        QCOMPARE(w.status(), u"アイドル中"_qs);
        QCOMPARE(w.queryInputsEnabled(), kAllEnabled);
    }

    // Back and Forward walk the answers, each exactly as decoded however TCP
    // split it: line ends, no-break spaces and line separators stay.
    void historyWalk()
    {
        Window w;
        auto *forward = w.find<QAction>(u"mnuForward"_qs);
        w.server.answerWith({ "a\r", "\nb\r", "c\n", "\r", "d\xc2",
            "\xa0"
            "e\xe2\x80\xa8"
            "f" });
        w.query(u"one.jp"_qs, kLocalHost);
        w.waitIdle();
        const QString one = u"a\r\nb\rc\n\rd\u00a0e\u2028f"_qs;
        QCOMPARE(w.pane(), one);
        w.server.answerWith({ "answer two" });
        w.query(u"two.jp"_qs, kLocalHost);
        w.waitIdle();

        w.toolButton(u"戻る"_qs)->trigger();
        QCOMPARE(w.pane(), one);
        QCOMPARE(w.label(), u"\"one.jp\" From:127.0.0.1"_qs);
        QCOMPARE(w.status(), u"アイドル中"_qs);
        // Walking leaves the inputs as they are.
        QCOMPARE(w.find<QLineEdit>(u"txtInput"_qs)->text(), u"two.jp"_qs);

        w.toolButton(u"進む"_qs)->trigger();
        QCOMPARE(w.pane(), u"answer two"_qs);
        QCOMPARE(w.label(), u"\"two.jp\" From:127.0.0.1"_qs);
        forward->trigger();
        QCOMPARE(w.status(), u"進めません。"_qs);
        QCOMPARE(w.pane(), u"answer two"_qs);
    }

    void dropOnTheServerCombo()
    {
        Window w;
        auto *combo = w.find<QComboBox>(u"cboServer"_qs);
        const QPoint inside = combo->rect().center();

        QMimeData text;
        text.setText(u" whois.example.net\r\n"_qs);
        QDragEnterEvent enter(
            inside, Qt::CopyAction | Qt::MoveAction, &text, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(combo, &enter);
        QVERIFY(enter.isAccepted());
        QCOMPARE(enter.dropAction(), Qt::CopyAction);
        QDropEvent drop(inside, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(combo, &drop);
        QCOMPARE(combo->currentText(), u" whois.example.net\r\n"_qs);
        QCOMPARE(combo->count(), 8);

        QMimeData picture;
        picture.setData(u"image/png"_qs, QByteArray("\x89PNG"));
        QDragEnterEvent refused(inside, Qt::CopyAction, &picture, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(combo, &refused);
        QVERIFY(!refused.isAccepted());
        QDropEvent ignored(inside, Qt::CopyAction, &picture, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(combo, &ignored);
        QCOMPARE(combo->currentText(), u" whois.example.net\r\n"_qs);
    }

    // A registrar named in VeriSign's answer is asked with Ctrl+R; Back and
    // Forward show each hop with its own referral state.
    void referralFollowedWithTheKeyboard()
    {
        Window w;
        w.window->show();
        QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
        const QByteArray registry = "   Registrar WHOIS Server: whois.registrar.example\r\n";
        const QByteArray registrar = "Registrant Name: Example Person\r\n";
        w.server.answerInTurn({ registry, registrar });
        QAction *tool = w.toolButton(u"紹介先を照会"_qs);
        auto *menuItem = w.find<QAction>(u"mnuReferral"_qs);
        QVERIFY(!tool->isEnabled() && !menuItem->isEnabled());

        auto *input = w.find<QLineEdit>(u"txtInput"_qs);
        QTest::keyClicks(input, u"example.com"_qs);
        QTest::keyClick(input, Qt::Key_Return);
        w.waitIdle();
        const QString registryLabel = u"\"example.com\" From:自動選択[whois.verisign-grs.com]"
                                      u" → whois.registrar.example"_qs;
        QCOMPARE(w.label(), registryLabel);
        QVERIFY(tool->isEnabled() && menuItem->isEnabled());

        QTest::keyClick(w.window.get(), Qt::Key_R, Qt::ControlModifier);
        w.waitIdle();
        QCOMPARE(
            w.server.receivedRequests(), (QByteArrayList { "example.com\r\n", "example.com\r\n" }));
        QCOMPARE(w.pane(), QString::fromLatin1(registrar));
        QCOMPARE(w.label(), u"\"example.com\" From:whois.registrar.example"_qs);
        QVERIFY(!tool->isEnabled() && !menuItem->isEnabled());

        QTest::keyClick(w.window.get(), Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(w.pane(), QString::fromLatin1(registry));
        QCOMPARE(w.label(), registryLabel);
        QVERIFY(tool->isEnabled() && menuItem->isEnabled());
        QTest::keyClick(w.window.get(), Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(w.label(), u"\"example.com\" From:whois.registrar.example"_qs);
        QVERIFY(!tool->isEnabled() && !menuItem->isEnabled());
    }

    // Keys as people type and paste them, typed key by key: the label keeps
    // the key as typed, the server receives the folded key.
    void typedKeys_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QByteArray>("request");
        QTest::newRow("final dot")
            << u"example.jp."_qs << u"whois.jprs.jp"_qs << QByteArray("example.jp\r\n");
        QTest::newRow("full-width address")
            << u"８．８．８．８\u3000"_qs << u"whois.arin.net"_qs << QByteArray("8.8.8.8\r\n");
        QTest::newRow("pasted URL") << u"https://example.jp/path?q=1"_qs << u"whois.jprs.jp"_qs
                                    << QByteArray("example.jp\r\n");
        QTest::newRow("AS beyond 32 bits") << u"AS4294967296"_qs << QString() << QByteArray();
    }

    void typedKeys()
    {
        QFETCH(QString, key);
        QFETCH(QString, host);
        QFETCH(QByteArray, request);
        Window w;
        w.server.answerWith({ "answer" });
        auto *input = w.find<QLineEdit>(u"txtInput"_qs);
        // Characters beyond ASCII arrive as an input method commits them: a
        // key press that carries the text.
        for (const QChar c : key) {
            if (c.unicode() < 0x80)
                QTest::keyClick(input, c.toLatin1());
            else
                QTest::sendKeyEvent(
                    QTest::Click, input, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
        QTest::keyClick(input, Qt::Key_Return);
        w.waitIdle();
        if (host.isEmpty()) {
            QCOMPARE(w.warnings.size(), 1);
            QVERIFY(w.warnings[0].startsWith(u"AS番号が大きすぎます。"));
            QCOMPARE(w.server.receivedRequests().size(), 0);
            return;
        }
        QCOMPARE(w.label(), u"\""_qs + key + u"\" From:自動選択["_qs + host + u']');
        QCOMPARE(w.server.receivedRequests(), QByteArrayList { request });
    }

    // The File menu's check item switches automatic following on and
    // stores it; the next window starts with it.
    void automaticFollowingIsStored()
    {
        Window w(QByteArray("[Domquire]\r\nFollowReferrals=-1\r\n"));
        auto *follow = w.find<QAction>(u"mnuFollowReferrals"_qs);
        QVERIFY(follow->isChecked());
        w.server.answerInTurn({ "refer: whois.example.net\r\n", "Domain: X\r\n" });
        w.query(u"example.com"_qs, u"whois.iana.org"_qs);
        w.waitIdle();
        QCOMPARE(w.server.receivedRequests().size(), 2);
        QCOMPARE(w.label(), u"\"example.com\" From:whois.iana.org → whois.example.net"_qs);

        w.window->show();
        QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
        QTest::keyClick(w.window.get(), Qt::Key_F, Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget());
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_A);
        QTRY_VERIFY(!follow->isChecked());
        QFile ini(w.dir.filePath(u"dq.ini"_qs));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(ini.readAll().contains("FollowReferrals=0"));
    }

    // Under a window manager the window is framed, moved, minimised and
    // restored; through all of it the window keeps the size it was given.
    void windowKeepsItsSize()
    {
        Window w;
        const QSize stored(w.pixels(9000), w.pixels(7000));
        w.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
        QTRY_COMPARE(w.window->frameGeometry().size(), stored);

        const QSize given(700, 500);
        w.window->resize(given);
        QTRY_COMPARE(w.window->size(), given);
        for (int step = 0; step < 3; ++step) {
            w.window->move(w.window->pos() + QPoint(30, 20));
            QTest::qWait(20);
            QCOMPARE(w.window->size(), given);
        }
        w.window->showMinimized();
        QTest::qWait(20);
        w.window->showNormal();
        QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
        QTest::qWait(20);
        QCOMPARE(w.window->size(), given);
        w.window->hide();
        w.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
        QTest::qWait(20);
        QCOMPARE(w.window->size(), given);
    }

    // Enter and the access keys on each control, from the key box to the
    // result view: whether a query starts at once and what the key becomes.
    void keysThatStartAQuery_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<bool>("query");
        QTest::addColumn<QString>("key");
        const QString key = u"example.jp"_qs;
        QTest::newRow("Enter in the key box") << u"{Alt+K} {Return}"_qs << true << key;
        QTest::newRow("Enter in the server field") << u"{Alt+S} {Return}"_qs << true << key;
        QTest::newRow("Enter on Whois") << u"{Alt+S} {Tab} {Return}"_qs << true << key;
        QTest::newRow("Enter on Clear") << u"{Alt+S} {Tab} {Tab} {Return}"_qs << false << QString();
        QTest::newRow("Enter in the result label")
            << u"{Alt+S} {Tab} {Tab} {Tab} {Return}"_qs << true << key;
        QTest::newRow("Enter in the result view")
            << u"{Alt+S} {Tab} {Tab} {Tab} {Tab} {Return}"_qs << false << key;
        QTest::newRow("Alt+W") << u"{Alt+W}"_qs << true << key;
    }

    void keysThatStartAQuery()
    {
        QFETCH(QString, script);
        QFETCH(bool, query);
        QFETCH(QString, key);
        Window w;
        w.server.answerWith({ "answer" });
        w.find<QLineEdit>(u"txtInput"_qs)->setText(u"example.jp"_qs);
        w.find<QComboBox>(u"cboServer"_qs)->setEditText(kLocalHost);
        w.showActive();
        w.keys(script);
        QCOMPARE(w.busy(), query);
        QCOMPARE(w.find<QLineEdit>(u"txtInput"_qs)->text(), key);
        w.waitIdle();
        QCOMPARE(w.server.receivedRequests().size(), query ? 1 : 0);
    }

    // While a query runs the focus waits in the result view and Esc aborts;
    // however the query ends, typing goes on in the key box.
    void focusThroughAQuery_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("status");
        QTest::newRow("Esc") << u"{Esc}"_qs << u"接続を終了しました。"_qs;
        QTest::newRow("Esc in the result label")
            << u"{Shift+Tab} {Esc}"_qs << u"接続を終了しました。"_qs;
        QTest::newRow("answer") << QString() << u"アイドル中"_qs;
    }

    void focusThroughAQuery()
    {
        QFETCH(QString, script);
        QFETCH(QString, status);
        Window w;
        if (script.isEmpty())
            w.server.answerWith({ "answer" });
        else
            w.server.staySilent();
        w.find<QComboBox>(u"cboServer"_qs)->setEditText(kLocalHost);
        w.showActive();
        w.keys(u"{Alt+K} example.jp {Return}"_qs);
        QVERIFY(w.busy());
        QCOMPARE(w.focusName(), u"rtbResult"_qs);
        if (!script.isEmpty()) {
            QTRY_COMPARE_WITH_TIMEOUT(w.status(), u"送信完了"_qs, kTimeout);
            w.keys(script);
        }
        w.waitIdle();
        QCOMPARE(w.status(), status);
        QCOMPARE(w.focusName(), u"txtInput"_qs);
        w.keys(u"next.jp"_qs);
        QCOMPARE(w.find<QLineEdit>(u"txtInput"_qs)->text(), u"next.jp"_qs);
    }

    void saveTheResult()
    {
        Window w;
        QTemporaryDir out;
        QStringList suggested;
        QString answer;
        w.window->setSaveFileChooser([&](const QString &path) {
            suggested << path;
            return answer;
        });
        w.server.answerWith({ "a\r\nb\rc\n", "例\r", "\nend" });
        w.find<QComboBox>(u"cboServer"_qs)->setEditText(kLocalHost);
        w.showActive();
        w.keys(u"{Alt+K} x/a.jp {Return}"_qs);
        w.waitIdle();

        // Ctrl+S and the File menu both ask; no answer saves nothing.
        w.keys(u"{Ctrl+S}"_qs);
        const QString documents =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        QCOMPARE(suggested, QStringList { QDir(documents).filePath(u"x_a.jp.txt"_qs) });
        answer = out.filePath(u"saved.txt"_qs);
        w.keys(u"{Alt+F} s"_qs);
        QFile saved(answer);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QString(u"a\r\nb\r\nc\r\n例\r\nend"_qs).toUtf8());
        QVERIFY(w.warnings.isEmpty());

        // A failed write says why and keeps the result and the folder in its way.
        answer = out.path();
        w.keys(u"{Ctrl+S}"_qs);
        QCOMPARE(w.warnings.size(), 1);
        QVERIFY2(w.warnings[0].startsWith(u"保存できませんでした。\n"), qPrintable(w.warnings[0]));
        QVERIFY(w.warnings[0].size() > u"保存できませんでした。\n"_qs.size());
        QCOMPARE(w.pane(), u"a\r\nb\rc\n例\r\nend"_qs);
        QVERIFY(QFileInfo(out.path()).isDir());

        // While a query runs there is nothing to save yet.
        w.server.staySilent();
        w.keys(u"{Alt+K} y.jp {Return}"_qs);
        QVERIFY(!w.find<QAction>(u"mnuSave"_qs)->isEnabled());
        w.keys(u"{Ctrl+S}"_qs);
        QCOMPARE(suggested.size(), 3);
    }

    // The warning box is wide enough for each line of its text.
    void warningBoxFitsItsLines()
    {
        QTemporaryDir dir;
        frmWhois window({}, dir.path());
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QStringList lines;
        bool fits = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget *box = QApplication::activeModalWidget();
            if (!box)
                return;
            poll.stop();
            const auto *text = box->findChild<QLabel *>(u"warningText"_qs);
            lines = text->text().split(u'\n');
            fits = std::all_of(lines.cbegin(), lines.cend(), [text](const QString &line) {
                return text->fontMetrics().horizontalAdvance(line) <= text->contentsRect().width();
            });
            QTest::keyClick(box, Qt::Key_Return);
        });
        poll.start(10);
        PressKeys(&window, u"{Alt+K} .nosuchtld {Return}"_qs);
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].startsWith(u"自動選択リストに登録されていないアドレスです。"));
        QVERIFY(fits);
        QVERIFY(!QApplication::activeModalWidget());
    }
};

QTEST_MAIN(TestFrmWhois)
#include "tst_frm_whois.moc"
