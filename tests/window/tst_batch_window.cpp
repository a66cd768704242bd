#include "window/batch_window.h"
#include "window/frm_whois.h"
#include "window/result_view.h"

#include "find_child.h"
#include "support/whois_test_server.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kTimeout = 60000;

// Shows the main window and opens the batch window with Ctrl+L; none when
// it does not show.
BatchWindow *openBatchWindow(frmWhois &main)
{
    main.show();
    if (!QTest::qWaitForWindowExposed(&main))
        return nullptr;
    QTest::keyClick(&main, Qt::Key_L, Qt::ControlModifier);
    auto *batch = main.findChild<BatchWindow *>(u"BatchWindow"_qs);
    if (!batch || !QTest::qWaitFor([batch] { return batch->isVisible(); }, kTimeout))
        return nullptr;
    return batch;
}

// Types the host into the server box and presses Start.
void startOnTypedHost(BatchWindow *batch, const QString &host)
{
    auto *combo = FindChild<QComboBox>(batch, u"serverCombo"_qs);
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo->lineEdit(), host);
    QTest::keyClick(FindChild<QPushButton>(batch, u"startButton"_qs), Qt::Key_Space);
}

} // namespace

class TestBatchWindow : public QObject {
    Q_OBJECT

private slots:
    // Ctrl+L opens the window; pasted text gives its keys; Start asks once
    // per network; Enter on a row shows its answer in the main window; the
    // filter narrows the table; the export writes the rows.
    void batchFromKeysToMainWindowAndExport()
    {
        QTemporaryDir dir;
        WhoisTestServer server;
        server.answerInTurn({
            "inetnum:        192.0.2.0 - 192.0.2.255\r\nnetname:        TEST-NET-1\r\n",
            "Domain Name: EXAMPLE.COM\r\nRegistrar: Example Registrar, Inc.\r\n",
        });
        frmWhois main(WhoisRoute { server.port(), u"127.0.0.1"_qs }, dir.path());
        BatchWindow *batch = openBatchWindow(main);
        QVERIFY(batch);
        QString exportPath = dir.filePath(u"out.csv"_qs);
        batch->setSaveFileChooser([&](const QString &) { return exportPath; });

        auto *keys = FindChild<QPlainTextEdit>(batch, u"keysEdit"_qs);
        QTest::keyClicks(keys, u"from 192.0.2.1 to 192.0.2.9, EXAMPLE.com, 192.0.2.1"_qs);
        QCOMPARE(FindChild<QLabel>(batch, u"countLabel"_qs)->text(), u"3 件のキー"_qs);
        startOnTypedHost(batch, u"whois.example"_qs);

        auto *progress = FindChild<QProgressBar>(batch, u"progressBar"_qs);
        QTRY_COMPARE_WITH_TIMEOUT(progress->value(), 3, kTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(FindChild<QPushButton>(batch, u"startButton"_qs)->isEnabled(), kTimeout);
        QCOMPARE(progress->maximum(), 3);
        QCOMPARE(server.receivedRequests(),
            (QByteArrayList { "192.0.2.1\r\n", "EXAMPLE.com\r\n" }));

        auto *table = FindChild<QTableView>(batch, u"batchTable"_qs);
        QCOMPARE(table->model()->rowCount(), 3);
        QCOMPARE(table->model()->index(1, 1).data().toString(), u"同一ネットワーク"_qs);
        table->setFocus();
        QTest::keyClick(table, Qt::Key_Down);
        QTest::keyClick(table, Qt::Key_Down);
        QTest::keyClick(table, Qt::Key_Return);
        auto *view = FindChild<ResultView>(&main, u"rtbResult"_qs);
        QVERIFY(view->text().contains(u"Registrar: Example Registrar, Inc."_qs));
        QVERIFY(FindChild<QLineEdit>(&main, u"txtLabel"_qs)->text().contains(u"EXAMPLE.com"_qs));
        // Tab leaves the table for the next control, as everywhere else.
        QTest::keyClick(table, Qt::Key_Tab);
        QVERIFY(batch->focusWidget() != table);

        QTest::keyClicks(FindChild<QLineEdit>(batch, u"filterEdit"_qs), u"test-net"_qs);
        QCOMPARE(table->model()->rowCount(), 2);

        QTest::keyClick(FindChild<QPushButton>(batch, u"exportButton"_qs), Qt::Key_Space);
        QFile file(exportPath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray csv = file.readAll();
        QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(csv.count("\r\n"), 4);
        QVERIFY(csv.contains("TEST-NET-1"));
    }

    // The least interval between two lookups on one server comes from
    // dq.ini: longer than the default, the second key waits that long.
    void whoisIntervalFromSettings()
    {
        QTemporaryDir dir;
        QFile ini(dir.filePath(u"dq.ini"_qs));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        QVERIFY(ini.write("[Domquire]\r\nBatchWhoisInterval=3000\r\n") > 0);
        ini.close();
        WhoisTestServer server;
        server.answerWith({ "netname: NET\r\n" });
        frmWhois main(WhoisRoute { server.port(), u"127.0.0.1"_qs }, dir.path());
        BatchWindow *batch = openBatchWindow(main);
        QVERIFY(batch);
        QTest::keyClicks(FindChild<QPlainTextEdit>(batch, u"keysEdit"_qs), u"192.0.2.1 198.51.100.1"_qs);
        startOnTypedHost(batch, u"whois.example"_qs);

        QTRY_VERIFY_WITH_TIMEOUT(FindChild<QPushButton>(batch, u"startButton"_qs)->isEnabled(), kTimeout);
        const auto &accepted = server.acceptTimes();
        QCOMPARE(accepted.size(), 2);
        QVERIFY(accepted.at(1) - accepted.at(0) >= std::chrono::milliseconds(3000));
    }
};

QTEST_MAIN(TestBatchWindow)
#include "tst_batch_window.moc"
