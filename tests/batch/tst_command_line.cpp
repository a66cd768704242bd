#include "batch/command_line.h"

#include <QTest>

using Action = CommandLine::Action;
using ServerMode = CommandLine::ServerMode;
using Format = CommandLine::Format;

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void parses_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("input");
        QTest::addColumn<ServerMode>("serverMode");
        QTest::addColumn<QString>("host");
        QTest::addColumn<Format>("format");
        QTest::addColumn<QString>("output");
        QTest::addColumn<int>("intervalMs"); // -1: none
        const auto row = [](const char *name, const QStringList &arguments, Action action,
                             const QString &input = {}, ServerMode mode = ServerMode::Auto,
                             const QString &host = {}, Format format = Format::Csv,
                             const QString &output = {}, int intervalMs = -1) {
            QStringList full { u"domquire"_qs };
            full += arguments;
            QTest::newRow(name) << full << action << input << mode << host << format << output << intervalMs;
        };
        using L = QStringList;
        row("no arguments: the window", {}, Action::Window);
        row("toolkit options: the window", L { u"-platform"_qs, u"offscreen"_qs }, Action::Window);
        row("help", L { u"--help"_qs }, Action::Help);
        row("help wins", L { u"--batch"_qs, u"x"_qs, u"--help"_qs }, Action::Help);
        row("version", L { u"--version"_qs }, Action::Version);
        row("batch from a file", L { u"--batch"_qs, u"keys.txt"_qs }, Action::Batch, u"keys.txt"_qs);
        row("batch from stdin", L { u"--batch"_qs, u"-"_qs }, Action::Batch, u"-"_qs);
        row("equals form", L { u"--batch=keys.csv"_qs, u"--format=json"_qs, u"--output=out.json"_qs },
            Action::Batch, u"keys.csv"_qs, ServerMode::Auto, {}, Format::Json, u"out.json"_qs);
        row("every option", L { u"--batch"_qs, u"-"_qs, u"--server"_qs, u"whois.example.net"_qs,
                                u"--format"_qs, u"csv"_qs, u"--output"_qs, u"o.csv"_qs, u"--interval"_qs, u"0.5"_qs },
            Action::Batch, u"-"_qs, ServerMode::Host, u"whois.example.net"_qs, Format::Csv, u"o.csv"_qs, 500);
        row("server rdap", L { u"--batch"_qs, u"k"_qs, u"--server"_qs, u"rdap"_qs }, Action::Batch, u"k"_qs,
            ServerMode::Rdap);
        row("server auto", L { u"--batch"_qs, u"k"_qs, u"--server=auto"_qs }, Action::Batch, u"k"_qs);
        row("server host with port", L { u"--batch"_qs, u"k"_qs, u"--server"_qs, u"127.0.0.1:4343"_qs },
            Action::Batch, u"k"_qs, ServerMode::Host, u"127.0.0.1:4343"_qs);
        row("interval zero", L { u"--batch"_qs, u"k"_qs, u"--interval"_qs, u"0"_qs }, Action::Batch, u"k"_qs,
            ServerMode::Auto, {}, Format::Csv, {}, 0);
        row("interval an hour", L { u"--batch"_qs, u"k"_qs, u"--interval=3600"_qs }, Action::Batch, u"k"_qs,
            ServerMode::Auto, {}, Format::Csv, {}, 3600000);

        const auto error = [&](const char *name, const QStringList &arguments) { row(name, arguments, Action::UsageError); };
        error("unknown option", L { u"--batch"_qs, u"k"_qs, u"--fast"_qs });
        error("options without --batch", L { u"--format"_qs, u"csv"_qs });
        error("missing file", L { u"--batch"_qs });
        error("empty file", L { u"--batch="_qs });
        error("stray argument", L { u"--batch"_qs, u"k"_qs, u"extra"_qs });
        error("twice", L { u"--batch"_qs, u"a"_qs, u"--batch"_qs, u"b"_qs });
        error("bad format", L { u"--batch"_qs, u"k"_qs, u"--format"_qs, u"xml"_qs });
        error("format in capitals", L { u"--batch"_qs, u"k"_qs, u"--format"_qs, u"CSV"_qs });
        error("empty server", L { u"--batch"_qs, u"k"_qs, u"--server="_qs });
        error("server with a space", L { u"--batch"_qs, u"k"_qs, u"--server"_qs, u"a b"_qs });
        error("empty output", L { u"--batch"_qs, u"k"_qs, u"--output="_qs });
        error("negative interval", L { u"--batch"_qs, u"k"_qs, u"--interval=-1"_qs });
        error("interval with a comma", L { u"--batch"_qs, u"k"_qs, u"--interval"_qs, u"0,5"_qs });
        error("interval over an hour", L { u"--batch"_qs, u"k"_qs, u"--interval"_qs, u"3601"_qs });
        error("interval in exponent form", L { u"--batch"_qs, u"k"_qs, u"--interval"_qs, u"1e3"_qs });
        error("interval a dot", L { u"--batch"_qs, u"k"_qs, u"--interval"_qs, u"."_qs });
        error("interval not a number", L { u"--batch"_qs, u"k"_qs, u"--interval"_qs, u"nan"_qs });
    }

    void parses()
    {
        QFETCH(QStringList, arguments);
        QFETCH(Action, action);
        QFETCH(QString, input);
        QFETCH(ServerMode, serverMode);
        QFETCH(QString, host);
        QFETCH(Format, format);
        QFETCH(QString, output);
        QFETCH(int, intervalMs);
        const CommandLine line = parseCommandLine(arguments);
        QCOMPARE(line.action, action);
        if (action == Action::UsageError) {
            QVERIFY(!line.error.isEmpty());
            QVERIFY(!line.error.contains(u'\n'));
            return;
        }
        QCOMPARE(line.inputPath, input);
        QCOMPARE(line.serverMode, serverMode);
        QCOMPARE(line.serverHost, host);
        QCOMPARE(line.format, format);
        QCOMPARE(line.outputPath, output);
        QCOMPARE(line.interval.has_value(), intervalMs >= 0);
        if (line.interval)
            QCOMPARE(line.interval->count(), intervalMs);
    }

    // The usual form: a usage line first, every option named, the version
    // as "name version", a usage error naming the program and --help.
    void printsTheUsualTexts()
    {
        const QString help = commandLineHelp();
        QVERIFY(help.startsWith(u"Usage: domquire "_qs));
        for (const QString &option : { u"--batch"_qs, u"--server"_qs, u"--format"_qs, u"--output"_qs,
                 u"--interval"_qs, u"--help"_qs, u"--version"_qs })
            QVERIFY2(help.contains(option), qPrintable(option));
        QCOMPARE(commandLineVersion(), u"domquire " DQ_VERSION "\n"_qs);
        QCOMPARE(commandLineUsageError(u"bad"_qs),
            u"domquire: bad\nTry 'domquire --help' for more information.\n"_qs);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_command_line.moc"
