#pragma once

#include <QString>

class QWidget;

// The modal warning box: the title "エラー", the warning icon, the text and a
// single OK button. The box is as wide as the text's longest line, so that a
// Japanese sentence, which has no blanks to break at, is never broken in the
// middle; only a line wider than most of the screen wraps.
void showWarningBox(QWidget *parent, const QString &text);
