#include "batch/time_left_estimate.h"

#include <algorithm>
#include <cmath>

std::optional<std::chrono::milliseconds> estimateTimeLeft(
    std::chrono::milliseconds elapsed, const QList<HostTally> &hosts)
{
    const double runMs = double(std::max(elapsed, std::chrono::milliseconds::zero()).count());
    std::optional<double> slowestPace; // milliseconds per key
    bool anyLeft = false;
    for (const HostTally &host : hosts) {
        if (host.ended > 0)
            slowestPace = std::max(slowestPace.value_or(0.0), runMs / host.ended);
        anyLeft = anyLeft || host.left > 0;
    }
    if (!slowestPace || !anyLeft)
        return std::nullopt;
    double longest = 0;
    for (const HostTally &host : hosts) {
        if (host.left <= 0)
            continue;
        const double pace = host.ended > 0 ? runMs / host.ended : *slowestPace;
        const double wait = double(std::max(host.waitLeft, std::chrono::milliseconds::zero()).count());
        longest = std::max({ longest, pace * host.left, wait + pace * (host.left - 1) });
    }
    return std::chrono::milliseconds(std::llround(longest));
}
