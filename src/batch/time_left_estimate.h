#pragma once

#include <QList>

#include <chrono>
#include <optional>

// One server's share of a running batch.
struct HostTally {
    int ended = 0; // keys that ended there: answered, failed or served by an earlier answer
    int left = 0; // keys queued there or being asked
    // Until the server may be asked again: the rest of its interval, or of
    // a rest after it refused for asking too often.
    std::chrono::milliseconds waitLeft {};
};

// The time a batch still needs, from the pace so far. The servers are asked
// side by side, so the batch ends with the server that needs longest; each
// goes on at the pace it kept since the run began (the time run per key
// that ended there), and one with no ended key yet at the slowest pace seen.
// A server that waits longer than one key takes waits first. None until a
// key has ended, and when no key is left.
std::optional<std::chrono::milliseconds> estimateTimeLeft(
    std::chrono::milliseconds elapsed, const QList<HostTally> &hosts);
