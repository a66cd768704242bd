#pragma once

#include "batch/command_line.h"

// Runs `--batch` without a window: reads the keys from the file or the
// standard input, looks them up with progress on the standard error, and
// writes the export to the standard output or the file. Needs a running
// QCoreApplication's event loop; returns the exit status: 0 when every key
// was answered, 1 when some failed or nothing could be read or written.
int runBatchCommand(const CommandLine &commandLine);
