// Parses random RDAP answers and renders those that parse, as the window
// would. Memory errors, leaks and time-outs are what it looks for; it
// aborts when a rendered text holds a NUL, which the view would cut, and
// when the answer is read or refused where QJsonDocument would do the
// other.
//
// Input: the answer's bytes.

#include "rdap/rdap_json.h"
#include "rdap/rdap_parser.h"
#include "rdap/rdap_text.h"

#include <QJsonDocument>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView json(data, static_cast<qsizetype>(size));
    const std::optional<RdapRecord> record = parseRdapRecord(json);
    QJsonParseError error {};
    const bool qtReads = jsonNestingDepth(json) <= kMaxRdapNesting
        && QJsonDocument::fromJson(QByteArray::fromRawData(json.data(), json.size()), &error)
               .isObject()
        && error.error == QJsonParseError::NoError;
    if (record.has_value() != qtReads) {
        std::fprintf(stderr, "fuzz_rdap_text: %s where QJsonDocument %s\n",
            record ? "read" : "refused", qtReads ? "reads" : "refuses");
        std::abort();
    }
    if (!record)
        return 0;
    if (renderRdapText(*record, json).contains(QChar(u'\0'))) {
        std::fprintf(stderr, "fuzz_rdap_text: a NUL in the rendered text\n");
        std::abort();
    }
    return 0;
}
