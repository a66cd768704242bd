#include "batch_command.h"

#include "batch/batch_export.h"
#include "batch/batch_runner.h"
#include "batch/batch_text.h"
#include "batch/key_extraction.h"
#include "batch/pacing_from_ini.h"
#include "settings/bounded_file.h"
#include "settings/file_folders.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

namespace {

void printError(const QString &text)
{
    std::fputs(qPrintable(text + u'\n'), stderr);
    std::fflush(stderr);
}

// The standard input, or none when it holds more than the bound allows.
std::optional<QByteArray> readStandardInput()
{
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes;
    while (bytes.size() <= kMaxReadFileBytes) {
        const QByteArray chunk = input.read(qint64(64) * 1024);
        if (chunk.isEmpty())
            break;
        bytes += chunk;
    }
    if (bytes.size() > kMaxReadFileBytes)
        return std::nullopt;
    return bytes;
}

ServerMode serverModeOf(const CommandLine &commandLine)
{
    switch (commandLine.serverMode) {
    case CommandLine::ServerMode::Auto:
        return ServerMode::automatic();
    case CommandLine::ServerMode::Rdap:
        return ServerMode::rdap();
    case CommandLine::ServerMode::Host:
        return ServerMode::typedHost(commandLine.serverHost);
    }
    return ServerMode::automatic();
}

bool writeOutput(const CommandLine &commandLine, const QByteArray &bytes)
{
    if (commandLine.outputPath.isEmpty()) {
        const bool written = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout)
            == size_t(bytes.size());
        return std::fflush(stdout) == 0 && written;
    }
    const QString error = writeBatchFile(commandLine.outputPath, bytes);
    if (!error.isEmpty())
        printError(commandLine.outputPath + u": "_qs + error);
    return error.isEmpty();
}

} // namespace

int runBatchCommand(const CommandLine &commandLine)
{
    const bool fromStandardInput = commandLine.inputPath == u"-"_qs;
    const std::optional<QByteArray> bytes =
        fromStandardInput ? readStandardInput() : readBoundedFile(commandLine.inputPath);
    if (!bytes) {
        printError(commandLine.inputPath
            + u": 読み込めません (16 MiB までのファイルを読み込めます)"_qs);
        return 1;
    }
    const QList<ExtractedKey> keys = extractKeys(decodeBatchText(*bytes));

    // The window's settings, unless the command line names an interval.
    PacingSettings pacing = pacingFromIni(findFileFolders(programFolder()).settings);
    if (commandLine.interval) {
        pacing.whoisInterval = *commandLine.interval;
        pacing.rdapInterval = *commandLine.interval;
    }
    BatchRunner runner(pacing);
    runner.setKeys(keys);
    const qsizetype total = keys.size();
    QObject::connect(&runner, &BatchRunner::rowChanged, &runner, [&runner, total](int row) {
        const BatchRow &entry = runner.rows().at(row);
        if (entry.status == BatchRow::Status::Waiting || entry.status == BatchRow::Status::Querying)
            return;
        QString line = u"[%1/%2] %3: %4"_qs.arg(runner.endedCount()).arg(total).arg(
            entry.key.text, entry.statusText());
        if (!entry.error.isEmpty())
            line += u" ("_qs + entry.error + u')';
        printError(line);
    });
    QObject::connect(&runner, &BatchRunner::finished, QCoreApplication::instance(),
        &QCoreApplication::quit, Qt::QueuedConnection);
    runner.start(serverModeOf(commandLine));
    QCoreApplication::exec();

    const QByteArray exported = commandLine.format == CommandLine::Format::Json
        ? batchJson(runner.rows())
        : batchCsv(runner.rows());
    if (!writeOutput(commandLine, exported))
        return 1;
    const bool allAnswered = std::all_of(runner.rows().begin(), runner.rows().end(),
        [](const BatchRow &row) { return row.isAnswered(); });
    return allAnswered ? 0 : 1;
}
