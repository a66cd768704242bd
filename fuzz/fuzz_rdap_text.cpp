// Parses random RDAP answers and renders those that parse, as the window
// would. Memory errors, leaks and time-outs are what it looks for; it
// aborts only when a rendered text holds a NUL, which the view would cut.
//
// Input: the answer's bytes.

#include "rdap/rdap_parser.h"
#include "rdap/rdap_text.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView json(data, static_cast<qsizetype>(size));
    const std::optional<RdapRecord> record = ParseRdapRecord(json);
    if (!record)
        return 0;
    if (RenderRdapText(*record, json).contains(QChar(u'\0'))) {
        std::fprintf(stderr, "fuzz_rdap_text: a NUL in the rendered text\n");
        std::abort();
    }
    return 0;
}
