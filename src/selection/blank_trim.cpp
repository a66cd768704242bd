#include "selection/blank_trim.h"

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\u3000';
}

} // namespace

QString trimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin).toString();
}
