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
QFont proportionalGothic(qreal points)
{
    QFont font;
    font.setFamilies({ QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("Noto Sans CJK JP") });
    font.setPointSizeF(points);
    font.setWeight(QFont::Normal);
    return font;
}

QLabel *namedLabel(const QString &text, const QString &objectName, QWidget *parent)
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
    setFont(proportionalGothic(9));
    setWindowTitle(QStringLiteral("バージョン情報 - %1").arg(kProductName));

    auto *picture = namedLabel(QString(), QStringLiteral("Picture1"), this);
    picture->setPixmap(resourceIcon(u"domquire").pixmap(kPictureSize, kPictureSize));
    picture->setFixedSize(kPictureSize, kPictureSize);

    auto *nameLabel = namedLabel(kProductName.toString(), QStringLiteral("lblName"), this);
    nameLabel->setFont(proportionalGothic(14.25));
    auto *versionLabel = namedLabel(kVersionText.toString(), QStringLiteral("lblVer"), this);
    auto *teamLabel =
        namedLabel(QStringLiteral("Domquire 開発チーム"), QStringLiteral("teamLabel"), this);

    m_urlLabel = namedLabel(kWebSiteUrl.toString(), QStringLiteral("lblUrl"), this);
    QPalette urlPalette = m_urlLabel->palette();
    urlPalette.setColor(QPalette::WindowText, kNavy);
    m_urlLabel->setPalette(urlPalette);
    m_urlLabel->setCursor(Qt::PointingHandCursor);
    m_urlLabel->installEventFilter(this);

    auto *okButton = new QPushButton(QStringLiteral("OK(&O)"), this);
    okButton->setObjectName(QStringLiteral("cmdOk"));
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);

    auto *texts = new QVBoxLayout;
    texts->addWidget(nameLabel);
    texts->addWidget(versionLabel);
    texts->addSpacing(8);
    texts->addWidget(teamLabel);
    texts->addWidget(m_urlLabel);

    auto *body = new QHBoxLayout;
    body->addWidget(picture, 0, Qt::AlignTop);
    body->addSpacing(12);
    body->addLayout(texts);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addSpacing(12);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool frmAbout::eventFilter(QObject *watched, QEvent *event)
{
    // A click is a left-button release over the address, after a press on it.
    if (watched == m_urlLabel && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton
            && m_urlLabel->rect().contains(mouse->position().toPoint()))
            openWebSite();
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

void frmAbout::openWebSite()
{
    openProductWebSite();
}
