#pragma once

#include <QObject>
#include <QString>

// The window's child of that type and object name; the test stops when
// there is none, as every later check would fail with it.
template<typename T> T *FindChild(const QObject *window, const QString &name)
{
    T *child = window->findChild<T *>(name);
    if (!child)
        qFatal("no child %s", qPrintable(name));
    return child;
}
