// Throughput of ResponseDecoder on 10 MB of Japanese ISO-2022-JP text and
// 10 MB of UTF-8 text, fed in 64 KiB chunks, against iconv on the same
// ISO-2022-JP bytes in the same run. Prints "name: value" lines.

#include "japanese_whois_text.h"
#include "query/response_decoder.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStringDecoder>
#include <QTemporaryFile>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr qsizetype kTextBytes = 10'000'000;
constexpr qsizetype kChunkBytes = 64 * 1024;
constexpr int kRounds = 5;

using Clock = std::chrono::steady_clock;

// Feeds bytes to a decoder in 64 KiB chunks, as the connection would, and
// hands every piece of text to take.
template<typename Take> void decodeInChunks(const QByteArray &bytes, Take take)
{
    ResponseDecoder decoder;
    decoder.reset();
    for (qsizetype at = 0; at < bytes.size(); at += kChunkBytes)
        take(decoder.decode(
            QByteArrayView(bytes).sliced(at, std::min(kChunkBytes, bytes.size() - at))));
    take(decoder.flush());
}

QString decodedText(const QByteArray &bytes)
{
    QString text;
    decodeInChunks(bytes, [&](const QString &piece) { text += piece; });
    return text;
}

// The best throughput in MB/s of decoding without keeping the text.
double decodeMbPerSecond(const QByteArray &bytes)
{
    double best = 0;
    qsizetype units = 0;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = Clock::now();
        decodeInChunks(bytes, [&](const QString &piece) { units += piece.size(); });
        const std::chrono::duration<double> seconds = Clock::now() - start;
        best = std::max(best, bytes.size() / 1e6 / seconds.count());
    }
    if (units == 0)
        std::abort();
    return best;
}

double iconvMbPerSecond(const QByteArray &bytes)
{
    QTemporaryFile file;
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush())
        std::abort();
    double best = 0;
    for (int round = 0; round < kRounds; ++round) {
        QProcess iconv;
        iconv.setStandardOutputFile(QProcess::nullDevice());
        const auto start = Clock::now();
        iconv.start(u"/usr/bin/iconv"_qs,
            { u"-f"_qs, u"ISO-2022-JP"_qs, u"-t"_qs, u"UTF-16LE"_qs, file.fileName() });
        if (!iconv.waitForFinished(-1) || iconv.exitStatus() != QProcess::NormalExit
            || iconv.exitCode() != 0) {
            std::fprintf(stderr, "iconv failed\n");
            std::exit(1);
        }
        const std::chrono::duration<double> seconds = Clock::now() - start;
        best = std::max(best, bytes.size() / 1e6 / seconds.count());
    }
    return best;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);

    const QByteArray iso2022jp = JapaneseWhoisText(kTextBytes);
    const QString text = decodedText(iso2022jp);
    QStringDecoder reference("ISO-2022-JP");
    if (text != reference.decode(iso2022jp)) {
        std::fprintf(stderr, "the decoded text differs from Qt's ISO-2022-JP decoder\n");
        return 1;
    }
    QByteArray utf8 = text.toUtf8();
    while (utf8.size() < kTextBytes)
        utf8 += utf8;
    utf8.truncate(utf8.lastIndexOf('\n', kTextBytes) + 1);
    if (decodedText(utf8) != QString::fromUtf8(utf8)) {
        std::fprintf(stderr, "the decoded UTF-8 text differs from Qt's UTF-8 decoder\n");
        return 1;
    }

    const double iso = decodeMbPerSecond(iso2022jp);
    const double utf = decodeMbPerSecond(utf8);
    const double iconv = iconvMbPerSecond(iso2022jp);
    std::printf("iso2022jp_decode_mb_s: %.1f\n", iso);
    std::printf("utf8_decode_mb_s: %.1f\n", utf);
    std::printf("iconv_iso2022jp_mb_s: %.1f\n", iconv);
    std::printf("ratio_vs_iconv: %.2f\n", iso / iconv);
    return 0;
}
