#pragma once

#include <QString>

// Removes the blanks at both ends of a text: the space U+0020 and the
// ideographic space U+3000 that Japanese input methods type. Tabs, line
// breaks and every other character stay.
QString trimBlanks(QStringView text);
