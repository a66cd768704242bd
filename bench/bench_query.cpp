// Whois queries through the real main window at its default size on the
// offscreen platform: answers of 1 MB and 10 MB ASCII and 10 MB ISO-2022-JP
// from a loopback server in 64 KiB writes, timed from the Whois click to the
// history push, beside one setPlainText of the same text into a plain text
// box of the pane's size in the same run; the longest stall of the event
// loop during a 10 MB answer; a 10 MB answer without a line break; 8 MB of
// bare line feeds and the largest accepted answer (just under 64 MiB) with
// the memory they take above the idle window, each in a fresh process, and
// a find through the latter; and the start-up time of a fresh process to
// the painted, idle window. Prints "name: value" lines.
//
// With --a11y, everything runs with accessibility active, as when a screen
// reader is attached, and each name ends in "_a11y".

#include "japanese_whois_text.h"
#include "selection/whois_hosts.h"
#include "support/active_accessibility.h"
#include "support/whois_test_server.h"
#include "window/frm_whois.h"
#include "window/result_view.h"
#include "window/twips.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace {

using Clock = std::chrono::steady_clock;

constexpr qsizetype kWriteBytes = 64 * 1024;
constexpr qsizetype kOneMb = 1'000'000;
constexpr qsizetype kTenMb = 10'000'000;
constexpr int kRounds = 5;
constexpr int kStartupRuns = 5;
constexpr char kStartupArgument[] = "--startup";
constexpr qsizetype kEightMb = 8'000'000;
constexpr qsizetype kLargestAnswer = qsizetype(64) * 1024 * 1024 - 1;
constexpr char kMemoryArgument[] = "--memory";
// The size a window opens with when no size is stored.
constexpr float kWindowWidthTwips = 9000;
constexpr float kWindowHeightTwips = 7000;
// The text that the find looks for, at the very end of the largest answer.
constexpr char kFindMark[] = "Last line of the answer: FINDMARK";

const QString kIdle = u"アイドル中"_qs;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The best of several rounds: on a shared machine other work only ever adds
// time, so the shortest round is the closest to the cost of the work itself.
double best(const QList<double> &values)
{
    return *std::min_element(values.begin(), values.end());
}

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "bench_query: %s\n", what);
    std::exit(1);
}

constexpr char kAccessibleArgument[] = "--a11y";
bool g_accessible = false;

// The arguments a child process of this run gets after its own.
QStringList childArguments(QStringList arguments)
{
    if (g_accessible)
        arguments.append(QString::fromLatin1(kAccessibleArgument));
    return arguments;
}

// Turns accessibility on in a run with --a11y.
void startApplication()
{
    if (g_accessible && !ActivateAccessibility())
        fail("accessibility cannot be turned on");
}

void printFigure(const char *name, double value, int decimals = 1)
{
    std::printf("%s%s: %.*f\n", name, g_accessible ? "_a11y" : "", decimals, value);
}

// About size bytes of a registrar's whois answer in ASCII: blocks of
// "Label: value" lines with varying names, dates and addresses.
QByteArray asciiWhoisText(qsizetype size)
{
    std::mt19937 rng(43);
    const auto number = [&rng](int digits) {
        return QByteArray::number(static_cast<qulonglong>(rng() % 1'000'000'000u))
            .rightJustified(digits, '0')
            .right(digits);
    };
    QByteArray bytes;
    bytes.reserve(size + 1024);
    while (bytes.size() < size) {
        const QByteArray domain = "EXAMPLE" + number(6) + ".COM";
        bytes += "   Domain Name: " + domain + "\r\n";
        bytes += "   Registry Domain ID: " + number(9) + "_DOMAIN_COM-VRSN\r\n";
        bytes += "   Registrar WHOIS Server: whois.registrar" + number(3) + ".example\r\n";
        bytes += "   Updated Date: 20" + number(2) + "-0" + number(1) + "-1" + number(1) + "T0"
            + number(1) + ":1" + number(1) + ":2" + number(1) + "Z\r\n";
        bytes += "   Registrar IANA ID: " + number(4) + "\r\n";
        bytes += "   Registrar Abuse Contact Phone: +1." + number(10) + "\r\n";
        bytes += "   Name Server: NS" + number(1) + ".HOSTING" + number(3) + ".NET\r\n";
        bytes += "   DNSSEC: unsigned\r\n";
        bytes += ">>> Last update of whois database: 20" + number(2) + "-1" + number(1) + "-2"
            + number(1) + "T1" + number(1) + ":0" + number(1) + ":3" + number(1) + "Z <<<\r\n\r\n";
    }
    return bytes;
}

// One answer as the server writes it, and as the pane must show it: as
// decoded, every character kept.
struct Answer {
    QList<QByteArray> writes;
    QString shown;

    Answer(const QByteArray &bytes, const QString &text) : shown(text)
    {
        for (qsizetype at = 0; at < bytes.size(); at += kWriteBytes)
            writes.append(bytes.sliced(at, std::min(kWriteBytes, bytes.size() - at)));
    }
};

// Records the longest time the event loop went without turning, from
// start() until stop(): a zero-time timer fires once each turn.
class StallProbe {
public:
    StallProbe()
    {
        m_turn.setInterval(0);
        QObject::connect(&m_turn, &QTimer::timeout, [this] { noteTurn(); });
    }

    void start()
    {
        m_longestMs = 0;
        m_last = Clock::now();
        m_turn.start();
    }
    void stop()
    {
        noteTurn();
        m_turn.stop();
    }
    double longestMs() const { return m_longestMs; }

private:
    void noteTurn()
    {
        m_longestMs = std::max(m_longestMs, msSince(m_last));
        m_last = Clock::now();
    }

    QTimer m_turn;
    Clock::time_point m_last;
    double m_longestMs = 0;
};

// The main window with its queries routed to a loopback server.
class QueryBench {
public:
    QueryBench() : m_window(WhoisRoute { m_server.port(), u"127.0.0.1"_qs }, m_dir.path())
    {
        if (!m_dir.isValid())
            fail("no temporary folder");
        m_window.setWarningPresenter([](const QString &text) {
            std::fprintf(stderr, "warning: %s\n", qPrintable(text));
            fail("the query showed a warning");
        });
        m_server.setPauseBetweenWrites(0);
        m_window.show();
        checkWindowSize();
        m_input->setText(u"example.com"_qs);
        m_plain.setLineWrapMode(QPlainTextEdit::NoWrap);
        m_plain.setUndoRedoEnabled(false);
        m_plain.setFont(m_pane->font());
        m_plain.resize(m_pane->size());
        m_plain.show();
    }

    // Milliseconds from the Whois click to the end of the query, whose
    // history push comes just before the status turns idle.
    // Fails unless the pane shows the whole answer then.
    double query(const Answer &answer, QStringView host, StallProbe *probe = nullptr)
    {
        m_server.answerWith(answer.writes);
        m_combo->setEditText(host.toString());
        if (probe)
            probe->start();
        const auto start = Clock::now();
        m_ok->click();
        while (!isIdle())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const double ms = msSince(start);
        if (probe)
            probe->stop();
        if (m_pane->text() != answer.shown)
            fail("the pane does not show the answer");
        return ms;
    }

    void clearPane() { m_pane->clear(); }

    // Qt's own one-shot: the whole text into a plain text box of the pane's size.
    double setPlainText(const QString &text)
    {
        const auto start = Clock::now();
        m_plain.setPlainText(text);
        const double ms = msSince(start);
        // What the box would still do with the text later is not the pane's.
        m_plain.clear();
        QCoreApplication::processEvents();
        return ms;
    }

    // Milliseconds from asking for the next match of the text to the match
    // being selected; fails unless it is.
    double find(const QString &text, StallProbe &probe)
    {
        m_pane->findChild<QLineEdit *>(u"findText"_qs)->setText(text);
        bool finished = false;
        const QMetaObject::Connection done =
            QObject::connect(m_pane, &ResultView::searchFinished, [&finished] { finished = true; });
        probe.start();
        const auto start = Clock::now();
        m_pane->find(true);
        while (!finished)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const double ms = msSince(start);
        probe.stop();
        QObject::disconnect(done);
        if (m_pane->selectedText() != text)
            fail("the find did not select the match");
        return ms;
    }

private:
    // The pane's work grows with its size, so the window must have the
    // size it opens with before anything is measured.
    void checkWindowSize() const
    {
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        while (!(m_window.windowHandle() && m_window.windowHandle()->isExposed())) {
            if (Clock::now() > deadline)
                fail("the window was not shown");
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        QCoreApplication::processEvents();
        const int dpi = m_window.logicalDpiX();
        const QSize expected(
            Twips::toPixels(kWindowWidthTwips, dpi), Twips::toPixels(kWindowHeightTwips, dpi));
        const QSize outer = m_window.frameGeometry().size();
        if (outer != expected) {
            std::fprintf(stderr, "window %dx%d, expected %dx%d\n", outer.width(), outer.height(),
                expected.width(), expected.height());
            fail("the window does not have the size it opens with");
        }
    }

    bool isIdle() const { return m_ok->isEnabled() && m_status->text() == kIdle; }

    template<typename T> T *find(const QString &name) const
    {
        T *child = m_window.findChild<T *>(name);
        if (!child)
            fail("a control of the window is missing");
        return child;
    }

    QTemporaryDir m_dir;
    WhoisTestServer m_server;
    frmWhois m_window;
    QLineEdit *m_input = find<QLineEdit>(u"txtInput"_qs);
    QComboBox *m_combo = find<QComboBox>(u"cboServer"_qs);
    QPushButton *m_ok = find<QPushButton>(u"cmdOK"_qs);
    ResultView *m_pane = find<ResultView>(u"rtbResult"_qs);
    QLabel *m_status = find<QStatusBar>(u"stbMain"_qs)->findChild<QLabel *>();
    QPlainTextEdit m_plain;
};

// The best time of the rounds of one answer, each begun with an empty pane
// like the setPlainText it is compared with.
double bestQueryMs(QueryBench &bench, const Answer &answer, QStringView host)
{
    QList<double> times;
    for (int round = 0; round < kRounds; ++round) {
        bench.clearPane();
        times.append(bench.query(answer, host));
    }
    return best(times);
}

// Child process: the program's start-up up to the shown window, painted and
// with the event loop turned once after the paint; prints milliseconds.
int measureStartup(Clock::time_point start, int argc, char **argv)
{
    QApplication app(argc, argv);
    startApplication();
    QTranslator toolkitTexts;
    if (toolkitTexts.load(u"qtbase_ja"_qs, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&toolkitTexts);

    QTemporaryDir dir;
    frmWhois window({}, dir.path());
    struct FirstPaint : QObject {
        const QWidget *window;
        explicit FirstPaint(const QWidget *shown) : window(shown) { }
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            const auto *widget = qobject_cast<QWidget *>(watched);
            if (event->type() == QEvent::Paint && widget && widget->window() == window
                && window->windowHandle() && window->windowHandle()->isExposed()) {
                QCoreApplication::instance()->removeEventFilter(this);
                QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
            }
            return false;
        }
    } firstPaint(&window);
    app.installEventFilter(&firstPaint);
    window.show();
    if (QApplication::exec() != 0)
        return 1;
    std::printf("%.1f\n", msSince(start));
    return 0;
}

// The resident memory of this process in MB, current or peak.
double residentMb(QByteArrayView field)
{
    QFile status(u"/proc/self/status"_qs);
    if (!status.open(QIODevice::ReadOnly))
        fail("no /proc/self/status");
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(field.size() + 1).trimmed().split(' ').first().toDouble() * 1024 / 1e6;
    }
    fail("no memory figure in /proc/self/status");
}

// Lets the peak resident memory start again from the current one.
void resetPeakMemory()
{
    QFile clearRefs(u"/proc/self/clear_refs"_qs);
    if (!clearRefs.open(QIODevice::WriteOnly) || clearRefs.write("5") != 1)
        fail("cannot reset the peak memory");
}

// The largest answer the query accepts, in normal lines, ending in a line
// that occurs nowhere else.
QByteArray largestAnswer()
{
    const QByteArray end = QByteArray(kFindMark) + "\r\n";
    QByteArray bytes = asciiWhoisText(kLargestAnswer);
    bytes.truncate(bytes.lastIndexOf('\n', kLargestAnswer - end.size() - 1) + 1);
    return bytes + end;
}

// Child process: one answer into a fresh window: "newlines" 8 MB of bare
// line feeds, "largest" the largest answer followed by a find of its last
// line. Prints the best milliseconds of several queries, the longest stall
// and the peak memory above the idle window in MB of the first, and for the
// find the best milliseconds and the best round's longest stall.
int measureMemory(const char *kind, int argc, char **argv)
{
    QApplication app(argc, argv);
    startApplication();
    const bool largest = qstrcmp(kind, "largest") == 0;
    const QByteArray bytes = largest ? largestAnswer() : QByteArray(kEightMb, '\n');
    const Answer answer(bytes, QString::fromLatin1(bytes));
    QueryBench bench;
    QCoreApplication::processEvents();
    const double idleMb = residentMb("VmRSS");
    resetPeakMemory();
    StallProbe probe;
    bench.query(answer, WhoisHost::kVeriSign, &probe);
    const double peakMb = residentMb("VmHWM") - idleMb;
    // The time comes from further queries without the probe's extra turns.
    const double ms = bestQueryMs(bench, answer, WhoisHost::kVeriSign);
    std::printf("%.1f %.1f %.1f", ms, probe.longestMs(), peakMb);
    if (largest) {
        // Each find wraps around the whole text from the match before. Like
        // the times, the stalls are the best round's: other work on the
        // machine only ever lengthens them.
        QList<double> times;
        QList<double> stalls;
        for (int round = 0; round < kRounds; ++round) {
            times.append(bench.find(QString::fromLatin1(kFindMark), probe));
            stalls.append(probe.longestMs());
        }
        std::printf(" %.1f %.1f", best(times), best(stalls));
    }
    std::printf("\n");
    return 0;
}

// The figures a child process printed for one kind of answer.
QList<double> memoryFigures(const char *kind, qsizetype count)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
        childArguments({ QString::fromLatin1(kMemoryArgument), QString::fromLatin1(kind) }));
    const bool finished = child.waitForFinished(-1) && child.exitStatus() == QProcess::NormalExit
        && child.exitCode() == 0;
    QList<double> figures;
    for (const QByteArray &field : child.readAllStandardOutput().simplified().split(' ')) {
        bool isNumber = false;
        figures.append(field.toDouble(&isNumber));
        if (!isNumber)
            fail("a memory run printed no number");
    }
    if (!finished || figures.size() != count)
        fail("a memory run failed");
    return figures;
}

// The best start-up time of fresh processes of this program.
double bestStartupMs()
{
    QList<double> times;
    for (int run = 0; run < kStartupRuns; ++run) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
            childArguments({ QString::fromLatin1(kStartupArgument) }));
        const bool finished = child.waitForFinished(-1)
            && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
        bool isNumber = false;
        const double ms = child.readAllStandardOutput().trimmed().toDouble(&isNumber);
        if (!finished || !isNumber)
            fail("the start-up run failed");
        times.append(ms);
    }
    return best(times);
}

} // namespace

int main(int argc, char **argv)
{
    const auto start = Clock::now();
    g_accessible = argc > 1 && qstrcmp(argv[argc - 1], kAccessibleArgument) == 0;
    if (argc > 1 && qstrcmp(argv[1], kStartupArgument) == 0)
        return measureStartup(start, argc, argv);
    if (argc > 2 && qstrcmp(argv[1], kMemoryArgument) == 0)
        return measureMemory(argv[2], argc, argv);

    QApplication app(argc, argv);
    startApplication();
    const double startupMs = bestStartupMs();

    const QByteArray ascii10 = asciiWhoisText(kTenMb);
    const QByteArray ascii1 = ascii10.left(ascii10.lastIndexOf('\n', kOneMb) + 1);
    const QByteArray jis10 = JapaneseWhoisText(kTenMb);
    const Answer asciiAnswer1(ascii1, QString::fromLatin1(ascii1));
    const Answer asciiAnswer10(ascii10, QString::fromLatin1(ascii10));
    const Answer jisAnswer10(jis10, QStringDecoder("ISO-2022-JP").decode(jis10));
    QByteArray oneLine10 = ascii10;
    std::replace_if(
        oneLine10.begin(), oneLine10.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    const Answer oneLineAnswer10(oneLine10, QString::fromLatin1(oneLine10));

    QueryBench bench;
    const QString verisign = WhoisHost::kVeriSign.toString();
    const QString jpnic = WhoisHost::kJpnic.toString();
    const double query1 = bestQueryMs(bench, asciiAnswer1, verisign);
    const double query10 = bestQueryMs(bench, asciiAnswer10, verisign);
    const double queryJis10 = bestQueryMs(bench, jisAnswer10, jpnic);

    QList<double> setTimes;
    for (int round = 0; round < kRounds; ++round) {
        bench.clearPane();
        setTimes.append(bench.setPlainText(asciiAnswer10.shown));
    }
    const double setPlainText10 = best(setTimes);

    // Queries as the user makes them: the pane still holds the last text.
    StallProbe probe;
    bench.query(asciiAnswer10, verisign, &probe);
    const double asciiStall = probe.longestMs();
    bench.query(jisAnswer10, jpnic, &probe);
    const double maxStall = std::max(asciiStall, probe.longestMs());

    const double queryOneLine10 = bestQueryMs(bench, oneLineAnswer10, verisign);
    bench.query(oneLineAnswer10, verisign, &probe);
    const double oneLineStall = probe.longestMs();
    const QList<double> newlines = memoryFigures("newlines", 3);
    const QList<double> largest = memoryFigures("largest", 5);

    printFigure("startup_ms", startupMs);
    printFigure("query_1mb_ms", query1);
    printFigure("query_10mb_ms", query10);
    printFigure("query_10mb_jis_ms", queryJis10);
    printFigure("setplaintext_10mb_ms", setPlainText10);
    printFigure("ratio_vs_setplaintext", query10 / setPlainText10, 2);
    printFigure("max_stall_ms", maxStall);
    printFigure("query_10mb_oneline_ms", queryOneLine10);
    printFigure("max_stall_oneline_ms", oneLineStall);
    printFigure("query_8mb_newlines_ms", newlines[0]);
    printFigure("max_stall_8mb_newlines_ms", newlines[1]);
    printFigure("rss_8mb_newlines_mb", newlines[2]);
    printFigure("query_64mb_ms", largest[0]);
    printFigure("max_stall_64mb_ms", largest[1]);
    printFigure("rss_64mb_mb", largest[2]);
    printFigure("find_64mb_ms", largest[3]);
    printFigure("max_stall_find_64mb_ms", largest[4]);
    return 0;
}
