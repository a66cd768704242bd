#pragma once

#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

// What the command line asks for. Without any argument that begins with
// "--" it asks for the window, and the arguments stay for the toolkit
// (its own options begin with one dash: -platform, -style).
struct CommandLine {
    enum class Action { Window, Batch, Help, Version, UsageError };
    enum class ServerMode { Auto, Rdap, Host };
    enum class Format { Csv, Json };

    Action action = Action::Window;
    QString inputPath; // "-" for the standard input
    ServerMode serverMode = ServerMode::Auto;
    QString serverHost; // ServerMode::Host
    Format format = Format::Csv;
    QString outputPath; // empty for the standard output
    // The least time between two lookups on one server, for whois and RDAP
    // alike; none for the settings' intervals.
    std::optional<std::chrono::milliseconds> interval;
    QString error; // UsageError: what is wrong, one line

    // The exit status of a usage error.
    static constexpr int kUsageErrorStatus = 2;
};

// Reads the arguments; the first one is the program.
CommandLine parseCommandLine(const QStringList &arguments);

// The texts of --help, --version and of a usage error, each ending in a
// line break.
QString commandLineHelp();
QString commandLineVersion();
QString commandLineUsageError(const QString &error);
