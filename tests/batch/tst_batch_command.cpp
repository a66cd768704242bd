// Runs the built program: the exit status and output of the command line.

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Run runProgram(const QStringList &arguments, const QByteArray &input = {})
{
    QProcess process;
    process.start(QStringLiteral(DQ_PROGRAM), arguments);
    if (!process.waitForStarted(30000))
        return {};
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    if (process.exitStatus() != QProcess::NormalExit)
        return {};
    return { process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError() };
}

} // namespace

class TestBatchCommand : public QObject {
    Q_OBJECT

private slots:
    void exitStatusAndStreams_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("inOut");
        QTest::addColumn<QByteArray>("inErr");
        QTest::newRow("help") << QStringList { u"--help"_qs } << 0 << QByteArray("--batch")
                              << QByteArray();
        QTest::newRow("version") << QStringList { u"--version"_qs } << 0
                                 << QByteArray("domquire") << QByteArray();
        QTest::newRow("unknown option") << QStringList { u"--bogus"_qs } << 2 << QByteArray()
                                        << QByteArray("bogus");
        QTest::newRow("batch without file") << QStringList { u"--batch"_qs } << 2 << QByteArray()
                                            << QByteArray("--batch");
        QTest::newRow("bad interval")
            << QStringList { u"--batch"_qs, u"-"_qs, u"--interval"_qs, u"x"_qs } << 2
            << QByteArray() << QByteArray("interval");
        QTest::newRow("missing file")
            << QStringList { u"--batch"_qs, u"/nonexistent/keys.txt"_qs } << 1 << QByteArray()
            << QByteArray("/nonexistent/keys.txt");
    }
    void exitStatusAndStreams()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QByteArray, inOut);
        QFETCH(QByteArray, inErr);
        const Run run = runProgram(arguments);
        QCOMPARE(run.status, status);
        QVERIFY2(run.out.contains(inOut), run.out.constData());
        QVERIFY2(run.err.contains(inErr), run.err.constData());
        if (status == 2)
            QVERIFY(run.out.isEmpty());
    }

    // Text without keys answers every key it has: none.
    void noKeysIsSuccess()
    {
        QTemporaryDir dir;
        const QString output = dir.filePath(u"out.csv"_qs);
        const Run run = runProgram(
            { u"--batch"_qs, u"-"_qs, u"--output"_qs, output }, "no keys in here\n");
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.isEmpty());
        QFile file(output);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray csv = file.readAll();
        QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(csv.count("\r\n"), 1);
    }

    // A key whose server refuses the connection fails: status 1, the row in
    // the export with its reason, and its progress line on the standard error.
    void failedKeysGiveStatusOne()
    {
        const Run run = runProgram({ u"--batch"_qs, u"-"_qs, u"--server"_qs, u"127.0.0.1"_qs,
                                       u"--format"_qs, u"json"_qs, u"--interval"_qs, u"0"_qs },
            "192.0.2.1\n");
        QCOMPARE(run.status, 1);
        const QJsonArray rows = QJsonDocument::fromJson(run.out).array();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.at(0)[u"key"_qs].toString(), u"192.0.2.1"_qs);
        QCOMPARE(rows.at(0)[u"status"_qs].toString(), u"失敗"_qs);
        QVERIFY(!rows.at(0)[u"error"_qs].toString().isEmpty());
        QVERIFY(QString::fromUtf8(run.err).contains(u"[1/1] 192.0.2.1: 失敗"_qs));
    }
};

QTEST_GUILESS_MAIN(TestBatchCommand)
#include "tst_batch_command.moc"
