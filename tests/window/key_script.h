#pragma once

#include <QApplication>
#include <QKeySequence>
#include <QTest>
#include <QWidget>

// Presses keys as the platform delivers them: to the open menu if there is
// one, else to the focused control, else to the window. The script is a
// list of words: "{Alt+E}" presses that key combination, any other word
// types its characters.
inline void PressKeys(QWidget *window, const QString &script)
{
    for (const QString &word : script.split(u' ', Qt::SkipEmptyParts)) {
        QWidget *target = QApplication::activePopupWidget();
        if (!target)
            target = QApplication::focusWidget();
        if (!target)
            target = window;
        if (word.size() > 2 && word.startsWith(u'{') && word.endsWith(u'}')) {
            const QKeyCombination key = QKeySequence(word.sliced(1, word.size() - 2))[0];
            QTest::keyClick(target, key.key(), key.keyboardModifiers());
        } else {
            QTest::keyClicks(target, word);
        }
        // A menu that opens asks the platform to make it the active window.
        // That request, and what it sets off, is handled while the menu is
        // open, as it is while a user reads the menu; handled after the menu
        // has closed, it would leave the window inactive.
        if (QApplication::activePopupWidget())
            QCoreApplication::processEvents();
    }
}
