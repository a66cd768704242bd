#include "text/heading_anchor.h"

#include <QList>

QString headingAnchor(QStringView heading)
{
    QString anchor;
    for (const char32_t c : heading.toString().toLower().toUcs4()) {
        if (c == U' ')
            anchor += u'-';
        else if (c == U'-' || c == U'_' || QChar::isLetterOrNumber(c) || QChar::isMark(c))
            anchor += QString::fromUcs4(&c, 1);
    }
    return anchor;
}
