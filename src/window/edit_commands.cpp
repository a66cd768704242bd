#include "window/edit_commands.h"

#include "window/result_view.h"

#include <QClipboard>
#include <QComboBox>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QLineEdit>

namespace {

QString clipboardText()
{
    const QClipboard *clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->text() : QString();
}

void setClipboardText(const QString &text)
{
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        clipboard->setText(text);
}

bool isMenuReason(Qt::FocusReason reason)
{
    return reason == Qt::PopupFocusReason || reason == Qt::MenuBarFocusReason;
}

} // namespace

EditCommands::EditCommands(QLineEdit *input, QComboBox *server, ResultView *result, QObject *parent)
    : QObject(parent), m_keyEdit(input), m_serverCombo(server), m_resultView(result)
{
    for (QObject *control : { static_cast<QObject *>(m_keyEdit), static_cast<QObject *>(m_serverCombo),
             static_cast<QObject *>(m_resultView) })
        control->installEventFilter(this);
}

bool EditCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::FocusIn && event->type() != QEvent::FocusOut)
        return false;
    const bool focused = event->type() == QEvent::FocusIn;
    const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
    trackMenuSelection(watched, focused, reason);
    // An opening menu takes the focus for a moment; the flags keep naming
    // the control the user was working in.
    if (isMenuReason(reason))
        return false;

    if (watched == m_keyEdit) {
        m_keyEditFocused = focused;
        if (focused)
            m_keyEdit->selectAll();
    } else if (watched == m_serverCombo) {
        m_serverComboFocused = focused;
    } else if (watched == m_resultView) {
        m_resultViewFocused = focused;
    }
    return false;
}

void EditCommands::trackMenuSelection(QObject *watched, bool focused, Qt::FocusReason reason)
{
    QLineEdit *box = nullptr;
    if (watched == m_keyEdit)
        box = m_keyEdit;
    else if (watched == m_serverCombo)
        box = m_serverCombo->lineEdit();
    if (!box)
        return;

    const bool byMenu = isMenuReason(reason);
    if (!focused) {
        // The first menu to take the focus finds the selection still there.
        if (byMenu && !m_held.box)
            m_held = { box, box->hasSelectedText() ? selectionAnchor(box) : box->cursorPosition(),
                box->cursorPosition() };
        else if (!byMenu && reason != Qt::ActiveWindowFocusReason)
            m_held = {};
        return;
    }
    if (byMenu || reason == Qt::ActiveWindowFocusReason)
        restoreHeldSelection();
    m_held = {};
}

int EditCommands::selectionAnchor(const QLineEdit *box)
{
    const int start = box->selectionStart();
    return box->cursorPosition() == start ? box->selectionEnd() : start;
}

void EditCommands::restoreHeldSelection() const
{
    if (!m_held.box)
        return;
    if (m_held.anchor == m_held.cursor)
        m_held.box->setCursorPosition(m_held.cursor);
    else
        m_held.box->setSelection(m_held.anchor, m_held.cursor - m_held.anchor);
}

QLineEdit *EditCommands::boxWithSelection() const
{
    if (m_keyEditFocused && m_keyEdit->hasSelectedText())
        return m_keyEdit;
    if (m_serverComboFocused && m_serverCombo->lineEdit()->hasSelectedText())
        return m_serverCombo->lineEdit();
    return nullptr;
}

EditMenuState EditCommands::menuState() const
{
    restoreHeldSelection();
    EditMenuState state;
    state.cut = boxWithSelection() != nullptr;
    state.copy = state.cut || (m_resultViewFocused && m_resultView->hasSelection());
    state.paste = !clipboardText().isEmpty() && (m_serverComboFocused || m_keyEditFocused);
    return state;
}

void EditCommands::editCut()
{
    restoreHeldSelection();
    if (QLineEdit *box = boxWithSelection()) {
        setClipboardText(box->selectedText());
        box->del();
    }
}

void EditCommands::editCopy()
{
    restoreHeldSelection();
    if (QLineEdit *box = boxWithSelection()) {
        setClipboardText(box->selectedText());
    } else if (m_resultViewFocused && m_resultView->hasSelection()) {
        setClipboardText(m_resultView->selectedText());
    }
}

void EditCommands::editPaste()
{
    restoreHeldSelection();
    // Each test reads the clipboard afresh.
    if (!clipboardText().isEmpty() && m_keyEditFocused)
        m_keyEdit->insert(clipboardText());
    if (!clipboardText().isEmpty() && m_serverComboFocused)
        m_serverCombo->setEditText(clipboardText());
}

void EditCommands::selectAll()
{
    m_resultView->selectAll();
}
