#pragma once

#include "text/folded_search.h"
#include "text/text_buffer.h"
#include "text/text_selection.h"

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QTimer>

#include <memory>

class FindBar;
class QTextLayout;

// The read-only result view: any amount of text, shown as it arrives. The
// text lives in a TextBuffer; only the lines on screen are laid out, and of
// a very long line only the part around what is on screen. Lines do not
// wrap; tabs stand at every 8 columns.
//
// Keys: arrows, Home/End, Ctrl+Home/End, PageUp/PageDown (with Shift to
// select), Ctrl+A, Ctrl+C; Ctrl+Shift+F opens the find bar under the view,
// F3 and Shift+F3 find the next and the previous match.
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

    bool hasSelection() const { return m_selection.hasSelection(); }
    QString selectedText() const;
    void selectAll();
    void copy() const;

    void openFindBar();
    // Finds the next or previous match of the find bar's text, a slice at a
    // time from the event loop; searchFinished tells the outcome.
    void find(bool forward);

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
    qsizetype offsetAt(QPoint viewportPos) const;
    void moveCaret(qsizetype offset, bool keepAnchor);
    void moveLines(qsizetype lines, bool keepAnchor);
    void ensureCaretVisible();
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

    // A press soon after a double-click selects the line.
    QElapsedTimer m_sinceDoubleClick;
};
