#include "window/server_combo.h"

#include <QComboBox>

ServerMode selectedServerMode(const QComboBox &combo)
{
    const QString text = combo.currentText();
    const int item = combo.findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (item < 0)
        return ServerMode::typedHost(text);
    return combo.itemData(item).value<ServerMode>();
}
