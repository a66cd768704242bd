// A whole batch and its export: 1,000 distinct domain names of four
// top-level domains (so four servers at once) against the local whois test
// server with pacing off, as batch_1000_ms (goal: at most 5,000 ms); the CSV
// export of 10,000 filled rows to a file, as export_10000_ms (goal: at most
// 300 ms).

#include "batch/batch_export.h"
#include "batch/batch_runner.h"
#include "support/whois_test_server.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>

#include <cstdio>

using namespace std::chrono_literals;

namespace {

qint64 runBatch()
{
    WhoisTestServer server;
    server.setPauseBetweenWrites(0);
    server.answerWith({ "Domain Name: EXAMPLE.COM\r\nRegistrar: Example Registrar, Inc.\r\n"
                        "Registry Expiry Date: 2030-01-01T00:00:00Z\r\n"
                        "Name Server: NS1.EXAMPLE.NET\r\n" });
    PacingSettings pacing;
    pacing.whoisInterval = 0ms;
    pacing.rdapInterval = 0ms;
    BatchRunner runner(pacing, WhoisRoute { server.port(), u"127.0.0.1"_qs });
    QList<ExtractedKey> keys;
    const QStringList domains { u"com"_qs, u"net"_qs, u"org"_qs, u"jp"_qs };
    for (int i = 0; i < 1000; ++i)
        keys.append({ QueryKey::Kind::Name, u"name%1.%2"_qs.arg(i).arg(domains.at(i % 4)) });
    runner.setKeys(keys);
    QEventLoop loop;
    QObject::connect(&runner, &BatchRunner::finished, &loop, &QEventLoop::quit);
    QElapsedTimer timer;
    timer.start();
    runner.start(ServerMode::automatic());
    loop.exec();
    const qint64 elapsed = timer.elapsed();
    const bool allDone = std::all_of(runner.rows().begin(), runner.rows().end(),
        [](const BatchRow &row) { return row.status == BatchRow::Status::Done; });
    if (!allDone)
        std::fprintf(stderr, "bench_batch_run: some keys were not answered\n");
    return elapsed;
}

qint64 exportRows()
{
    QList<BatchRow> rows;
    for (int i = 0; i < 10000; ++i) {
        BatchRow row;
        row.key = { QueryKey::Kind::Name, u"name%1.com"_qs.arg(i) };
        row.status = BatchRow::Status::Done;
        row.fields.name = row.key.text;
        row.fields.registrar = u"Example Registrar, Inc."_qs;
        row.fields.registrantOrganization = u"例示株式会社"_qs;
        row.fields.status = QStringList { u"clientTransferProhibited"_qs, u"serverHold"_qs };
        row.fields.expires = QDateTime(QDate(2030, 1, 1), QTime(0, 0), Qt::UTC);
        row.fields.nameServers = QStringList { u"ns1.example.net"_qs, u"ns2.example.net"_qs };
        row.answer = QString(u"Domain Name: EXAMPLE.COM\r\n"_qs).repeated(20);
        rows.append(row);
    }
    QTemporaryDir dir;
    QElapsedTimer timer;
    timer.start();
    const QString error = writeBatchFile(dir.filePath(u"batch.csv"_qs), batchCsv(rows));
    const qint64 elapsed = timer.elapsed();
    if (!error.isEmpty())
        std::fprintf(stderr, "bench_batch_run: %s\n", qPrintable(error));
    return elapsed;
}

} // namespace

int main(int argc, char *argv[])
{
    const QCoreApplication app(argc, argv);
    std::printf("batch_1000_ms: %lld\n", static_cast<long long>(runBatch()));
    std::printf("export_10000_ms: %lld\n", static_cast<long long>(exportRows()));
    return 0;
}
