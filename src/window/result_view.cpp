#include "window/result_view.h"

#include "text/char_cells.h"
#include "window/find_bar.h"
#include "window/result_view_accessible.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>

#include <cmath>

namespace {

// Space between the view's edge and the text, as a text box leaves it.
constexpr int kMargin = 4;
// Lines up to this long are laid out whole; of longer ones only the columns
// on screen and this many on either side.
constexpr qsizetype kWholeLineChars = 1024;
constexpr qsizetype kSliceMarginColumns = 64;
// A find looks at this many places per slice and hands the event loop back
// after kSearchTurnMs.
constexpr qsizetype kSearchSliceChars = qsizetype(256) * 1024;
constexpr qint64 kSearchTurnMs = 10;
// A selection no longer than this, on one line, fills the find bar.
constexpr qsizetype kFindTextFromSelection = 256;

const QColor kMatchBackground(0xFF, 0xE0, 0x66);
// The frame of the focused view and of the current match.
constexpr int kFocusFrameWidth = 2;
constexpr int kCurrentMatchFrameWidth = 2;
// Arriving text is announced to assistive technology at most this often.
constexpr int kAnnounceMs = 250;

int accessibleOffset(qsizetype offset)
{
    return static_cast<int>(std::min<qsizetype>(offset, INT_MAX));
}

} // namespace

ResultView::ResultView(QWidget *parent) : QAbstractScrollArea(parent), m_findBar(new FindBar(this))
{
    ResultViewAccessible::installFactory();
    setAccessibleName(u"結果"_qs);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    m_searchTurn.setSingleShot(true);
    m_searchTurn.setInterval(0);
    connect(&m_searchTurn, &QTimer::timeout, this, &ResultView::searchSlices);
    m_announceTurn.setSingleShot(true);
    m_announceTurn.setInterval(kAnnounceMs);
    connect(&m_announceTurn, &QTimer::timeout, this, &ResultView::announceInsertedText);

    connect(m_findBar, &FindBar::findRequested, this, &ResultView::find);
    connect(m_findBar, &FindBar::textChanged, this, [this](const QString &text) {
        m_highlight = folded(text);
        viewport()->update();
    });
    connect(m_findBar, &FindBar::closed, this, [this] {
        m_search.cancel();
        m_highlight.clear();
        placeFindBar();
        setFocus(Qt::OtherFocusReason);
        viewport()->update();
    });

    const auto addKey = [this](const QKeySequence &key, Qt::ShortcutContext context, auto act) {
        auto *action = new QAction(this);
        action->setShortcut(key);
        action->setShortcutContext(context);
        connect(action, &QAction::triggered, this, act);
        addAction(action);
    };
    addKey(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F), Qt::WindowShortcut,
        &ResultView::openFindBar);
    addKey(QKeySequence(Qt::Key_F3), Qt::WidgetWithChildrenShortcut, [this] { find(true); });
    addKey(QKeySequence(Qt::SHIFT | Qt::Key_F3), Qt::WidgetWithChildrenShortcut,
        [this] { find(false); });
    updateMetrics();
}

ResultView::~ResultView() = default;

void ResultView::clear()
{
    setText(QString());
}

void ResultView::setText(const QString &text)
{
    m_search.cancel();
    announceInsertedText();
    const QString before = m_buffer.text();
    m_buffer.setText(text);
    changeSelection({});
    m_wantedColumn = -1;
    if (QAccessible::isActive() && !(before.isEmpty() && text.isEmpty())) {
        // Both texts are shared, not copied.
        QAccessibleTextUpdateEvent event(this, 0, before, m_buffer.text());
        QAccessible::updateAccessibility(&event);
    }
    updateScrollBars();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
}

void ResultView::appendText(QStringView text)
{
    // A reader at the end follows the text; anywhere else what is on screen
    // stays, and is drawn again only when the text grows on screen.
    QScrollBar *lines = verticalScrollBar();
    const bool atEnd = lines->maximum() > 0 && lines->value() == lines->maximum();
    const qsizetype growingLine = m_buffer.lineCount() - 1;
    const qsizetype from = m_buffer.size();
    m_buffer.append(text);
    // A caret after a CR, or after half a pair, is inside a character once
    // its LF or its other half arrives.
    m_selection = onCaretPlaces(m_buffer, m_selection);
    if (QAccessible::isActive() && m_buffer.size() > from) {
        if (m_unannouncedFrom < 0)
            m_unannouncedFrom = from;
        if (!m_announceTurn.isActive())
            m_announceTurn.start();
    }
    updateScrollBars();
    if (atEnd)
        lines->setValue(lines->maximum());
    if (atEnd || growingLine < lines->value() + visibleLines())
        viewport()->update();
}

QString ResultView::selectedText() const
{
    const QString &text = m_buffer.text();
    if (m_selection.start() == 0 && m_selection.end() == text.size())
        return text;
    return text.sliced(m_selection.start(), m_selection.end() - m_selection.start());
}

void ResultView::selectAll()
{
    if (isEmpty())
        return;
    changeSelection({ 0, m_buffer.size() });
}

void ResultView::setSelection(TextSelection selection)
{
    const auto clamp = [this](qsizetype offset) {
        return std::clamp<qsizetype>(offset, 0, m_buffer.size());
    };
    changeSelection({ clamp(selection.anchor), clamp(selection.caret) });
    m_wantedColumn = -1;
    scrollToOffset(m_selection.caret);
}

void ResultView::changeSelection(TextSelection selection)
{
    const TextSelection before = m_selection;
    m_selection = selection;
    viewport()->update();
    if (!QAccessible::isActive())
        return;
    if (selection.caret != before.caret) {
        QAccessibleTextCursorEvent event(this, accessibleOffset(selection.caret));
        QAccessible::updateAccessibility(&event);
    }
    const bool selectionChanged = selection.hasSelection()
        ? selection.start() != before.start() || selection.end() != before.end()
        : before.hasSelection();
    if (selectionChanged) {
        QAccessibleTextSelectionEvent event(
            this, accessibleOffset(selection.start()), accessibleOffset(selection.end()));
        QAccessible::updateAccessibility(&event);
    }
}

void ResultView::announceInsertedText()
{
    m_announceTurn.stop();
    if (m_unannouncedFrom < 0)
        return;
    const qsizetype from = m_unannouncedFrom;
    m_unannouncedFrom = -1;
    if (!QAccessible::isActive() || from >= m_buffer.size())
        return;
    QAccessibleTextInsertEvent event(this, accessibleOffset(from), m_buffer.text().sliced(from));
    QAccessible::updateAccessibility(&event);
}

void ResultView::copy() const
{
    if (QClipboard *clipboard = QGuiApplication::clipboard(); clipboard && hasSelection())
        clipboard->setText(selectedText());
}

void ResultView::openFindBar()
{
    const QString selected = selectedText();
    const bool oneLine = !selected.contains(u'\n') && !selected.contains(u'\r');
    m_findBar->open(oneLine && selected.size() <= kFindTextFromSelection ? selected : QString());
    m_highlight = folded(m_findBar->text());
    placeFindBar();
    viewport()->update();
}

void ResultView::find(bool forward)
{
    const QString needle = m_findBar->text();
    if (needle.isEmpty()) {
        openFindBar();
        return;
    }
    m_highlight = folded(needle);
    m_search.start(
        needle, forward ? m_selection.end() : m_selection.start(), m_buffer.size(), forward);
    searchSlices();
}

void ResultView::searchSlices()
{
    QElapsedTimer turn;
    turn.start();
    while (m_search.state() == SlicedSearch::State::Running && turn.elapsed() < kSearchTurnMs)
        m_search.step(m_buffer.text(), kSearchSliceChars);

    switch (m_search.state()) {
    case SlicedSearch::State::Running:
        m_searchTurn.start();
        return;
    case SlicedSearch::State::Found:
        m_findBar->showNotFound(false);
        setSelection({ m_search.matchStart(), m_search.matchStart() + m_search.matchLength() });
        emit searchFinished(true);
        break;
    case SlicedSearch::State::NotFound:
        m_findBar->showNotFound(true);
        emit searchFinished(false);
        break;
    case SlicedSearch::State::Idle:
        return;
    }
    m_search.cancel();
}

void ResultView::updateMetrics()
{
    const QFontMetricsF metrics(font());
    m_cellWidth = std::max<qreal>(1, metrics.horizontalAdvance(u'0'));
    m_lineHeight = std::max(1, qCeil(metrics.lineSpacing()));
    updateScrollBars();
}

int ResultView::visibleLines() const
{
    return std::max(1, (viewport()->height() - kMargin) / m_lineHeight);
}

int ResultView::textLeft() const
{
    return kMargin - horizontalScrollBar()->value();
}

void ResultView::updateScrollBars()
{
    QScrollBar *lines = verticalScrollBar();
    const int visible = visibleLines();
    lines->setRange(0,
        static_cast<int>(
            std::min<qsizetype>(std::max<qsizetype>(0, m_buffer.lineCount() - visible), INT_MAX)));
    lines->setPageStep(visible);
    lines->setSingleStep(1);

    QScrollBar *columns = horizontalScrollBar();
    const qreal width = static_cast<qreal>(m_buffer.maxColumns()) * m_cellWidth + 2 * kMargin;
    const qreal beyond = std::ceil(width) - viewport()->width();
    columns->setRange(0, static_cast<int>(std::clamp<qreal>(beyond, 0, INT_MAX / 2)));
    columns->setPageStep(viewport()->width());
    columns->setSingleStep(qCeil(m_cellWidth));
}

void ResultView::placeFindBar()
{
    if (m_findBar->isHidden()) {
        setViewportMargins(0, 0, 0, 0);
        return;
    }
    const int height = m_findBar->sizeHint().height();
    setViewportMargins(0, 0, 0, height);
    const QRect text = viewport()->geometry();
    m_findBar->setGeometry(text.left(), text.bottom() + 1, text.width(), height);
}

ResultView::Segment ResultView::segmentOf(qsizetype line) const
{
    const qsizetype start = m_buffer.lineStart(line);
    const qsizetype end = m_buffer.lineEnd(line);
    if (end - start <= kWholeLineChars)
        return { start, end, 0 };
    const qreal left = horizontalScrollBar()->value();
    const auto firstColumn = static_cast<qsizetype>(left / m_cellWidth) - kSliceMarginColumns;
    const auto lastColumn =
        static_cast<qsizetype>((left + viewport()->width()) / m_cellWidth) + kSliceMarginColumns;
    const qsizetype from = m_buffer.offsetAtColumn(line, std::max<qsizetype>(0, firstColumn));
    qsizetype to = std::min(end, m_buffer.offsetAtColumn(line, lastColumn) + 1);
    if (to < end && m_buffer.text().at(to).isLowSurrogate())
        ++to;
    return { from, to, static_cast<qreal>(m_buffer.columnAt(from)) * m_cellWidth };
}

std::unique_ptr<QTextLayout> ResultView::layoutOf(const Segment &segment) const
{
    // Line and paragraph separators would end the laid-out line; they show
    // as blanks, and only on screen: the text keeps them.
    QString shown = m_buffer.text().sliced(segment.start, segment.end - segment.start);
    for (QChar &c : shown) {
        if (c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = u' ';
    }
    auto layout = std::make_unique<QTextLayout>(shown, font());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    // Tab stops count from the start of the line, which for a slice of a
    // long line lies to its left.
    const qreal tabWidth = kTabCells * m_cellWidth;
    const qreal shift = std::fmod(segment.x, tabWidth);
    if (shift == 0) {
        option.setTabStopDistance(tabWidth);
    } else {
        QList<QTextOption::Tab> tabs;
        const qreal width = static_cast<qreal>(shown.size() + 1) * kTabCells * m_cellWidth;
        for (qreal x = tabWidth - shift; x < width; x += tabWidth)
            tabs.append(QTextOption::Tab(x, QTextOption::LeftTab));
        option.setTabs(tabs);
    }
    layout->setTextOption(option);
    layout->beginLayout();
    QTextLine line = layout->createLine();
    if (line.isValid()) {
        line.setLineWidth(1'000'000);
        line.setPosition(QPointF(0, 0));
    }
    layout->endLayout();
    return layout;
}

void ResultView::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    painter.setPen(palette().text().color());
    QTextCharFormat selected;
    selected.setBackground(palette().highlight());
    selected.setForeground(palette().highlightedText());
    QTextCharFormat match;
    match.setBackground(kMatchBackground);

    const qsizetype top = verticalScrollBar()->value();
    const qsizetype last = std::min(m_buffer.lineCount(), top + visibleLines() + 1);
    const qsizetype caretLine = m_buffer.lineOf(m_selection.caret);
    const bool selectionIsMatch = !m_highlight.isEmpty()
        && m_selection.end() - m_selection.start() == m_highlight.size()
        && findFolded(m_buffer.text(), m_highlight, m_selection.start(), m_selection.start() + 1)
            == m_selection.start();
    for (qsizetype line = top; line < last; ++line) {
        const Segment segment = segmentOf(line);
        const std::unique_ptr<QTextLayout> layout = layoutOf(segment);
        QList<QTextLayout::FormatRange> formats;
        const auto mark = [&](qsizetype from, qsizetype to, const QTextCharFormat &format) {
            from = std::max(from, segment.start);
            to = std::min(to, segment.end);
            if (from < to)
                formats.append({ static_cast<int>(from - segment.start),
                    static_cast<int>(to - from), format });
        };
        if (!m_highlight.isEmpty()) {
            const qsizetype from =
                std::max(m_buffer.lineStart(line), segment.start - m_highlight.size() + 1);
            for (qsizetype at = findFolded(m_buffer.text(), m_highlight, from, segment.end);
                 at >= 0; at = findFolded(m_buffer.text(), m_highlight, at + 1, segment.end))
                mark(at, at + m_highlight.size(), match);
        }
        mark(m_selection.start(), m_selection.end(), selected);

        const QPointF origin(
            textLeft() + segment.x, kMargin + static_cast<qreal>((line - top) * m_lineHeight));
        layout->draw(&painter, origin, formats);
        if (selectionIsMatch)
            drawCurrentMatchFrame(painter, *layout, segment, origin);
        if (hasFocus() && line == caretLine && m_selection.caret >= segment.start
            && m_selection.caret <= segment.end)
            layout->drawCursor(
                &painter, origin, static_cast<int>(m_selection.caret - segment.start));
    }
    if (hasFocus()) {
        QPen frame(palette().highlight(), kFocusFrameWidth);
        frame.setJoinStyle(Qt::MiterJoin);
        painter.setPen(frame);
        painter.setBrush(Qt::NoBrush);
        const qreal inset = kFocusFrameWidth / 2.0;
        painter.drawRect(QRectF(viewport()->rect()).adjusted(inset, inset, -inset, -inset));
    }
}

// The current match, the selection when it is a match of the find bar's
// text, is framed in the text colour: matches and the current one differ by
// more than their colours.
void ResultView::drawCurrentMatchFrame(
    QPainter &painter, const QTextLayout &layout, const Segment &segment, QPointF origin) const
{
    const qsizetype from = std::max(m_selection.start(), segment.start);
    const qsizetype to = std::min(m_selection.end(), segment.end);
    if (from >= to)
        return;
    const QTextLine line = layout.lineAt(0);
    const qreal left = line.cursorToX(static_cast<int>(from - segment.start));
    const qreal right = line.cursorToX(static_cast<int>(to - segment.start));
    painter.save();
    painter.setPen(QPen(palette().text(), kCurrentMatchFrameWidth));
    painter.setBrush(Qt::NoBrush);
    const qreal inset = kCurrentMatchFrameWidth / 2.0;
    painter.drawRect(QRectF(origin.x() + left, origin.y(), right - left, m_lineHeight)
                         .adjusted(inset, inset, -inset, -inset));
    painter.restore();
}

QRect ResultView::characterRect(qsizetype offset) const
{
    if (offset < 0 || offset >= m_buffer.size())
        return {};
    const qsizetype line = m_buffer.lineOf(offset);
    const qsizetype top = verticalScrollBar()->value();
    if (line < top || line >= top + visibleLines())
        return {};
    const Segment segment = segmentOf(line);
    // A line end stands after the line's last character, one cell wide.
    const bool lineEnd = offset >= m_buffer.lineEnd(line);
    if (offset < segment.start || (offset >= segment.end && !lineEnd))
        return {};
    const std::unique_ptr<QTextLayout> layout = layoutOf(segment);
    const QTextLine text = layout->lineAt(0);
    const auto at = static_cast<int>(std::min(offset, segment.end) - segment.start);
    const qreal left = text.cursorToX(at);
    const qreal right = lineEnd ? left + m_cellWidth : text.cursorToX(at + 1);
    const qreal x = textLeft() + segment.x;
    return QRectF(x + left, kMargin + static_cast<qreal>((line - top) * m_lineHeight), right - left,
        m_lineHeight)
        .toAlignedRect();
}

qsizetype ResultView::offsetAt(QPoint viewportPos) const
{
    const qsizetype row =
        viewportPos.y() < kMargin ? 0 : (viewportPos.y() - kMargin) / m_lineHeight;
    const qsizetype line =
        std::clamp<qsizetype>(verticalScrollBar()->value() + row, 0, m_buffer.lineCount() - 1);
    const Segment segment = segmentOf(line);
    const std::unique_ptr<QTextLayout> layout = layoutOf(segment);
    const qreal x = viewportPos.x() - textLeft() - segment.x;
    return segment.start + layout->lineAt(0).xToCursor(x);
}

void ResultView::moveCaret(qsizetype offset, bool keepAnchor)
{
    TextSelection moved = m_selection;
    moved.moveTo(offset, keepAnchor);
    changeSelection(moved);
    m_wantedColumn = -1;
    scrollToOffset(m_selection.caret);
}

void ResultView::moveLines(qsizetype lines, bool keepAnchor)
{
    const qsizetype column =
        m_wantedColumn >= 0 ? m_wantedColumn : m_buffer.columnAt(m_selection.caret);
    const qsizetype line = std::clamp<qsizetype>(
        m_buffer.lineOf(m_selection.caret) + lines, 0, m_buffer.lineCount() - 1);
    TextSelection moved = m_selection;
    moved.moveTo(m_buffer.offsetAtColumn(line, column), keepAnchor);
    changeSelection(moved);
    m_wantedColumn = column;
    scrollToOffset(m_selection.caret);
}

void ResultView::scrollToOffset(qsizetype offset)
{
    offset = std::clamp<qsizetype>(offset, 0, m_buffer.size());
    QScrollBar *lines = verticalScrollBar();
    const qsizetype line = m_buffer.lineOf(offset);
    if (line < lines->value())
        lines->setValue(static_cast<int>(line));
    else if (line >= lines->value() + visibleLines())
        lines->setValue(static_cast<int>(line - visibleLines() + 1));

    QScrollBar *columns = horizontalScrollBar();
    const qreal x = static_cast<qreal>(m_buffer.columnAt(offset)) * m_cellWidth;
    const qreal width = viewport()->width() - 2 * kMargin;
    if (x < columns->value())
        columns->setValue(static_cast<int>(x));
    else if (x > columns->value() + width)
        columns->setValue(static_cast<int>(std::ceil(x - width)));
}

void ResultView::keyPressEvent(QKeyEvent *event)
{
    if (event == QKeySequence::Copy) {
        copy();
        return;
    }
    if (event == QKeySequence::SelectAll) {
        selectAll();
        return;
    }
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool control = event->modifiers() & Qt::ControlModifier;
    const qsizetype caret = m_selection.caret;
    const qsizetype line = m_buffer.lineOf(caret);
    const int page = visibleLines();
    switch (event->key()) {
    case Qt::Key_Left:
        moveCaret(
            hasSelection() && !shift ? m_selection.start() : previousCaretOffset(m_buffer, caret),
            shift);
        break;
    case Qt::Key_Right:
        moveCaret(
            hasSelection() && !shift ? m_selection.end() : nextCaretOffset(m_buffer, caret), shift);
        break;
    case Qt::Key_Up:
        moveLines(-1, shift);
        break;
    case Qt::Key_Down:
        moveLines(1, shift);
        break;
    case Qt::Key_PageUp:
        verticalScrollBar()->setValue(verticalScrollBar()->value() - page);
        moveLines(-page, shift);
        break;
    case Qt::Key_PageDown:
        verticalScrollBar()->setValue(verticalScrollBar()->value() + page);
        moveLines(page, shift);
        break;
    case Qt::Key_Home:
        moveCaret(control ? 0 : m_buffer.lineStart(line), shift);
        break;
    case Qt::Key_End:
        moveCaret(control ? m_buffer.size() : m_buffer.lineEnd(line), shift);
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}

bool ResultView::event(QEvent *event)
{
    // The view's own copy and select-all keys win over shortcuts elsewhere.
    if (event->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key == QKeySequence::Copy || key == QKeySequence::SelectAll) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void ResultView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const qsizetype offset = offsetAt(event->position().toPoint());
    if (m_sinceDoubleClick.isValid()
        && m_sinceDoubleClick.elapsed() < QApplication::doubleClickInterval()) {
        m_sinceDoubleClick.invalidate();
        changeSelection(lineAround(m_buffer, offset));
        return;
    }
    moveCaret(offset, event->modifiers() & Qt::ShiftModifier);
}

void ResultView::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        moveCaret(offsetAt(event->position().toPoint()), true);
}

void ResultView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    changeSelection(wordAround(m_buffer, offsetAt(event->position().toPoint())));
    m_sinceDoubleClick.start();
}

void ResultView::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void ResultView::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void ResultView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    placeFindBar();
    updateScrollBars();
}

void ResultView::scrollContentsBy(int, int)
{
    viewport()->update();
}

void ResultView::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        updateMetrics();
}
