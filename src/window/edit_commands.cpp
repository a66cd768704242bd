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
    : QObject(parent), txtInput(input), cboServer(server), rtbResult(result)
{
    for (QObject *control : { static_cast<QObject *>(txtInput), static_cast<QObject *>(cboServer),
             static_cast<QObject *>(rtbResult) })
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

    if (watched == txtInput) {
        boolInputFocus = focused;
        if (focused)
            txtInput->selectAll();
    } else if (watched == cboServer) {
        boolServerFocus = focused;
    } else if (watched == rtbResult) {
        boolResultFocus = focused;
    }
    return false;
}

void EditCommands::trackMenuSelection(QObject *watched, bool focused, Qt::FocusReason reason)
{
    QLineEdit *box = nullptr;
    if (watched == txtInput)
        box = txtInput;
    else if (watched == cboServer)
        box = cboServer->lineEdit();
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
    if (boolInputFocus && txtInput->hasSelectedText())
        return txtInput;
    if (boolServerFocus && cboServer->lineEdit()->hasSelectedText())
        return cboServer->lineEdit();
    return nullptr;
}

EditMenuState EditCommands::MenuState() const
{
    restoreHeldSelection();
    EditMenuState state;
    state.cut = boxWithSelection() != nullptr;
    state.copy = state.cut || (boolResultFocus && rtbResult->hasSelection());
    state.paste = !clipboardText().isEmpty() && (boolServerFocus || boolInputFocus);
    return state;
}

void EditCommands::EditCut()
{
    restoreHeldSelection();
    if (QLineEdit *box = boxWithSelection()) {
        setClipboardText(box->selectedText());
        box->del();
    }
}

void EditCommands::EditCopy()
{
    restoreHeldSelection();
    if (QLineEdit *box = boxWithSelection()) {
        setClipboardText(box->selectedText());
    } else if (boolResultFocus && rtbResult->hasSelection()) {
        setClipboardText(rtbResult->selectedText());
    }
}

void EditCommands::EditPaste()
{
    restoreHeldSelection();
    // Each test reads the clipboard afresh.
    if (!clipboardText().isEmpty() && boolInputFocus)
        txtInput->insert(clipboardText());
    if (!clipboardText().isEmpty() && boolServerFocus)
        cboServer->setEditText(clipboardText());
}

void EditCommands::SelectAll()
{
    rtbResult->selectAll();
}
