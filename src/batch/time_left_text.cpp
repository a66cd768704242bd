#include "batch/time_left_text.h"

#include <algorithm>

QString timeLeftText(std::chrono::milliseconds left)
{
    const qint64 seconds = std::chrono::ceil<std::chrono::seconds>(
        std::max(left, std::chrono::milliseconds::zero())).count();
    if (seconds <= 55) {
        // Up to the next 5 seconds, never "0".
        return u"残り約 %1 秒"_qs.arg(std::max<qint64>(5, (seconds + 4) / 5 * 5));
    }
    if (seconds < 3595) {
        const qint64 tens = (seconds + 5) / 10 * 10;
        const QString minutes = u"残り約 %1 分"_qs.arg(tens / 60);
        return tens % 60 == 0 ? minutes : minutes + u" %1 秒"_qs.arg(tens % 60);
    }
    const qint64 totalMinutes = (seconds + 30) / 60;
    const QString hours = u"残り約 %1 時間"_qs.arg(totalMinutes / 60);
    return totalMinutes % 60 == 0 ? hours : hours + u" %1 分"_qs.arg(totalMinutes % 60);
}
