#pragma once

#include "batch/batch_runner.h"
#include "history/history_record.h"

#include <QTimer>
#include <QWidget>

#include <functional>

class BatchTableModel;
class QAbstractItemModel;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;

// The window for many keys at once: the keys pasted or read from a file,
// the server mode, Start and Stop with the progress, the table of the
// fields with a filter, and the export. A chosen row's answer goes to the
// main window as a history record.
class BatchWindow : public QWidget {
    Q_OBJECT

public:
    // The server combo offers the items of serverModes (each item's data a
    // ServerMode); the lookups go at the pace given; tests route every host
    // to their own servers.
    BatchWindow(QAbstractItemModel *serverModes, const PacingSettings &pacing,
        const WhoisRoute &route = {}, const RdapRoute &rdapRoute = {}, QWidget *parent = nullptr);
    ~BatchWindow() override;

    // Chooses the export's file; tests answer without a dialog.
    using SaveFileChooser = std::function<QString(const QString &suggestedName)>;
    void setSaveFileChooser(SaveFileChooser chooser) { m_chooseSaveFile = std::move(chooser); }

signals:
    void answerChosen(const HistoryRecord &record);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls(QAbstractItemModel *serverModes);
    void countKeys();
    void openFile();
    void start();
    void showProgress();
    void showEnd();
    void chooseRow(const QModelIndex &index);
    void exportRows();

    BatchRunner m_runner;
    BatchTableModel *m_model = nullptr;
    QSortFilterProxyModel *m_filter = nullptr;
    QList<ExtractedKey> m_keys;
    SaveFileChooser m_chooseSaveFile;
    QTimer m_progressClock; // counts the time left down between rows

    QPlainTextEdit *m_keysEdit = nullptr;
    QLabel *m_countLabel = nullptr;
    QComboBox *m_serverCombo = nullptr;
    QPushButton *m_startButton = nullptr;
    QPushButton *m_stopButton = nullptr;
    QProgressBar *m_progress = nullptr;
    QLineEdit *m_filterEdit = nullptr;
    QTableView *m_table = nullptr;
    QPushButton *m_exportButton = nullptr;
};
