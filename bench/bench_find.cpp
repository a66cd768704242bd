// Find in a long answer: a 1024-character needle that almost matches at
// every place of 4 Mi characters, forward and backward, and the longest
// slice of 256 Ki places the find bar would run between two events. Prints
// "name: value" lines.

#include "text/folded_search.h"

#include <chrono>
#include <cstdio>

namespace {

constexpr qsizetype kTextChars = qsizetype(4) * 1024 * 1024;
constexpr qsizetype kNeedleChars = 1024;
constexpr qsizetype kSliceChars = qsizetype(256) * 1024;

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Runs one whole search and returns its time; the needle is never found.
double wholeSearchMs(const QString &text, const QString &needle, bool forward, double &slowestSlice)
{
    SlicedSearch search;
    const Clock::time_point start = Clock::now();
    search.start(needle, forward ? 0 : text.size(), text.size(), forward);
    SlicedSearch::State state = SlicedSearch::State::Running;
    while (state == SlicedSearch::State::Running) {
        const Clock::time_point slice = Clock::now();
        state = search.step(text, kSliceChars);
        slowestSlice = std::max(slowestSlice, millisecondsSince(slice));
    }
    const double total = millisecondsSince(start);
    if (state != SlicedSearch::State::NotFound)
        std::printf("error: the needle was found\n");
    return total;
}

} // namespace

int main()
{
    // "aaa…a" with a needle "aaa…ab": every place matches 1023 characters.
    const QString text(kTextChars, u'a');
    const QString forwardNeedle = QString(kNeedleChars - 1, u'a') + u'b';
    const QString backwardNeedle = u'b' + QString(kNeedleChars - 1, u'a');
    folded(u"warm"); // builds the folding table outside the figures
    double slowestSlice = 0;
    const double forward = wholeSearchMs(text, forwardNeedle, true, slowestSlice);
    const double backward = wholeSearchMs(text, backwardNeedle, false, slowestSlice);
    std::printf("find_1024_in_4mi_forward_ms: %.1f\n", forward);
    std::printf("find_1024_in_4mi_backward_ms: %.1f\n", backward);
    std::printf("find_slice_256k_max_ms: %.1f\n", slowestSlice);
    return 0;
}
