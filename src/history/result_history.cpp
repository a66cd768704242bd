#include "history/result_history.h"

namespace {

qsizetype bytesOf(const HistoryRecord &record)
{
    return (record.key.size() + record.server.size() + record.response.size()) * 2;
}

} // namespace

void ResultHistory::pushHistory(const HistoryRecord &record)
{
    const int onScreen = historyCount() - m_cursor + 1; // 0 when empty
    m_cursor = 1;
    while (historyCount() > onScreen)
        m_textBytes -= bytesOf(m_records.takeLast());
    if (onScreen == kCapacity)
        m_textBytes -= bytesOf(m_records.takeFirst());
    m_records.append(record);
    m_textBytes += bytesOf(record);
    while (m_textBytes > m_maxTextBytes && historyCount() > 1)
        m_textBytes -= bytesOf(m_records.takeFirst());
}

HistoryStep ResultHistory::historyBack()
{
    if (historyCount() - m_cursor <= 0) {
        return { std::nullopt,
            historyCount() == kCapacity ? u"100件以上前には戻れません"_qs : u"戻れません。"_qs };
    }
    HistoryStep step = show(historyCount() - m_cursor);
    ++m_cursor;
    return step;
}

HistoryStep ResultHistory::historyForward()
{
    if (m_cursor <= 1)
        return { std::nullopt, u"進めません。"_qs };
    HistoryStep step = show(historyCount() - m_cursor + 2);
    --m_cursor;
    return step;
}

// Record numbers count from 1, oldest first.
HistoryStep ResultHistory::show(int number) const
{
    return { m_records.at(number - 1), u"アイドル中"_qs };
}

std::optional<HistoryRecord> ResultHistory::shown() const
{
    if (m_records.isEmpty())
        return std::nullopt;
    return m_records.at(historyCount() - m_cursor);
}
