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
    // An opening menu takes the focus for a moment; the flags keep naming
    // the control the user was working in.
    const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
    if (reason == Qt::PopupFocusReason || reason == Qt::MenuBarFocusReason)
        return false;

    const bool focused = event->type() == QEvent::FocusIn;
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
    EditMenuState state;
    state.cut = boxWithSelection() != nullptr;
    state.copy = state.cut || (boolResultFocus && rtbResult->hasSelection());
    state.paste = !clipboardText().isEmpty() && (boolServerFocus || boolInputFocus);
    return state;
}

void EditCommands::EditCut()
{
    if (QLineEdit *box = boxWithSelection()) {
        setClipboardText(box->selectedText());
        box->del();
    }
}

void EditCommands::EditCopy()
{
    if (QLineEdit *box = boxWithSelection()) {
        setClipboardText(box->selectedText());
    } else if (boolResultFocus && rtbResult->hasSelection()) {
        setClipboardText(rtbResult->selectedText());
    }
}

void EditCommands::EditPaste()
{
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
