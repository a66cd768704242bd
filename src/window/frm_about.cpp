#include "window/frm_about.h"

#include "window/product_info.h"
#include "window/resource_icon.h"
#include "window/web_site.h"

#include <QBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace {

constexpr Qt::WindowFlags kDialogFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
constexpr int kPictureSize = 32;
constexpr QColor kNavy(0, 0, 128);

// The dialog's proportional Gothic face, with a face of the same kind where it is missing.
QFont ProportionalGothic(qreal points)
{
    QFont font;
    font.setFamilies({ QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("Noto Sans CJK JP") });
    font.setPointSizeF(points);
    font.setWeight(QFont::Normal);
    return font;
}

QLabel *NamedLabel(const QString &text, const QString &objectName, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(objectName);
    return label;
}

} // namespace

frmAbout::frmAbout(QWidget *owner) : QDialog(owner, kDialogFlags)
{
    setObjectName(QStringLiteral("frmAbout"));
    setModal(true);
    setFont(ProportionalGothic(9));
    setWindowTitle(QStringLiteral("バージョン情報 - %1").arg(kProductName));

    auto *picture = NamedLabel(QString(), QStringLiteral("Picture1"), this);
    picture->setPixmap(ResourceIcon(u"domquire").pixmap(kPictureSize, kPictureSize));
    picture->setFixedSize(kPictureSize, kPictureSize);

    auto *lblName = NamedLabel(kProductName.toString(), QStringLiteral("lblName"), this);
    lblName->setFont(ProportionalGothic(14.25));
    auto *lblVer = NamedLabel(kVersionText.toString(), QStringLiteral("lblVer"), this);
    auto *label1 =
        NamedLabel(QStringLiteral("Domquire 開発チーム"), QStringLiteral("Label1"), this);

    m_lblUrl = NamedLabel(kWebSiteUrl.toString(), QStringLiteral("lblUrl"), this);
    QPalette urlPalette = m_lblUrl->palette();
    urlPalette.setColor(QPalette::WindowText, kNavy);
    m_lblUrl->setPalette(urlPalette);
    m_lblUrl->setCursor(Qt::PointingHandCursor);
    m_lblUrl->installEventFilter(this);

    auto *cmdOk = new QPushButton(QStringLiteral("OK(&O)"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);
    connect(cmdOk, &QPushButton::clicked, this, &frmAbout::cmdOk_Click);

    auto *texts = new QVBoxLayout;
    texts->addWidget(lblName);
    texts->addWidget(lblVer);
    texts->addSpacing(8);
    texts->addWidget(label1);
    texts->addWidget(m_lblUrl);

    auto *body = new QHBoxLayout;
    body->addWidget(picture, 0, Qt::AlignTop);
    body->addSpacing(12);
    body->addLayout(texts);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addSpacing(12);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool frmAbout::eventFilter(QObject *watched, QEvent *event)
{
    // A click is a left-button release over the address, after a press on it.
    if (watched == m_lblUrl && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton
            && m_lblUrl->rect().contains(mouse->position().toPoint()))
            lblUrl_Click();
    }
    return QDialog::eventFilter(watched, event);
}

void frmAbout::keyPressEvent(QKeyEvent *event)
{
    // There is no cancel button, so Esc does nothing; Enter still presses OK.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmAbout::cmdOk_Click()
{
    accept();
}

void frmAbout::lblUrl_Click()
{
    OpenWebSite();
}
