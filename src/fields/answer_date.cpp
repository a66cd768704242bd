#include "fields/answer_date.h"

#include <algorithm>
#include <array>

namespace {

// Reads characters from the front of a view.
class DateCursor {
public:
    explicit DateCursor(QStringView text) : m_text(text) { }

    bool atEnd() const { return m_pos >= m_text.size(); }
    QChar peek() const { return atEnd() ? QChar() : m_text[m_pos]; }
    bool skip(QChar c)
    {
        if (peek() != c)
            return false;
        ++m_pos;
        return true;
    }
    void skipBlanks()
    {
        while (peek() == u' ' || peek() == u'\t')
            ++m_pos;
    }
    // Exactly `count` ASCII digits as a number, or -1 (nothing consumed).
    int digits(int count)
    {
        if (m_pos + count > m_text.size())
            return -1;
        int value = 0;
        for (int i = 0; i < count; ++i) {
            const char16_t c = m_text[m_pos + i].unicode();
            if (c < u'0' || c > u'9')
                return -1;
            value = value * 10 + (c - u'0');
        }
        m_pos += count;
        return value;
    }
    // One or two digits.
    int shortNumber()
    {
        const int two = digits(2);
        return two >= 0 ? two : digits(1);
    }
    bool skipWord(QStringView word)
    {
        if (!m_text.sliced(m_pos).startsWith(word, Qt::CaseInsensitive))
            return false;
        m_pos += word.size();
        return true;
    }
    // A three-letter English month name as 1 to 12, or -1.
    int monthName()
    {
        static constexpr std::array<QStringView, 12> kMonths { u"jan", u"feb", u"mar", u"apr",
            u"may", u"jun", u"jul", u"aug", u"sep", u"oct", u"nov", u"dec" };
        for (int i = 0; i < 12; ++i) {
            if (skipWord(kMonths[i]))
                return i + 1;
        }
        return -1;
    }

private:
    QStringView m_text;
    qsizetype m_pos = 0;
};

QDate readDate(DateCursor &cursor)
{
    const int year = cursor.digits(4);
    if (year >= 0) {
        for (const QChar separator : { u'-', u'/', u'.' }) {
            if (cursor.skip(separator)) {
                const int month = cursor.shortNumber();
                if (!cursor.skip(separator))
                    return {};
                return QDate(year, month, cursor.shortNumber());
            }
        }
        const int month = cursor.digits(2);
        return QDate(year, month, cursor.digits(2));
    }
    const int day = cursor.shortNumber();
    if (cursor.skip(u'-')) {
        const int month = cursor.monthName();
        if (!cursor.skip(u'-'))
            return {};
        return QDate(cursor.digits(4), month, day);
    }
    if (cursor.skip(u'.')) {
        const int month = cursor.shortNumber();
        if (!cursor.skip(u'.'))
            return {};
        return QDate(cursor.digits(4), month, day);
    }
    return {};
}

// hh:mm[:ss[.fraction]]; midnight when there is none, invalid when broken.
QTime readTime(DateCursor &cursor)
{
    if (!cursor.skip(u'T'))
        cursor.skipBlanks();
    const int hour = cursor.digits(2);
    if (hour < 0)
        return QTime(0, 0);
    if (!cursor.skip(u':'))
        return {};
    const int minute = cursor.digits(2);
    int second = 0;
    if (cursor.skip(u':')) {
        second = cursor.digits(2);
        if (cursor.skip(u'.') || cursor.skip(u',')) {
            while (cursor.digits(1) >= 0) { }
        }
    }
    return QTime(hour, minute, second);
}

// The zone's offset from UTC in seconds, or `fallback` when none is named.
int readOffset(DateCursor &cursor, int fallback)
{
    cursor.skipBlanks();
    if (cursor.skip(u'Z') || cursor.skip(u'z') || cursor.skipWord(u"UTC")
        || cursor.skipWord(u"GMT"))
        return 0;
    if (cursor.skipWord(u"JST") || cursor.skipWord(u"(JST)"))
        return kJstOffsetSeconds;
    const QChar sign = cursor.peek();
    if (sign != u'+' && sign != u'-')
        return fallback;
    cursor.skip(sign);
    const int hours = cursor.digits(2);
    if (hours < 0 || hours > 14)
        return fallback;
    cursor.skip(u':');
    const int minutes = std::max(cursor.digits(2), 0);
    const int offset = hours * 3600 + minutes * 60;
    return sign == u'-' ? -offset : offset;
}

} // namespace

QDateTime readAnswerDate(QStringView text, int defaultOffsetSeconds)
{
    DateCursor cursor(text.trimmed());
    const QDate date = readDate(cursor);
    if (!date.isValid())
        return {};
    const QTime time = readTime(cursor);
    if (!time.isValid())
        return {};
    const int offset = readOffset(cursor, defaultOffsetSeconds);
    return QDateTime(date, time, Qt::UTC).addSecs(-offset);
}
