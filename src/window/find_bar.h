#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

// The small bar under the result view that takes the text to find. Enter and
// F3 ask for the next match, Shift+F3 for the previous one, Esc closes it.
class FindBar : public QWidget {
    Q_OBJECT

public:
    explicit FindBar(QWidget *parent = nullptr);

    QString text() const;
    // Opens the bar with its text selected, or with the given text.
    void open(const QString &text = {});
    void showNotFound(bool notFound);

signals:
    void findRequested(bool forward);
    void textChanged(const QString &text);
    void closed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *m_text;
    QLabel *m_message;
};
