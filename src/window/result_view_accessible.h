#pragma once

#include "text/text_selection.h"

#include <QAccessibleWidget>

class ResultView;

// What assistive technology finds of the result view: an editable text in
// the read-only state, as a read-only text box would be, so that a screen
// reader lets its user walk the answer by character, word and line with the
// caret. The text interface reads the view's buffer in place: each call
// copies at most the range it answers with.
class ResultViewAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ResultViewAccessible(ResultView *view);

    // Lets QAccessible create one for each result view; later calls do nothing.
    static void installFactory();

    QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType type) override;
    using QAccessibleWidget::text;

    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
        int *startOffset, int *endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
        int *startOffset, int *endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
        int *endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

private:
    ResultView *view() const;
    TextSelection unitAround(qsizetype offset, QAccessible::TextBoundaryType boundaryType) const;
    QString textOf(TextSelection unit, int *startOffset, int *endOffset) const;
};
