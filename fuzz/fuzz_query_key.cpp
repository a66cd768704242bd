// Reads random keys and aborts when a key longer than the limit is read at
// all, when a shorter one is refused as too long, or when what it is read as
// does not hold together: an address kind without an address, a line with
// a line break that the key did not have.
//
// Input: the key in UTF-8.

#include "selection/query_key.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "fuzz_query_key: %s\n", what);
    std::abort();
}

bool holdsLineBreak(const QString &text)
{
    return text.contains(u'\r') || text.contains(u'\n');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString keyText =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QueryKey key = readQueryKey(keyText);
    if (key.tooLong != (keyText.size() > QueryKey::kMaxChars))
        fail("the length limit");
    if (key.tooLong) {
        if (!key.line.isEmpty() || key.kind != QueryKey::Kind::Name)
            fail("a key past the limit was read");
        return 0;
    }
    const bool addressKind = key.kind == QueryKey::Kind::IPv4 || key.kind == QueryKey::Kind::IPv6;
    if (addressKind == key.address.isNull())
        fail("the address and the kind disagree");
    const int widestPrefix = key.kind == QueryKey::Kind::IPv6 ? 128
        : key.kind == QueryKey::Kind::IPv4                   ? 32
                                                             : -1;
    if (key.prefixLength > widestPrefix)
        fail("a prefix length out of place");
    if (holdsLineBreak(key.line) && !holdsLineBreak(keyText))
        fail("a line break the key did not have");
    return 0;
}
