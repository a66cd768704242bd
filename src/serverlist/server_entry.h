#pragma once

#include <QString>

// One server of the server combo. displayText is name, "[", host, "]" with
// nothing between them: the text the combo shows for the server.
struct ServerEntry {
    QString name;
    QString host;
    QString displayText;

    friend bool operator==(const ServerEntry &, const ServerEntry &) = default;
};
