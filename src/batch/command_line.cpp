#include "batch/command_line.h"

#include <QCommandLineParser>

#include <algorithm>
#include <cmath>

namespace {

// --interval takes seconds with an optional fraction, up to an hour.
constexpr double kMaxIntervalSeconds = 3600;

CommandLine usageError(const QString &error)
{
    CommandLine line;
    line.action = CommandLine::Action::UsageError;
    line.error = error;
    return line;
}

std::optional<std::chrono::milliseconds> readInterval(const QString &text)
{
    // Digits with at most one dot: no sign, no exponent, no locale's comma.
    const bool shaped = !text.isEmpty() && text.count(u'.') <= 1 && text != u"."
        && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit() || c == u'.'; });
    if (!shaped)
        return std::nullopt;
    bool ok = false;
    const double seconds = text.toDouble(&ok);
    if (!ok || seconds > kMaxIntervalSeconds)
        return std::nullopt;
    return std::chrono::milliseconds(std::llround(seconds * 1000));
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    const bool ours = std::any_of(arguments.begin() + std::min<qsizetype>(1, arguments.size()),
        arguments.end(), [](const QString &argument) { return argument.startsWith(u"--"); });
    if (!ours)
        return {};

    const QCommandLineOption batch(u"batch"_qs, {}, u"FILE"_qs);
    const QCommandLineOption server(u"server"_qs, {}, u"SERVER"_qs);
    const QCommandLineOption format(u"format"_qs, {}, u"FORMAT"_qs);
    const QCommandLineOption output(u"output"_qs, {}, u"FILE"_qs);
    const QCommandLineOption interval(u"interval"_qs, {}, u"SECONDS"_qs);
    const QCommandLineOption help(u"help"_qs);
    const QCommandLineOption version(u"version"_qs);
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({ batch, server, format, output, interval, help, version });
    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return usageError(u"unexpected argument '%1'"_qs.arg(parser.positionalArguments().constFirst()));
    for (const QString &name : parser.optionNames()) {
        if (parser.optionNames().count(name) > 1)
            return usageError(u"option '--%1' given more than once"_qs.arg(name));
    }

    CommandLine line;
    if (parser.isSet(help)) {
        line.action = CommandLine::Action::Help;
        return line;
    }
    if (parser.isSet(version)) {
        line.action = CommandLine::Action::Version;
        return line;
    }
    if (!parser.isSet(batch))
        return usageError(u"'--batch FILE' is missing"_qs);
    line.action = CommandLine::Action::Batch;
    line.inputPath = parser.value(batch);
    if (line.inputPath.isEmpty())
        return usageError(u"'--batch' needs a file name or '-'"_qs);

    if (parser.isSet(server)) {
        const QString value = parser.value(server);
        if (value == u"auto") {
            line.serverMode = CommandLine::ServerMode::Auto;
        } else if (value == u"rdap") {
            line.serverMode = CommandLine::ServerMode::Rdap;
        } else if (!value.isEmpty() && value.size() <= 255
            && std::none_of(value.begin(), value.end(), [](QChar c) { return c.isSpace() || c.unicode() < 0x20; })) {
            line.serverMode = CommandLine::ServerMode::Host;
            line.serverHost = value;
        } else {
            return usageError(u"'--server' takes auto, rdap or a host name"_qs);
        }
    }
    if (parser.isSet(format)) {
        const QString value = parser.value(format);
        if (value == u"csv")
            line.format = CommandLine::Format::Csv;
        else if (value == u"json")
            line.format = CommandLine::Format::Json;
        else
            return usageError(u"'--format' takes csv or json, not '%1'"_qs.arg(value));
    }
    if (parser.isSet(output)) {
        line.outputPath = parser.value(output);
        if (line.outputPath.isEmpty())
            return usageError(u"'--output' needs a file name"_qs);
    }
    if (parser.isSet(interval)) {
        line.interval = readInterval(parser.value(interval));
        if (!line.interval)
            return usageError(u"'--interval' takes seconds from 0 to 3600, not '%1'"_qs.arg(parser.value(interval)));
    }
    return line;
}

QString commandLineHelp()
{
    return uR"(Usage: domquire [--batch FILE|- [OPTION]...]
Without options, opens the window. With --batch, looks up every key
(IPv4 and IPv6 addresses, AS numbers, domain names) found in FILE, or in
the standard input for '-', without a window, and writes one row per key.

  --batch FILE|-       read the keys from FILE, or from the standard input
  --server SERVER      auto (default): each key's own registry;
                       rdap: RDAP only; or the host name of a whois server
  --format csv|json    the output format (default: csv)
  --output FILE        write to FILE instead of the standard output
  --interval SECONDS   the least time between two queries to one server
                       (default: dq.ini's BatchWhoisInterval and
                       BatchRdapInterval, else 2 for whois, 1 for RDAP)
  --help               show this help and exit
  --version            show the version and exit

Progress goes to the standard error. Exit status: 0 when every key was
answered, 1 when some lookups failed, 2 for a usage error.
)"_qs;
}

QString commandLineVersion()
{
    return u"domquire " DQ_VERSION "\n"_qs;
}

QString commandLineUsageError(const QString &error)
{
    return u"domquire: %1\nTry 'domquire --help' for more information.\n"_qs.arg(error);
}
