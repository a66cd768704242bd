#pragma once

#include <QObject>

// Lets a combo box take plain text dropped on it: a drag that offers plain
// text is accepted as a copy, anything else is refused, and the dropped text
// replaces the combo's edit text unchanged. The list is not touched.
class TextDropFilter : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
