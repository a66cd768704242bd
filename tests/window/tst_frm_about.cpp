#include "window/frm_about.h"
#include "window/web_site.h"

#include <QDesktopServices>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

// The web address is observed through the desktop services' URL handler, so no browser starts.
class TestFrmAbout : public QObject {
    Q_OBJECT

public slots:
    void recordUrl(const QUrl &url) { m_openedUrls.append(url); }

private slots:
    void init()
    {
        m_openedUrls.clear();
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "recordUrl");
        m_owner = std::make_unique<QMainWindow>();
        m_owner->show();
    }

    void cleanup()
    {
        m_owner.reset();
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    }

    void pictureIs32By32()
    {
        frmAbout dialog(m_owner.get());
        const QPixmap picture = Child<QLabel>(dialog, u"Picture1"_qs)->pixmap();
        QVERIFY(!picture.isNull());
        QCOMPARE(picture.deviceIndependentSize().toSize(), QSize(32, 32));
    }

    void fixedModalDialogOwnedByTheMainWindow()
    {
        frmAbout dialog(m_owner.get());
        dialog.show();
        QVERIFY(dialog.isModal());
        QCOMPARE(dialog.parentWidget(), m_owner.get());
        QCOMPARE(dialog.windowType(), Qt::Dialog);
        const Qt::WindowFlags flags = dialog.windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowTitleHint));
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowContextHelpButtonHint));
        QCOMPARE(dialog.minimumSize(), dialog.size());
        QCOMPARE(dialog.maximumSize(), dialog.size());
    }

    void escapeLeavesItOpen_data()
    {
        QTest::addColumn<QString>("receiver");
        QTest::newRow("pressed on the dialog") << u"frmAbout"_qs;
        QTest::newRow("pressed on the focused OK button") << u"cmdOk"_qs;
    }

    void escapeLeavesItOpen()
    {
        QFETCH(QString, receiver);
        frmAbout dialog(m_owner.get());
        dialog.show();
        QWidget *target =
            receiver == dialog.objectName() ? &dialog : Child<QWidget>(dialog, receiver);
        target->setFocus();
        QSignalSpy finished(&dialog, &QDialog::finished);
        QTest::keyClick(target, Qt::Key_Escape);
        QVERIFY(dialog.isVisible());
        QCOMPARE(finished.size(), 0);
    }

    void closingWays_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("OK clicked") << u"click"_qs;
        QTest::newRow("Enter pressed") << u"enter"_qs;
        QTest::newRow("access key Alt+O") << u"alt-o"_qs;
        QTest::newRow("title bar's close button") << u"close"_qs;
    }

    void closingWays()
    {
        QFETCH(QString, way);
        frmAbout dialog(m_owner.get());
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QSignalSpy finished(&dialog, &QDialog::finished);
        QPushButton *ok = Child<QPushButton>(dialog, u"cmdOk"_qs);
        if (way == u"click")
            QTest::mouseClick(ok, Qt::LeftButton);
        else if (way == u"enter")
            QTest::keyClick(&dialog, Qt::Key_Return);
        else if (way == u"alt-o")
            QTest::keyClick(&dialog, Qt::Key_O, Qt::AltModifier);
        else
            QVERIFY(dialog.close());
        // An access key clicks its button after a short press animation.
        QTRY_VERIFY(!dialog.isVisible());
        QCOMPARE(finished.size(), 1);
    }

    void addressClick_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("releasedOutside");
        QTest::addColumn<int>("openings");
        QTest::newRow("left click") << Qt::LeftButton << false << 1;
        QTest::newRow("right click") << Qt::RightButton << false << 0;
        QTest::newRow("middle click") << Qt::MiddleButton << false << 0;
        QTest::newRow("left press, released off the label") << Qt::LeftButton << true << 0;
    }

    void addressClick()
    {
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, releasedOutside);
        QFETCH(int, openings);
        frmAbout dialog(m_owner.get());
        dialog.show();
        QLabel *url = Child<QLabel>(dialog, u"lblUrl"_qs);
        QTest::mousePress(url, button);
        const QPoint releaseAt =
            releasedOutside ? QPoint(url->width() + 5, url->height() / 2) : url->rect().center();
        QTest::mouseRelease(url, button, {}, releaseAt);
        QCOMPARE(m_openedUrls.size(), openings);
        for (const QUrl &opened : std::as_const(m_openedUrls))
            QCOMPARE(opened, QUrl(kWebSiteUrl.toString()));
        QVERIFY(dialog.isVisible());
    }

    void openWebSiteOpensTheOneAddress()
    {
        openProductWebSite();
        QCOMPARE(m_openedUrls, QList<QUrl>({ QUrl(kWebSiteUrl.toString()) }));
    }

private:
    template<typename Widget> static Widget *Child(const QWidget &parent, const QString &objectName)
    {
        auto *child = parent.findChild<Widget *>(objectName);
        if (!child)
            qFatal("no child named %s", qPrintable(objectName));
        return child;
    }

    std::unique_ptr<QMainWindow> m_owner;
    QList<QUrl> m_openedUrls;
};

QTEST_MAIN(TestFrmAbout)
#include "tst_frm_about.moc"
