#include "window/warning_box.h"

#include <QAccessibleWidget>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QScreen>
#include <QStyle>

namespace {

const QString kBoxName = u"warningBox"_qs;

// Assistive technology reads the box as an alert, its text as the
// description.
QAccessibleInterface *createForWarningBox(const QString &, QObject *object)
{
    auto *box = qobject_cast<QDialog *>(object);
    return box && box->objectName() == kBoxName
        ? new QAccessibleWidget(box, QAccessible::AlertMessage)
        : nullptr;
}

} // namespace

void showWarningBox(QWidget *parent, const QString &text)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(createForWarningBox);
        return true;
    }();
    Q_UNUSED(factoryInstalled);

    QDialog box(parent);
    box.setObjectName(kBoxName);
    box.setWindowTitle(u"エラー"_qs);

    auto *icon = new QLabel(&box);
    QStyle *style = box.style();
    const int iconSize = style->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
    icon->setPixmap(
        style->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, &box).pixmap(iconSize));

    // Messages may break their lines with CR LF; the label breaks on LF.
    QString lines = text;
    lines.replace(u"\r\n"_qs, u"\n"_qs).replace(u'\r', u'\n');
    auto *message = new QLabel(lines, &box);
    message->setObjectName(u"warningText"_qs);
    message->setTextFormat(Qt::PlainText);
    box.setAccessibleDescription(lines);
    const int widest = box.screen()->availableGeometry().width() * 3 / 4;
    if (message->sizeHint().width() > widest) {
        message->setWordWrap(true);
        message->setFixedWidth(widest);
    }

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);

    auto *layout = new QGridLayout(&box);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(icon, 0, 0, Qt::AlignTop);
    layout->addWidget(message, 0, 1);
    layout->addWidget(buttons, 1, 0, 1, 2);
    box.exec();
}
