#pragma once

#include <QIcon>
#include <QStringView>

// The picture `name` from the program's resources ("back", "forward", "stop", "cut", "copy",
// "paste" for the toolbar, "domquire" for the windows), holding every size rendered of it.
// An unknown name gives a null icon.
QIcon resourceIcon(QStringView name);
