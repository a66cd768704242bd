#include "window/batch_window.h"

#include "batch/batch_export.h"
#include "batch/batch_text.h"
#include "batch/time_left_text.h"
#include "settings/bounded_file.h"
#include "window/batch_table_model.h"
#include "window/server_combo.h"
#include "window/warning_box.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString kProgressFormat = u"%v/%m"_qs;

template <typename Widget>
Widget *named(Widget *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

} // namespace

BatchWindow::BatchWindow(QAbstractItemModel *serverModes, const PacingSettings &pacing,
    const WhoisRoute &route, const RdapRoute &rdapRoute, QWidget *parent)
    : QWidget(parent, Qt::Window), m_runner(pacing, route, rdapRoute)
{
    setObjectName(u"BatchWindow"_qs);
    setWindowTitle(u"一括照会"_qs);
    createControls(serverModes);
    connect(&m_runner, &BatchRunner::rowChanged, this, &BatchWindow::showProgress);
    connect(&m_runner, &BatchRunner::finished, this, &BatchWindow::showEnd);
    m_progressClock.setInterval(1000);
    connect(&m_progressClock, &QTimer::timeout, this, &BatchWindow::showProgress);
    resize(900, 600);
}

BatchWindow::~BatchWindow()
{
    // The runner goes before the child widgets: a run it stops reports to
    // no half-destroyed window, and the table, whose model reads the rows,
    // goes first (the focus passing to it would ask them).
    m_runner.disconnect(this);
    delete m_table;
}

void BatchWindow::createControls(QAbstractItemModel *serverModes)
{
    m_keysEdit = named(new QPlainTextEdit(this), u"keysEdit"_qs);
    m_keysEdit->setPlaceholderText(u"キーを 1 行に 1 つ、またはログなどの文章を貼り付けてください"_qs);
    m_countLabel = named(new QLabel(this), u"countLabel"_qs);
    auto *openButton = named(new QPushButton(u"ファイルを開く..."_qs, this), u"openButton"_qs);
    m_serverCombo = named(new QComboBox(this), u"serverCombo"_qs);
    m_serverCombo->setEditable(true);
    m_serverCombo->setModel(serverModes);
    m_serverCombo->setCurrentIndex(0);
    m_startButton = named(new QPushButton(u"開始"_qs, this), u"startButton"_qs);
    m_stopButton = named(new QPushButton(u"中止"_qs, this), u"stopButton"_qs);
    m_stopButton->setEnabled(false);
    m_progress = named(new QProgressBar(this), u"progressBar"_qs);
    m_progress->setFormat(kProgressFormat);
    m_filterEdit = named(new QLineEdit(this), u"filterEdit"_qs);
    m_filterEdit->setPlaceholderText(u"絞り込み"_qs);
    m_exportButton = named(new QPushButton(u"エクスポート..."_qs, this), u"exportButton"_qs);

    m_model = new BatchTableModel(m_runner, this);
    m_filter = new QSortFilterProxyModel(this);
    m_filter->setSourceModel(m_model);
    m_filter->setFilterKeyColumn(-1);
    m_filter->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_table = named(new QTableView(this), u"batchTable"_qs);
    m_table->setModel(m_filter);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(-1, Qt::AscendingOrder);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setWordWrap(false);
    // Tab moves on to the next control; the arrows move between cells.
    m_table->setTabKeyNavigation(false);
    m_table->horizontalHeader()->setMaximumSectionSize(320);
    // Columns are fitted to the rows on screen and a few more, not to all.
    m_table->horizontalHeader()->setResizeContentsPrecision(64);
    m_table->installEventFilter(this);

    // Screen readers name each control; the table reads as a table of its own.
    m_keysEdit->setAccessibleName(u"キーの一覧"_qs);
    m_serverCombo->setAccessibleName(u"サーバ"_qs);
    m_progress->setAccessibleName(u"進み具合"_qs);
    m_filterEdit->setAccessibleName(u"絞り込み"_qs);
    m_table->setAccessibleName(u"照会の結果"_qs);
    auto *serverLabel = new QLabel(u"サーバ(&S):"_qs, this);
    serverLabel->setBuddy(m_serverCombo);

    auto *keyRow = new QHBoxLayout;
    keyRow->addWidget(m_countLabel, 1);
    keyRow->addWidget(openButton);
    auto *runRow = new QHBoxLayout;
    runRow->addWidget(serverLabel);
    runRow->addWidget(m_serverCombo, 1);
    runRow->addWidget(m_startButton);
    runRow->addWidget(m_stopButton);
    runRow->addWidget(m_progress, 1);
    auto *tableRow = new QHBoxLayout;
    tableRow->addWidget(m_filterEdit, 1);
    tableRow->addWidget(m_exportButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_keysEdit, 1);
    layout->addLayout(keyRow);
    layout->addLayout(runRow);
    layout->addLayout(tableRow);
    layout->addWidget(m_table, 3);

    connect(m_keysEdit, &QPlainTextEdit::textChanged, this, &BatchWindow::countKeys);
    connect(openButton, &QPushButton::clicked, this, &BatchWindow::openFile);
    connect(m_startButton, &QPushButton::clicked, this, &BatchWindow::start);
    connect(m_stopButton, &QPushButton::clicked, &m_runner, &BatchRunner::stop);
    connect(m_filterEdit, &QLineEdit::textChanged, m_filter,
        &QSortFilterProxyModel::setFilterFixedString);
    connect(m_table, &QTableView::activated, this, &BatchWindow::chooseRow);
    connect(m_exportButton, &QPushButton::clicked, this, &BatchWindow::exportRows);
    countKeys();
}

void BatchWindow::countKeys()
{
    const QString text = m_keysEdit->toPlainText();
    m_keys = extractKeys(QStringView(text).first(qMin(text.size(), kMaxBatchTextChars)));
    m_countLabel->setText(QString::number(m_keys.size()) + u" 件のキー"_qs);
}

void BatchWindow::openFile()
{
    const QString path = QFileDialog::getOpenFileName(this, u"ファイルを開く"_qs, {},
        u"テキスト (*.txt *.csv *.log);;すべてのファイル (*)"_qs);
    if (path.isEmpty())
        return;
    const std::optional<QByteArray> bytes = readBoundedFile(path);
    if (!bytes) {
        showWarningBox(this, u"ファイルを読み込めません。(16MB まで)"_qs);
        return;
    }
    m_keysEdit->setPlainText(decodeBatchText(*bytes));
}

void BatchWindow::start()
{
    if (m_runner.isRunning() || m_keys.isEmpty())
        return;
    m_runner.setKeys(m_keys);
    m_model->reset();
    m_progress->setRange(0, int(m_keys.size()));
    m_progress->setValue(0);
    m_startButton->setEnabled(false);
    m_stopButton->setEnabled(true);
    m_keysEdit->setReadOnly(true);
    m_progressClock.start();
    m_runner.start(selectedServerMode(*m_serverCombo));
}

void BatchWindow::showProgress()
{
    m_progress->setValue(m_runner.endedCount());
    const std::optional<std::chrono::milliseconds> left = m_runner.timeLeft();
    m_progress->setFormat(left ? kProgressFormat + u' ' + timeLeftText(*left) : kProgressFormat);
}

void BatchWindow::showEnd()
{
    m_progressClock.stop();
    showProgress();
    m_startButton->setEnabled(true);
    m_stopButton->setEnabled(false);
    m_keysEdit->setReadOnly(false);
    m_table->resizeColumnsToContents();
}

void BatchWindow::chooseRow(const QModelIndex &index)
{
    const QModelIndex source = m_filter->mapToSource(index);
    if (!source.isValid() || source.row() >= m_runner.rows().size())
        return;
    const BatchRow &row = m_runner.rows().at(source.row());
    if (row.answer.isEmpty())
        return;
    emit answerChosen({ row.key.text, row.fields.server, row.answer });
}

bool BatchWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Enter on a row shows its answer, as a double click does.
    if (watched == m_table && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_table->currentIndex().isValid()) {
            chooseRow(m_table->currentIndex());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void BatchWindow::exportRows()
{
    const QString path = m_chooseSaveFile
        ? m_chooseSaveFile(u"batch.csv"_qs)
        : QFileDialog::getSaveFileName(this, u"エクスポート"_qs, u"batch.csv"_qs,
            u"CSV (*.csv);;JSON (*.json)"_qs);
    if (path.isEmpty())
        return;
    const QByteArray bytes = path.endsWith(u".json"_qs, Qt::CaseInsensitive)
        ? batchJson(m_runner.rows())
        : batchCsv(m_runner.rows());
    const QString error = writeBatchFile(path, bytes);
    if (!error.isEmpty())
        showWarningBox(this, u"エクスポートできません: "_qs + error);
}
