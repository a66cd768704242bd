#pragma once

#include "history/history_record.h"

#include <QList>
#include <QString>

#include <optional>

// What a step through the history asks the window to do: show the record
// (result pane and result label) when there is one, and set the status text.
struct HistoryStep {
    std::optional<HistoryRecord> record;
    QString status;
};

// The last 100 completed results, oldest first, and the cursor that names the
// one on screen: the record on screen is number count - cursor + 1, so cursor
// 1 is the newest. The records hold at most maxTextBytes of text in all,
// counted as UTF-16 (two bytes a character); the oldest go first to keep
// within it. The texts are shared with the caller, never copied. Holds no
// widgets; the window shows what a step returns.
class ResultHistory {
public:
    static constexpr int kCapacity = 100;
    static constexpr qsizetype kMaxTextBytes = qsizetype(512) * 1024 * 1024;

    explicit ResultHistory(qsizetype maxTextBytes = kMaxTextBytes)
        : m_maxTextBytes(maxTextBytes) { }

    // Stores a result: the records after the one on screen are dropped, the
    // new one is appended and shown; when full, the oldest are dropped.
    void pushHistory(const HistoryRecord &record);

    // Steps to the next older or newer record, or reports the end.
    HistoryStep historyBack();
    HistoryStep historyForward();

    // The record on screen, if any.
    std::optional<HistoryRecord> shown() const;

    int historyCount() const { return static_cast<int>(m_records.size()); }
    int historyCursor() const { return m_cursor; }
    qsizetype textBytes() const { return m_textBytes; }

private:
    HistoryStep show(int number) const;

    QList<HistoryRecord> m_records;
    int m_cursor = 1;
    qsizetype m_maxTextBytes;
    qsizetype m_textBytes = 0;
};
