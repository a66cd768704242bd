#include "window/stored_window_size.h"

#include "settings/ini_store.h"
#include "window/stored_size.h"
#include "window/twips.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>

StoredWindowSize::StoredWindowSize(
    QWidget *window, const QString &settingsFolder, WindowSizeSetting setting)
    : QObject(window), m_window(window), m_settingsFolder(settingsFolder),
      m_setting(std::move(setting))
{
    const double dpi = window->logicalDpiX();
    const QSize available = window->screen()->availableSize();
    const IniStore settings(m_settingsFolder);
    const auto stored = [&](const QString &key, int defaultTwips, int minTwips, int pixels) {
        const int twips = storedTwips(settings.loadIni(key, QString::number(defaultTwips)),
            { defaultTwips, minTwips, qRound(Twips::fromPixels(pixels, dpi)) });
        return Twips::toPixels(twips, dpi);
    };
    m_outerSize = QSize(stored(m_setting.widthKey, m_setting.defaultTwips.width(),
                            m_setting.minimumTwips.width(), available.width()),
        stored(m_setting.heightKey, m_setting.defaultTwips.height(),
            m_setting.minimumTwips.height(), available.height()));
    window->resize(*m_outerSize);
    window->installEventFilter(this);
}

bool StoredWindowSize::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window) {
        if (event->type() == QEvent::Show || event->type() == QEvent::Move)
            fitOuterSize();
        else if (event->type() == QEvent::Close)
            store();
    }
    return QObject::eventFilter(watched, event);
}

void StoredWindowSize::fitOuterSize()
{
    // The stored size is the outer size, frame included; the frame is known
    // only once the window manager has framed the window, which it reports
    // with a move. Without a frame the two sizes are the same. Once fitted,
    // the size is the user's: later moves and shows leave it alone.
    if (!m_outerSize)
        return;
    const QSize frame = m_window->frameGeometry().size() - m_window->size();
    if (frame.isNull())
        return;
    m_window->resize(*m_outerSize - frame);
    m_outerSize.reset();
}

void StoredWindowSize::store() const
{
    if (m_window->windowState()
        & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    const double dpi = m_window->logicalDpiX();
    const QSize outer = m_window->frameGeometry().size();
    const IniStore settings(m_settingsFolder);
    settings.saveIni(m_setting.widthKey, QString::number(qRound(Twips::fromPixels(outer.width(), dpi))));
    settings.saveIni(
        m_setting.heightKey, QString::number(qRound(Twips::fromPixels(outer.height(), dpi))));
}
