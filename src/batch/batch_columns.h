#pragma once

#include "batch/batch_row.h"

#include <QDateTime>
#include <QString>

// The columns of a batch, shared by the table and the CSV export.
enum class BatchColumn {
    Key,
    Status,
    Kind,
    Name,
    Handle,
    Registrar,
    RegistrarIanaId,
    RegistrantOrganization,
    Country,
    ObjectStatus,
    Registered,
    Updated,
    Expires,
    NameServers,
    Dnssec,
    NetworkRange,
    Cidrs,
    NetworkName,
    OriginAs,
    AbuseEmail,
    AbusePhone,
    Server,
    Error,
};
inline constexpr int kBatchColumnCount = int(BatchColumn::Error) + 1;

QString batchColumnTitle(BatchColumn column);
// A cell's text; lists joined by a blank, dates as batchDateText.
QString batchCellText(const BatchRow &row, BatchColumn column);
// A date as ISO 8601 in Japan's time with its offset
// ("2026-01-31T09:00:00+09:00"); empty when invalid.
QString batchDateText(const QDateTime &utc);
QString batchKindText(AnswerFields::Kind kind);
