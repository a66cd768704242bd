#pragma once

#include <QFile>

// An answer written for the tests from the examples of RFC 9083, kept in
// the tests' resources under :/rdap/fixtures/.
inline QByteArray Fixture(const QString &name)
{
    QFile file(u":/rdap/fixtures/"_qs + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("no fixture %s", qPrintable(name));
    return file.readAll();
}
