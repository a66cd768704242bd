#include "batch_command.h"
#include "batch/command_line.h"
#include "encoding/code_page_932.h"
#include "rdap/registry_refresh.h"
#include "window/frm_whois.h"
#include "window/product_info.h"
#include "window/registry_commands.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>

#include <cstdio>

namespace {

void print(FILE *stream, const QString &text)
{
    std::fputs(qPrintable(text), stream);
}

// Checks that the codec for keys and answers is there; without it every
// Japanese character would turn silently into U+FFFD.
QString missingCodecMessage()
{
    if (CodePage932::codecAvailable())
        return {};
    return u"この Qt には文字コード \"%1\" (Shift_JIS) の変換がないため、"
           u"Domquire を起動できません。ICU を使う Qt が必要です。"_qs.arg(
               QLatin1StringView(CodePage932::kCodecName));
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const CommandLine commandLine = parseCommandLine(arguments);
    switch (commandLine.action) {
    case CommandLine::Action::Help:
        print(stdout, commandLineHelp());
        return 0;
    case CommandLine::Action::Version:
        print(stdout, commandLineVersion());
        return 0;
    case CommandLine::Action::UsageError:
        print(stderr, commandLineUsageError(commandLine.error));
        return CommandLine::kUsageErrorStatus;
    case CommandLine::Action::Batch: {
        // No display is needed: the batch runs under the core application.
        const QCoreApplication app(argc, argv);
        if (const QString message = missingCodecMessage(); !message.isEmpty()) {
            print(stderr, message + u'\n');
            return 1;
        }
        return runBatchCommand(commandLine);
    }
    case CommandLine::Action::Window:
        break;
    }

    QApplication app(argc, argv);
    // The per-user settings folder is named after the application alone
    // (~/.config/Domquire); the desktop entry ties the window to its icon.
    QApplication::setApplicationName(kProductName.toString());
    QGuiApplication::setDesktopFileName(u"domquire"_qs);

    // The toolkit's own texts (context menus, message box buttons, socket
    // errors) in Japanese, like the rest of the program, where installed.
    QTranslator toolkitTexts;
    if (toolkitTexts.load(u"qtbase_ja"_qs, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&toolkitTexts);

    // Keys go out and answers come in as code page 932.
    if (const QString message = missingCodecMessage(); !message.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
        QMessageBox::critical(nullptr, u"Domquire"_qs, message);
        return 1;
    }

    // IANA's registry data: the cached copy in use from the first lookup on,
    // refreshed in the background.
    RegistryRefresh registryRefresh(RegistryCache::defaultFolder());
    frmWhois window;
    const RegistryCommands registryCommands(
        window, registryRefresh, findFileFolders(programFolder()).settings);
    window.show();
    return QApplication::exec();
}
