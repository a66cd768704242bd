// Reading and rendering a 100 KB RDAP domain answer, as the query does once
// the body is complete: the median of many runs. Prints "name: value" lines.

#include "rdap/rdap_parser.h"
#include "rdap/rdap_text.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr qsizetype kAnswerBytes = 100 * 1000;
constexpr int kRuns = 201;

using Clock = std::chrono::steady_clock;

// The test answer for example.info grown to kAnswerBytes with more
// nameservers, contacts and remarks of the same shape.
QByteArray LargeDomainAnswer()
{
    QFile file(u":/rdap/fixtures/domain_info.json"_qs);
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
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

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QByteArray json = LargeDomainAnswer();
    std::vector<double> milliseconds;
    qsizetype shown = 0;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = Clock::now();
        const std::optional<RdapRecord> record = ParseRdapRecord(json);
        if (!record)
            std::abort();
        shown += RenderRdapText(*record, json).size();
        const std::chrono::duration<double, std::milli> elapsed = Clock::now() - start;
        milliseconds.push_back(elapsed.count());
    }
    if (shown == 0)
        std::abort();
    std::nth_element(milliseconds.begin(), milliseconds.begin() + kRuns / 2, milliseconds.end());
    std::printf("rdap_render_ms: %.2f\n", milliseconds[kRuns / 2]);
    std::printf("rdap_render_bytes: %lld\n", static_cast<long long>(json.size()));
    return 0;
}
