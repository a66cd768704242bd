#pragma once

#include "batch/batch_row.h"

#include <QByteArray>
#include <QList>
#include <QString>

// A batch as CSV: UTF-8 with a byte-order mark (so that spreadsheets in
// Japan read it as UTF-8), RFC 4180 quoting and CR LF, a title line and one
// line per key. A cell beginning with = + - @, a tab or a CR gets a leading
// ' so that no spreadsheet takes it for a formula.
QByteArray batchCsv(const QList<BatchRow> &rows);

// A batch as JSON: an array of one object per key with its status, error,
// fields and whole answer text.
QByteArray batchJson(const QList<BatchRow> &rows);

// Writes the bytes to the file as a whole or not at all; the reason it
// could not, or empty.
QString writeBatchFile(const QString &path, const QByteArray &bytes);
