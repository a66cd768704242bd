#include "window/registry_commands.h"

#include "rdap/registry_refresh.h"
#include "settings/ini_store.h"

#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>

namespace {

constexpr int kDefaultDays = RegistryRefresh::kDefaultIntervalDays;
constexpr int kMaxDays = 365;
constexpr int kCheckIntervalMs = 60 * 60 * 1000;
const QString kStoredTrue = u"-1"_qs;
const QString kStoredFalse = u"0"_qs;

QString resultText(const RegistryRefresh::FileResult &outcome)
{
    switch (outcome.result) {
    case RegistryRefresh::Result::NotAsked:
        return {};
    case RegistryRefresh::Result::Replaced:
        return u"更新しました"_qs;
    case RegistryRefresh::Result::Confirmed:
        return u"新しいデータはありません"_qs;
    case RegistryRefresh::Result::Refused:
        return u"受け入れませんでした: "_qs + outcome.detail;
    case RegistryRefresh::Result::Failed:
        return u"取得できませんでした: "_qs + outcome.detail.section(u'\n', 0, 0);
    }
    return {};
}

} // namespace

RegistryCommands::RegistryCommands(
    QMainWindow &window, RegistryRefresh &refresh, QString settingsFolder)
    : QObject(&window), m_window(window), m_refresh(refresh),
      m_settingsFolder(std::move(settingsFolder))
{
    auto *file = window.findChild<QMenu *>(u"mnuFile"_qs);
    QAction *before = file ? file->findChild<QAction *>(u"mnuFileLine"_qs) : nullptr;
    m_update = new QAction(u"登録データを更新(&U)"_qs, this);
    m_update->setObjectName(u"mnuUpdateRegistry"_qs);
    m_automatic = new QAction(u"登録データを自動で更新する"_qs, this);
    m_automatic->setObjectName(u"mnuAutoUpdateRegistry"_qs);
    m_automatic->setCheckable(true);
    if (file)
        file->insertActions(before, { m_update, m_automatic });

    const IniStore settings(m_settingsFolder);
    m_automatic->setChecked(settings.loadIni(kSettingAutomatic, kStoredTrue) != kStoredFalse);
    bool number = false;
    const int days = settings.loadIni(kSettingDays, QString()).toInt(&number);
    m_refresh.setIntervalDays(number && days >= 1 && days <= kMaxDays ? days : kDefaultDays);

    connect(m_update, &QAction::triggered, this, &RegistryCommands::updateNow);
    connect(m_automatic, &QAction::toggled, this, &RegistryCommands::storeAutomatic);
    connect(&m_refresh, &RegistryRefresh::finished, this, &RegistryCommands::showReport);
    // The first check once the event loop runs, then one every hour.
    connect(&m_hourly, &QTimer::timeout, this, [this] {
        m_hourly.setInterval(kCheckIntervalMs);
        refreshIfStale();
    });
    m_hourly.start(0);
}

void RegistryCommands::updateNow()
{
    m_reportWanted = true;
    m_update->setEnabled(false);
    m_refresh.refreshAll();
}

void RegistryCommands::storeAutomatic(bool on)
{
    IniStore(m_settingsFolder).saveIni(kSettingAutomatic, on ? kStoredTrue : kStoredFalse);
    if (on)
        refreshIfStale();
}

void RegistryCommands::refreshIfStale()
{
    if (m_automatic->isChecked())
        m_refresh.refreshStale();
}

void RegistryCommands::showReport()
{
    m_update->setEnabled(true);
    if (!std::exchange(m_reportWanted, false))
        return;
    const std::shared_ptr<const RegistryData> data = RegistryData::inUse();
    QStringList lines { u"IANA の RDAP 登録データ ("_qs + m_refresh.baseUrl().toString() + u')',
        QString() };
    for (const BootstrapFile file : kBootstrapFiles) {
        const BootstrapInfo info = data->info(file);
        QString line = bootstrapFileName(file) + u"  "_qs
            + info.publication.toUTC().toString(u"yyyy-MM-dd"_qs) + u"  "_qs
            + (info.fromCache ? u"キャッシュ"_qs : u"組み込み"_qs);
        if (const QString result = resultText(m_refresh.lastResult(file)); !result.isEmpty())
            line += u"  ("_qs + result + u')';
        lines << line;
    }
    auto *report = new QMessageBox(QMessageBox::Information, u"登録データ"_qs, lines.join(u'\n'),
        QMessageBox::Ok, &m_window);
    report->setObjectName(u"registryReport"_qs);
    report->setTextFormat(Qt::PlainText);
    report->setAttribute(Qt::WA_DeleteOnClose);
    report->open();
}
