#include "window/active_result_view.h"
#include "window/result_view.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace {

// The view with the keys and the find bar's parts its tests use.
struct View : ActiveResultView {
    using ActiveResultView::ActiveResultView;

    // Presses keys written as "Shift+End" etc., one after the other.
    void press(const QStringList &keys)
    {
        for (const QString &name : keys) {
            const QKeyCombination key = QKeySequence::fromString(name)[0];
            QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
        }
    }

    QLineEdit *findText() const { return view.findChild<QLineEdit *>(u"findText"_qs); }
    QString findMessage() const { return view.findChild<QLabel *>(u"findMessage"_qs)->text(); }
};

const QStringList kAnswer { u"Domain: EXAMPLE.jp\r\n登録者: 例 ｅｘａｍｐｌｅ\r"_qs,
    u"\n\r\nName\u00a0Server:\tns.example.jp\u2028x\n"_qs, u"last"_qs };

} // namespace

class TestResultView : public QObject {
    Q_OBJECT

private slots:
    // The caret keys, with Shift to select; the selection is the text
    // between its ends exactly as given, line ends included.
    void caretKeysSelect_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("selected");
        using L = QStringList;
        QTest::newRow("Shift+End from the start")
            << L { u"Shift+End"_qs } << u"Domain: EXAMPLE.jp"_qs;
        QTest::newRow("Shift+Right over a line end")
            << L { u"End"_qs, u"Shift+Right"_qs, u"Shift+Right"_qs } << u"\r\n登"_qs;
        QTest::newRow("Shift+Left back into the line before")
            << L { u"Down"_qs, u"Home"_qs, u"Shift+Left"_qs, u"Shift+Left"_qs } << u"p\r\n"_qs;
        QTest::newRow("Down keeps the column past a short line")
            << L { u"End"_qs, u"Shift+Down"_qs, u"Shift+Down"_qs, u"Shift+Down"_qs }
            << u"\r\n登録者: 例 ｅｘａｍｐｌｅ\r\n\r\nName\u00a0Server:\tns"_qs;
        QTest::newRow("Up returns") << L {
            u"Down"_qs, u"Down"_qs, u"Down"_qs, u"Shift+Up"_qs, u"Shift+Up"_qs, u"Shift+Up"_qs
        } << u"Domain: EXAMPLE.jp\r\n登録者: 例 ｅｘａｍｐｌｅ\r\n\r\n"_qs;
        QTest::newRow("Shift+Home") << L { u"Ctrl+End"_qs, u"Shift+Home"_qs } << u"last"_qs;
        QTest::newRow("Ctrl+Shift+End selects the rest") << L { u"Down"_qs, u"Down"_qs, u"Down"_qs,
            u"End"_qs, u"Ctrl+Shift+End"_qs } << u"\nlast"_qs;
        QTest::newRow("Ctrl+Shift+Home back to the start") << L { u"Down"_qs, u"Right"_qs,
            u"Ctrl+Shift+Home"_qs } << u"Domain: EXAMPLE.jp\r\n登"_qs;
        QTest::newRow("PageDown goes to the last line")
            << L { u"Shift+PgDown"_qs } << kAnswer.join(QString()).chopped(4);
        QTest::newRow("Right without Shift drops the selection")
            << L { u"Shift+End"_qs, u"Right"_qs, u"Shift+Right"_qs } << u"\r\n"_qs;
        QTest::newRow("Ctrl+A") << L { u"Down"_qs, u"Ctrl+A"_qs } << kAnswer.join(QString());
    }

    void caretKeysSelect()
    {
        QFETCH(QStringList, keys);
        QFETCH(QString, selected);
        View v(kAnswer);
        v.press(keys);
        QCOMPARE(v.view.selectedText(), selected);
    }

    // The caret stands at the end after a CR when the next piece brings its
    // LF: the caret stays at the start of the new line, and Shift+Left
    // selects the whole line end, never anything before the text.
    void caretAfterACrThatAnLfJoins()
    {
        View v({ u"\r"_qs });
        v.press({ u"Ctrl+End"_qs });
        v.view.appendText(u"\nab"_qs);
        v.press({ u"Shift+Right"_qs });
        QCOMPARE(v.view.selectedText(), u"a"_qs);
        v.press({ u"Left"_qs, u"Shift+Left"_qs, u"Shift+Left"_qs });
        QCOMPARE(v.view.selectedText(), u"\r\n"_qs);
    }

    // Ctrl+C puts the selection on the clipboard as it is: no-break spaces,
    // line separators and CR LF stay.
    void copyKeepsEveryCharacter()
    {
        View v(kAnswer);
        QApplication::clipboard()->setText(u"before"_qs);
        v.press({ u"Ctrl+A"_qs, u"Ctrl+C"_qs });
        QCOMPARE(QApplication::clipboard()->text(), kAnswer.join(QString()));
        v.press(
            { u"Ctrl+Home"_qs, u"Down"_qs, u"Down"_qs, u"Down"_qs, u"Shift+End"_qs, u"Ctrl+C"_qs });
        QCOMPARE(QApplication::clipboard()->text(), u"Name\u00a0Server:\tns.example.jp\u2028x"_qs);
    }

    // Ctrl+Shift+F opens the bar; Enter and F3 go forward, Shift+F3 back,
    // full-width letters matching half-width ones; a text not there says so;
    // Esc closes the bar and gives the focus back to the view.
    void findBar()
    {
        View v(kAnswer);
        v.press({ u"Ctrl+Shift+F"_qs });
        QVERIFY(v.findText()->isVisible());
        QTRY_VERIFY(v.findText()->hasFocus());
        QTest::keyClicks(v.findText(), u"example"_qs);

        // The three matches differ in case and width, so each names its place.
        v.press({ u"Return"_qs });
        QTRY_COMPARE(v.view.selectedText(), u"EXAMPLE"_qs);
        v.press({ u"F3"_qs });
        QTRY_COMPARE(v.view.selectedText(), u"ｅｘａｍｐｌｅ"_qs);
        v.press({ u"F3"_qs });
        QTRY_COMPARE(v.view.selectedText(), u"example"_qs);
        v.press({ u"F3"_qs });
        QTRY_COMPARE(v.view.selectedText(), u"EXAMPLE"_qs);
        v.press({ u"Shift+F3"_qs });
        QTRY_COMPARE(v.view.selectedText(), u"example"_qs);
        QCOMPARE(v.findMessage(), QString());

        v.findText()->selectAll();
        QTest::keyClicks(v.findText(), u"rdap"_qs);
        v.press({ u"Return"_qs });
        QTRY_COMPARE(v.findMessage(), u"見つかりません"_qs);
        QCOMPARE(v.view.selectedText(), u"example"_qs);

        v.press({ u"Escape"_qs });
        QVERIFY(!v.findText()->isVisible());
        QTRY_VERIFY(v.view.hasFocus());
        // F3 in the view finds again with the bar's text.
        v.findText()->setText(u"name"_qs);
        v.press({ u"F3"_qs });
        QTRY_COMPARE(v.view.selectedText(), u"Name"_qs);
    }
};

QTEST_MAIN(TestResultView)
#include "tst_result_view.moc"
