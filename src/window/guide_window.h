#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <QWidget>

class FindBar;
class QAction;
class QTextBrowser;
class QTreeWidget;

// The sections of the built-in guide that controls lead to; each is the
// anchor of a heading of docs/guide/ja.md.
inline constexpr QStringView kGuideKeysAnchor = u"キーの書き方";
inline constexpr QStringView kGuideServersAnchor = u"サーバの選び方";
inline constexpr QStringView kGuideBatchAnchor = u"一括照会";

// A control and the section of the guide that explains it.
struct GuideTopic {
    const QWidget *control;
    QStringView anchor;
};

// The user guide built into the program, in a window of its own: the
// contents (the guide's headings) on the left, the guide on the right.
// Links inside the guide are followed here, with Back and Forward
// (Alt+Left, Alt+Right); links to web pages and mail addresses go to the
// desktop's browser or mailer, any other link is ignored. Ctrl+F opens a find
// bar, F3 and Shift+F3 find the next and previous match. The window keeps its
// size in dq.ini and closes with its owner.
class GuideWindow : public QWidget {
    Q_OBJECT

public:
    // The guide, with its size kept in dq.ini in the settings folder.
    explicit GuideWindow(const QString &settingsFolder, QWidget *owner);

    // Shows the owner's guide window, made on first use, at the section of
    // the anchor, or where it was for none.
    static GuideWindow *open(
        QWidget *owner, const QString &settingsFolder, QStringView anchor = {});
    // F1 anywhere in the window opens the guide at the section of the topic
    // whose control has the focus or holds the control that has it.
    static void installHelpKey(
        QWidget *window, const QString &settingsFolder, const QList<GuideTopic> &topics);

    // Scrolls to the section of the anchor, as a step Back returns from.
    void showSection(QStringView anchor);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fillContents();
    void followLink(const QUrl &link);
    void markContents(const QUrl &source);
    void find(bool forward);

    QTextBrowser *m_text;
    QTreeWidget *m_contents;
    FindBar *m_findBar;
};
