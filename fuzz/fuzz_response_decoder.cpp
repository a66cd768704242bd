// Feeds random answers to ResponseDecoder in random chunks and aborts when
// the text differs from that of the answer decoded as one chunk, or holds
// more UTF-16 units than the answer has bytes.
//
// Input: byte 0 is the largest chunk size less one; bytes 1-4 seed the chunk
// sizes; the rest is the answer.

#include "query/response_decoder.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace {

QString decodeInOneChunk(QByteArrayView answer)
{
    ResponseDecoder decoder;
    decoder.reset();
    QString text = decoder.decode(answer);
    text += decoder.flush();
    return text;
}

QString decodeInChunks(QByteArrayView answer, std::uint32_t seed, qsizetype largestChunk)
{
    std::minstd_rand sizes(seed);
    ResponseDecoder decoder;
    decoder.reset();
    QString text;
    qsizetype at = 0;
    while (at < answer.size()) {
        const qsizetype size =
            std::min(static_cast<qsizetype>(sizes() % static_cast<unsigned>(largestChunk + 1)),
                answer.size() - at);
        text += decoder.decode(answer.sliced(at, size));
        at += size;
    }
    text += decoder.flush();
    return text;
}

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "fuzz_response_decoder: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    constexpr std::size_t kHeader = 5;
    if (size < kHeader)
        return 0;
    const qsizetype largestChunk = data[0] + 1;
    const std::uint32_t seed =
        data[1] | data[2] << 8 | data[3] << 16 | std::uint32_t(data[4]) << 24;
    const QByteArrayView answer(data + kHeader, static_cast<qsizetype>(size - kHeader));

    const QString whole = decodeInOneChunk(answer);
    if (whole.size() > answer.size())
        fail("more UTF-16 units than bytes");
    if (decodeInChunks(answer, seed, largestChunk) != whole)
        fail("the chunks decode to other text than the whole answer");
    return 0;
}
