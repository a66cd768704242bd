#pragma once

#include <QString>

// What the pacing scheduler needs of the lookup engine: start one lookup of
// a key on a host, and abandon it. The end of a started lookup is reported
// back to the scheduler under the same row number (PacingScheduler::
// reportDone, reportFailed or reportRateLimited).
class LookupStarter {
public:
    virtual ~LookupStarter() = default;

    virtual void startLookup(int row, const QString &key, const QString &host) = 0;
    // After this no report is expected for the row; a late one is ignored.
    virtual void cancelLookup(int row) = 0;

protected:
    LookupStarter() = default;
    LookupStarter(const LookupStarter &) = default;
    LookupStarter &operator=(const LookupStarter &) = default;
};
