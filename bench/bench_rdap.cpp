// Reading and rendering RDAP answers, as the query does once the body is
// complete: a 100 KB domain answer (the median of many runs); a 16 MiB
// answer of real shapes (contacts with jCards, name servers, events,
// remarks); a hostile 16 MiB answer, one wide array at the deepest nesting
// allowed; and 2 MB of contacts against as many RFC 9537 redactions. The
// peak memory of the 16 MiB ones is taken in a fresh process each, above
// what the process holds with the body in memory. Prints "name: value"
// lines.

#include "rdap/rdap_parser.h"
#include "rdap/rdap_text.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr qsizetype kAnswerBytes = 100 * 1000;
constexpr int kRuns = 201;
constexpr int kLargeRuns = 5;
constexpr qsizetype kLargeBytes = qsizetype(16) * 1024 * 1024 - 1024;
constexpr qsizetype kRedactionBytes = 2 * 1000 * 1000;
constexpr char kMemoryArgument[] = "--memory";

using Clock = std::chrono::steady_clock;

[[noreturn]] void fail(const char *why)
{
    std::fprintf(stderr, "bench_rdap: %s\n", why);
    std::exit(1);
}

// The test answer for example.info grown to kAnswerBytes with more
// nameservers, contacts and remarks of the same shape.
QByteArray LargeDomainAnswer()
{
    QFile file(u":/rdap/fixtures/domain_info.json"_qs);
    if (!file.open(QIODevice::ReadOnly))
        fail("no fixture");
    QJsonObject answer = QJsonDocument::fromJson(file.readAll()).object();
    const QJsonArray entities = answer.value(u"entities").toArray();
    QJsonArray nameservers = answer.value(u"nameservers").toArray();
    QJsonArray grownEntities = entities;
    QJsonArray remarks;
    for (int i = 0; QJsonDocument(answer).toJson(QJsonDocument::Compact).size() < kAnswerBytes;
         ++i) {
        nameservers.append(QJsonObject { { u"objectClassName"_qs, u"nameserver"_qs },
            { u"ldhName"_qs, u"ns%1.example.net"_qs.arg(i) } });
        grownEntities.append(entities.at(i % entities.size()));
        remarks.append(QJsonObject { { u"title"_qs, u"Remark %1"_qs.arg(i) },
            { u"description"_qs,
                QJsonArray { u"登録者の情報は非公開です。"_qs, u"See the terms."_qs } } });
        answer.insert(u"nameservers"_qs, nameservers);
        answer.insert(u"entities"_qs, grownEntities);
        answer.insert(u"remarks"_qs, remarks);
    }
    return QJsonDocument(answer).toJson(QJsonDocument::Compact);
}

// An object with one array member grown from `item` (with "%1" replaced by
// a running number) until the whole text reaches `bytes`.
QByteArray GrownAnswer(const QByteArray &head, const QByteArray &item, const QByteArray &tail,
    qsizetype bytes)
{
    QByteArray json;
    json.reserve(bytes + item.size() + 64);
    json += head;
    for (int i = 0; json.size() + item.size() + 16 + tail.size() < bytes; ++i) {
        QByteArray filled = item;
        json += filled.replace("%1", QByteArray::number(i));
        json += ',';
    }
    json.chop(1);
    return json + tail;
}

// A registry's domain answer of real shapes: a registrar with its abuse
// contact, contacts with full jCards, name servers with addresses, events
// and remarks, many times over.
QByteArray RealShapedAnswer()
{
    const QByteArray entity = R"({"objectClassName":"entity","handle":"C%1-EXAMPLE","roles":["Registrant","administrative"],)"
        R"("vcardArray":["vcard",[["version",{},"text","4.0"],["fn",{},"text","Taro Yamada %1"],)"
        R"(["org",{},"text","株式会社サンプル"],["adr",{},"text",["","","1-2-3 Otemachi","Chiyoda-ku","Tokyo","100-0004","JP"]],)"
        R"(["tel",{"type":["voice"]},"uri","tel:+81.312345678"],["tel",{"type":["fax"]},"uri","tel:+81.312345679"],)"
        R"(["email",{},"text","taro%1@example.jp"]]],"status":["validated"],)"
        R"("remarks":[{"title":"Unvalidated POC","description":["Contact %1 has not answered since 2019."]}],)"
        R"("events":[{"eventAction":"last changed","eventDate":"2024-01-02T03:04:05Z"}],)"
        R"("links":[{"rel":"self","href":"https://rdap.example.net/entity/C%1-EXAMPLE","type":"application/rdap+json"}],)"
        R"("entities":[{"objectClassName":"entity","roles":["abuse"],"vcardArray":["vcard",[["version",{},"text","4.0"],)"
        R"(["fn",{},"text","Abuse Desk"],["email",{},"text","abuse@example.net"]]]}]})";
    const QByteArray head = R"({"rdapConformance":["rdap_level_0","redacted"],"objectClassName":"domain",)"
        R"("handle":"D1-EXAMPLE","ldhName":"example.info","status":["client transfer prohibited"],)"
        R"("nameservers":[{"objectClassName":"nameserver","ldhName":"ns1.example.net","ipAddresses":{"v4":["192.0.2.1"]}}],)"
        R"("events":[{"eventAction":"registration","eventDate":"2001-07-31T10:34:12.000+00:00"}],)"
        R"("redacted":[{"name":{"type":"Registrant Phone"},"method":"removal"}],)"
        R"("notices":[{"title":"Terms of Use","description":["Service subject to Terms of Use."]}],)"
        R"("entities":[)";
    return GrownAnswer(head, entity, "]}", kLargeBytes);
}

// One array of zeros at the deepest nesting the parser accepts.
QByteArray HostileAnswer()
{
    const int depth = kMaxRdapNesting - 1;
    return GrownAnswer("{\"a\":" + QByteArray(depth, '['), "0", QByteArray(depth, ']') + '}',
        kLargeBytes);
}

// Half contacts, half RFC 9537 redactions naming their role.
QByteArray RedactionsAnswer()
{
    const QByteArray contacts = GrownAnswer(R"({"objectClassName":"domain","entities":[)",
        R"({"objectClassName":"entity","handle":"R%1","roles":["registrant"],"vcardArray":["vcard",[["fn",{},"text",""]]]})",
        "]", kRedactionBytes / 2);
    return GrownAnswer(contacts + R"(,"redacted":[)",
        R"({"name":{"type":"Registrant Name"},"method":"emptyValue"})", "]}", kRedactionBytes);
}

QByteArray Answer(const QByteArray &kind)
{
    if (kind == "render")
        return RealShapedAnswer();
    if (kind == "hostile")
        return HostileAnswer();
    fail("unknown answer");
}

qsizetype Rendered(const QByteArray &json)
{
    const std::optional<RdapRecord> record = parseRdapRecord(json);
    if (!record)
        fail("the answer did not parse");
    return renderRdapText(*record, json).size();
}

double MedianMs(const QByteArray &json, int runs)
{
    std::vector<double> milliseconds;
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        if (Rendered(json) == 0)
            fail("nothing rendered");
        const std::chrono::duration<double, std::milli> elapsed = Clock::now() - start;
        milliseconds.push_back(elapsed.count());
    }
    std::nth_element(milliseconds.begin(), milliseconds.begin() + runs / 2, milliseconds.end());
    return milliseconds[runs / 2];
}

double StatusKb(const QByteArray &field)
{
    QFile status(u"/proc/self/status"_qs);
    if (!status.open(QIODevice::ReadOnly))
        fail("no /proc/self/status");
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).simplified().split(' ').first().toDouble();
    }
    fail("no memory figure in /proc/self/status");
}

// In a fresh process: the peak resident memory of one parse and render in
// MB, above what the process holds once the body is built (the peak is
// reset then through clear_refs).
int MeasureMemory(const QByteArray &kind)
{
    const QByteArray json = Answer(kind);
    QFile clear(u"/proc/self/clear_refs"_qs);
    if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1)
        fail("cannot reset the peak memory figure");
    clear.close();
    const double baseKb = StatusKb("VmRSS");
    const std::optional<RdapRecord> record = parseRdapRecord(json);
    if (!record)
        fail("the answer did not parse");
    const QString text = renderRdapText(*record, json);
    std::printf("%.1f %lld\n", (StatusKb("VmHWM") - baseKb) / 1024,
        static_cast<long long>(json.size()));
    return text.isEmpty() ? 1 : 0;
}

// The peak memory in MB and the body's size, from a child process.
std::pair<double, double> ChildMemory(const char *kind)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
        { QString::fromLatin1(kMemoryArgument), QString::fromLatin1(kind) });
    const bool finished = child.waitForFinished(-1) && child.exitStatus() == QProcess::NormalExit
        && child.exitCode() == 0;
    const QList<QByteArray> fields = child.readAllStandardOutput().simplified().split(' ');
    if (!finished || fields.size() != 2)
        fail("a memory run failed");
    return { fields.at(0).toDouble(), fields.at(1).toDouble() };
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc > 2 && qstrcmp(argv[1], kMemoryArgument) == 0)
        return MeasureMemory(argv[2]);

    const QByteArray json = LargeDomainAnswer();
    std::printf("rdap_render_ms: %.2f\n", MedianMs(json, kRuns));
    std::printf("rdap_render_bytes: %lld\n", static_cast<long long>(json.size()));

    for (const char *kind : { "render", "hostile" }) {
        std::printf("rdap_%s_16mb_ms: %.0f\n", kind, MedianMs(Answer(kind), kLargeRuns));
        const auto [peakMb, bytes] = ChildMemory(kind);
        std::printf("rdap_%s_16mb_rss_mb: %.1f\n", kind, peakMb);
        std::printf("rdap_%s_16mb_bytes_per_byte: %.2f\n", kind, peakMb * 1024 * 1024 / bytes);
    }
    std::printf("rdap_redactions_2mb_ms: %.1f\n", MedianMs(RedactionsAnswer(), kLargeRuns));
    return 0;
}
