#include "key_script.h"
#include "support/active_accessibility.h"
#include "window/frm_whois.h"

#include <QAccessible>
#include <QLabel>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

QString accessibleName(QObject *object)
{
    return QAccessible::queryAccessibleInterface(object)->text(QAccessible::Name);
}

bool isJapanese(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        return (c >= u'\u3040' && c <= u'\u30FF') || (c >= u'\u4E00' && c <= u'\u9FFF');
    });
}

// The names of the status label's NameChanged events.
QStringList g_statusNames;
QObject *g_statusLabel = nullptr;

void recordStatus(QAccessibleEvent *event)
{
    if (event->type() == QAccessible::NameChanged && event->object() == g_statusLabel)
        g_statusNames.append(event->accessibleInterface()->text(QAccessible::Name));
}

} // namespace

class TestFrmWhoisAccessible : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(ActivateAccessibility());
        m_window = std::make_unique<frmWhois>(WhoisRoute {}, m_dir.path());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    // Each control a user reaches with the keyboard has a name in
    // Japanese, the fields the one of their label.
    void everyControlNamed()
    {
        frmWhois &window = *m_window;
        // On Linux Qt names a combo box by its text, and readers speak the
        // label it is labelled by.
        const QList<std::pair<QString, QString>> names { { u"txtInput"_qs, u"キー"_qs },
            { u"cmdOK"_qs, u"照会"_qs }, { u"cmdClear"_qs, u"クリア"_qs },
            { u"txtLabel"_qs, u"結果の見出し"_qs }, { u"rtbResult"_qs, u"結果"_qs },
            { u"findText"_qs, u"検索"_qs }, { u"stbMain"_qs, u"状態"_qs } };
        for (const auto &[objectName, name] : names) {
            auto *widget = window.findChild<QWidget *>(objectName);
            QVERIFY2(widget, qPrintable(objectName));
            QCOMPARE(accessibleName(widget), name);
        }
        const QList<std::pair<QString, QString>> labels { { u"txtInput"_qs, u"キー"_qs },
            { u"cboServer"_qs, u"サーバ"_qs } };
        for (const auto &[field, name] : labels) {
            const auto relations =
                QAccessible::queryAccessibleInterface(window.findChild<QWidget *>(field))
                    ->relations(QAccessible::Label);
            QCOMPARE(relations.size(), 1);
            QCOMPARE(relations.first().first->text(QAccessible::Name), name);
        }

        // Whatever takes the focus, and every button of the toolbar, has one.
        for (QWidget *widget : window.findChildren<QWidget *>()) {
            const bool focusable = widget->focusPolicy() != Qt::NoFocus && !widget->focusProxy();
            if (!widget->isVisibleTo(&window) || !(focusable || widget->inherits("QToolButton")))
                continue;
            QObject *named = widget;
            // The combo box's own edit field is read as part of the combo box.
            if (widget->parentWidget() && widget->parentWidget()->inherits("QComboBox"))
                named = widget->parentWidget();
            const QString name = accessibleName(named);
            QVERIFY2(isJapanese(name),
                qPrintable(QLatin1StringView(widget->metaObject()->className()) + u' '
                    + widget->objectName() + u": \""_qs + name + u'"'));
        }
    }

    // A new status is announced through the status label's name.
    void statusAnnounced()
    {
        frmWhois &window = *m_window;
        g_statusLabel = window.findChild<QStatusBar *>(u"stbMain"_qs)->findChild<QLabel *>();
        g_statusNames.clear();
        const QAccessible::UpdateHandler before = QAccessible::installUpdateHandler(recordStatus);
        PressKeys(&window, u"{Alt+K} {Return}"_qs);
        QAccessible::installUpdateHandler(before);
        QCOMPARE(
            g_statusNames, QStringList { u"IPアドレス、またはドメイン名を入力してください。"_qs });
    }

    // The warning box is read as an alert that describes itself with its text.
    void warningBoxIsAlert()
    {
        frmWhois &window = *m_window;
        QAccessible::Role role = QAccessible::NoRole;
        QString name;
        QString description;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget *box = QApplication::activeModalWidget();
            if (!box)
                return;
            poll.stop();
            QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(box);
            role = accessible->role();
            name = accessible->text(QAccessible::Name);
            description = accessible->text(QAccessible::Description);
            QTest::keyClick(box, Qt::Key_Return);
        });
        poll.start(10);
        PressKeys(&window, u"{Alt+K} .nosuchtld {Return}"_qs);
        QCOMPARE(role, QAccessible::AlertMessage);
        QCOMPARE(name, u"エラー"_qs);
        QCOMPARE(description,
            u"自動選択リストに登録されていないアドレスです。または、書式が正しくありません。\n"
            "サーバを手動で選択するか、またはキーワードを入力し直してください。"_qs);
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<frmWhois> m_window;
};

QTEST_MAIN(TestFrmWhoisAccessible)
#include "tst_frm_whois_accessible.moc"
