#pragma once

#include <QObject>

class QComboBox;
class QLineEdit;
class ResultView;

// Which Edit menu items can act now.
struct EditMenuState {
    bool cut = false;
    bool copy = false;
    bool paste = false;
};

// Cut, Copy, Paste and Select all for the key box, the server combo and the
// result view. Menus and toolbar buttons take no focus, so the commands act
// on the control that the focus flags name: the flags follow the focus of
// the three controls and ignore the focus a menu takes while it is open, and
// a command chosen in a menu finds the box's selection and caret as the user
// left them.
// The clipboard is used as plain text; one that cannot be read counts as empty.
class EditCommands : public QObject {
    Q_OBJECT

public:
    EditCommands(
        QLineEdit *input, QComboBox *server, ResultView *result, QObject *parent = nullptr);

    EditMenuState menuState() const;
    void editCut();
    void editCopy();
    void editPaste();
    void selectAll();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // A box loses its selection to a menu that takes the focus; the commands
    // chosen in the menu, and the box when the focus returns, get it back.
    struct HeldSelection {
        QLineEdit *box = nullptr;
        int anchor = 0;
        int cursor = 0;
    };
    void trackMenuSelection(QObject *watched, bool focused, Qt::FocusReason reason);
    static int selectionAnchor(const QLineEdit *box);
    void restoreHeldSelection() const;

    // The line edit that Cut and Copy act on: the focused box with a selection.
    QLineEdit *boxWithSelection() const;

    QLineEdit *m_keyEdit;
    QComboBox *m_serverCombo;
    ResultView *m_resultView;
    bool m_keyEditFocused = false;
    bool m_serverComboFocused = false;
    bool m_resultViewFocused = false;
    HeldSelection m_held;
};
