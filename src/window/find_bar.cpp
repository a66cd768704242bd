#include "window/find_bar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

FindBar::FindBar(QWidget *parent)
    : QWidget(parent), m_text(new QLineEdit(this)), m_message(new QLabel(this))
{
    setObjectName(u"findBar"_qs);
    m_text->setObjectName(u"findText"_qs);
    m_message->setObjectName(u"findMessage"_qs);
    setAutoFillBackground(true);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    auto *label = new QLabel(u"検索(&N):"_qs, this);
    label->setBuddy(m_text);
    m_text->setAccessibleName(u"検索"_qs);
    layout->addWidget(label);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_message);
    m_text->installEventFilter(this);
    connect(m_text, &QLineEdit::textChanged, this, [this](const QString &text) {
        showNotFound(false);
        emit textChanged(text);
    });
    hide();
}

QString FindBar::text() const
{
    return m_text->text();
}

void FindBar::open(const QString &text)
{
    if (!text.isEmpty())
        m_text->setText(text);
    show();
    m_text->setFocus(Qt::ShortcutFocusReason);
    m_text->selectAll();
}

void FindBar::showNotFound(bool notFound)
{
    m_message->setText(notFound ? u"見つかりません"_qs : QString());
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_text
        || (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride))
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool shift = key->modifiers() & Qt::ShiftModifier;
    const bool ours = key->key() == Qt::Key_Escape || key->key() == Qt::Key_Return
        || key->key() == Qt::Key_Enter || key->key() == Qt::Key_F3;
    if (!ours)
        return false;
    // The bar's keys act here, before any shortcut of the window takes them.
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    if (key->key() == Qt::Key_Escape) {
        hide();
        emit closed();
    } else {
        emit findRequested(!(key->key() == Qt::Key_F3 && shift));
    }
    return true;
}
