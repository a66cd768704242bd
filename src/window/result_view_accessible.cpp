#include "window/result_view_accessible.h"

#include "text/text_unit.h"
#include "window/result_view.h"

#include <QScrollBar>

namespace {

QAccessibleInterface *createForResultView(const QString &className, QObject *object)
{
    auto *view = qobject_cast<ResultView *>(object);
    return className == u"ResultView" && view ? new ResultViewAccessible(view) : nullptr;
}

int toInt(qsizetype offset)
{
    return static_cast<int>(std::min<qsizetype>(offset, INT_MAX));
}

} // namespace

ResultViewAccessible::ResultViewAccessible(ResultView *view)
    : QAccessibleWidget(view, QAccessible::EditableText)
{
}

void ResultViewAccessible::installFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(createForResultView);
        return true;
    }();
    Q_UNUSED(installed);
}

ResultView *ResultViewAccessible::view() const
{
    return static_cast<ResultView *>(widget());
}

QAccessible::State ResultViewAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = true;
    state.multiLine = true;
    state.selectableText = true;
    return state;
}

void *ResultViewAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

void ResultViewAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    const TextSelection &selection = view()->selection();
    const bool exists = selectionIndex == 0 && selection.hasSelection();
    *startOffset = exists ? toInt(selection.start()) : 0;
    *endOffset = exists ? toInt(selection.end()) : 0;
}

int ResultViewAccessible::selectionCount() const
{
    return view()->hasSelection() ? 1 : 0;
}

void ResultViewAccessible::addSelection(int startOffset, int endOffset)
{
    // The view holds one selection: a new one replaces it.
    setSelection(0, startOffset, endOffset);
}

void ResultViewAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex != 0)
        return;
    const qsizetype caret = view()->selection().caret;
    view()->setSelection({ caret, caret });
}

void ResultViewAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        view()->setSelection({ startOffset, endOffset });
}

int ResultViewAccessible::cursorPosition() const
{
    return toInt(view()->selection().caret);
}

void ResultViewAccessible::setCursorPosition(int position)
{
    view()->setSelection({ position, position });
}

QString ResultViewAccessible::text(int startOffset, int endOffset) const
{
    const QString &text = view()->buffer().text();
    const qsizetype start = std::clamp<qsizetype>(startOffset, 0, text.size());
    const qsizetype end = std::clamp<qsizetype>(endOffset, start, text.size());
    // All of it is shared rather than copied.
    if (start == 0 && end == text.size())
        return text;
    return text.sliced(start, end - start);
}

TextSelection ResultViewAccessible::unitAround(
    qsizetype offset, QAccessible::TextBoundaryType boundaryType) const
{
    const TextBuffer &buffer = view()->buffer();
    switch (boundaryType) {
    case QAccessible::CharBoundary:
        return textUnitAround(buffer, offset, TextUnit::Character);
    case QAccessible::WordBoundary:
        return textUnitAround(buffer, offset, TextUnit::Word);
    case QAccessible::SentenceBoundary:
        return textUnitAround(buffer, offset, TextUnit::Sentence);
    // Lines never wrap, so each is a paragraph of its own.
    case QAccessible::ParagraphBoundary:
    case QAccessible::LineBoundary:
        return textUnitAround(buffer, offset, TextUnit::Line);
    case QAccessible::NoBoundary:
        break;
    }
    return { 0, buffer.size() };
}

QString ResultViewAccessible::textOf(TextSelection unit, int *startOffset, int *endOffset) const
{
    *startOffset = toInt(unit.start());
    *endOffset = toInt(unit.end());
    return text(*startOffset, *endOffset);
}

QString ResultViewAccessible::textAtOffset(
    int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset, int *endOffset) const
{
    return textOf(unitAround(offset, boundaryType), startOffset, endOffset);
}

// Units lie side by side: the one before a unit ends where it starts, the
// one after it starts where it ends.
QString ResultViewAccessible::textBeforeOffset(
    int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = -1;
    const TextSelection unit = unitAround(offset, boundaryType);
    if (boundaryType == QAccessible::NoBoundary || unit.start() == 0)
        return {};
    return textOf(unitAround(unit.start() - 1, boundaryType), startOffset, endOffset);
}

QString ResultViewAccessible::textAfterOffset(
    int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = -1;
    const TextSelection unit = unitAround(offset, boundaryType);
    if (boundaryType == QAccessible::NoBoundary || unit.end() >= view()->buffer().size())
        return {};
    return textOf(unitAround(unit.end(), boundaryType), startOffset, endOffset);
}

int ResultViewAccessible::characterCount() const
{
    return toInt(view()->buffer().size());
}

QRect ResultViewAccessible::characterRect(int offset) const
{
    const QRect rect = view()->characterRect(offset);
    if (rect.isNull())
        return {};
    return QRect(view()->viewport()->mapToGlobal(rect.topLeft()), rect.size());
}

int ResultViewAccessible::offsetAtPoint(const QPoint &point) const
{
    const QWidget *viewport = view()->viewport();
    const QPoint at = viewport->mapFromGlobal(point);
    return viewport->rect().contains(at) ? toInt(view()->offsetAt(at)) : -1;
}

void ResultViewAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    view()->scrollToOffset(endIndex);
    view()->scrollToOffset(startIndex);
}

QString ResultViewAccessible::attributes(int offset, int *startOffset, int *endOffset) const
{
    // The whole text has one font and no other attributes.
    Q_UNUSED(offset);
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}
