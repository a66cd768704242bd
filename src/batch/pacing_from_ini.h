#pragma once

#include "batch/pacing_scheduler.h"

#include <QString>

// dq.ini keys of the least time between two lookups on one server in a
// batch, in milliseconds from 0 to kMaxIniIntervalMs.
inline const QString kSettingBatchWhoisInterval = u"BatchWhoisInterval"_qs;
inline const QString kSettingBatchRdapInterval = u"BatchRdapInterval"_qs;
constexpr int kMaxIniIntervalMs = 60000;

// The batch's pacing with the intervals of dq.ini in the settings folder; a
// key that is missing, is not a whole number of milliseconds or is out of
// range keeps its default.
PacingSettings pacingFromIni(const QString &settingsFolder);
