#pragma once

#include <QString>

#include <chrono>

// An estimate of the time left as the progress shows it, rounded as far as
// an estimate deserves: "残り約 40 秒", "残り約 1 分 20 秒", "残り約 2 時間 5 分".
QString timeLeftText(std::chrono::milliseconds left);
