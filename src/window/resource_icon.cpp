#include "window/resource_icon.h"

#include <QFile>

// The resources live in a static library, whose registration the linker would drop unless
// something refers to it. Q_INIT_RESOURCE must be used outside any namespace.
static bool registerIconResources()
{
    Q_INIT_RESOURCE(icons);
    return true;
}

QIcon resourceIcon(QStringView name)
{
    static const bool registered = registerIconResources();
    Q_UNUSED(registered);

    QIcon icon;
    for (const int size : { 16, 32, 48, 64 }) {
        const QString path = QStringLiteral(":/icons/%1_%2.png").arg(name).arg(size);
        if (QFile::exists(path))
            icon.addFile(path, QSize(size, size));
    }
    return icon;
}
