#pragma once

#include "text/folded_search.h"
#include "text/text_buffer.h"
#include "text/text_selection.h"

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QTimer>

#include <memory>

class FindBar;
class QPainter;
class QTextLayout;

// The read-only result view: any amount of text, shown as it arrives. The
// text lives in a TextBuffer; only the lines on screen are laid out, and of
// a very long line only the part around what is on screen. Lines do not
// wrap; tabs stand at every 8 columns.
//
// Keys: arrows, Home/End, Ctrl+Home/End, PageUp/PageDown (with Shift to
// select), Ctrl+A, Ctrl+C; Ctrl+Shift+F opens the find bar under the view,
// F3 and Shift+F3 find the next and the previous match.
//
// Assistive technology reads the view through ResultViewAccessible; the
// view tells it of arriving text (a few times a second at most), of caret
// moves and of selection changes.
class ResultView : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit ResultView(QWidget *parent = nullptr);
    ~ResultView() override;

    void clear();
    void appendText(QStringView text);
    // Shows a text kept elsewhere, sharing it.
    void setText(const QString &text);
    // The whole text, exactly as given; shared, not copied.
    QString text() const { return m_buffer.text(); }
    bool isEmpty() const { return m_buffer.size() == 0; }

    const TextBuffer &buffer() const { return m_buffer; }
    const TextSelection &selection() const { return m_selection; }
    // Selects as a user would, bringing the caret into view.
    void setSelection(TextSelection selection);
    bool hasSelection() const { return m_selection.hasSelection(); }
    QString selectedText() const;
    void selectAll();
    void copy() const;

    void openFindBar();
    // Finds the next or previous match of the find bar's text, a slice at a
    // time from the event loop; searchFinished tells the outcome.
    void find(bool forward);

    // Where the character at the offset stands in the viewport; empty when
    // its line is not on screen.
    QRect characterRect(qsizetype offset) const;
    // The offset nearest to a point of the viewport.
    qsizetype offsetAt(QPoint viewportPos) const;
    // Scrolls the least that brings the offset into view.
    void scrollToOffset(qsizetype offset);

signals:
    void searchFinished(bool found);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // The part of a line that is laid out: all of a short line, the columns
    // around the screen of a long one; x is where it starts, in pixels from
    // the left of the text.
    struct Segment {
        qsizetype start;
        qsizetype end;
        qreal x;
    };

    Segment segmentOf(qsizetype line) const;
    std::unique_ptr<QTextLayout> layoutOf(const Segment &segment) const;
    void moveCaret(qsizetype offset, bool keepAnchor);
    void moveLines(qsizetype lines, bool keepAnchor);
    // Takes the selection and tells assistive technology what changed.
    void changeSelection(TextSelection selection);
    void announceInsertedText();
    void drawCurrentMatchFrame(
        QPainter &painter, const QTextLayout &layout, const Segment &segment, QPointF origin) const;
    void updateScrollBars();
    void updateMetrics();
    void placeFindBar();
    void searchSlices();
    int visibleLines() const;
    int textLeft() const;

    TextBuffer m_buffer;
    TextSelection m_selection;
    // The column Up and Down keep to while they pass shorter lines.
    qsizetype m_wantedColumn = -1;
    qreal m_cellWidth = 1;
    int m_lineHeight = 1;

    FindBar *m_findBar;
    SlicedSearch m_search;
    QTimer m_searchTurn;
    // The folded text whose matches on screen are highlighted.
    QString m_highlight;

    // Where the text not yet announced to assistive technology starts, or
    // -1; announced when m_announceTurn fires.
    qsizetype m_unannouncedFrom = -1;
    QTimer m_announceTurn;

    // A press soon after a double-click selects the line.
    QElapsedTimer m_sinceDoubleClick;
};
