#pragma once

#include <QAccessible>
#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>

// Turns accessibility on as an attached screen reader does, so that
// QAccessible::isActive() holds and events reach the update handler. (The
// public QAccessible::setActive only tells its observers.) False where the
// platform has no accessibility.
inline bool ActivateAccessibility()
{
    QPlatformAccessibility *platform =
        QGuiApplicationPrivate::platformIntegration()->accessibility();
    if (!platform)
        return false;
    platform->setActive(true);
    return QAccessible::isActive();
}
