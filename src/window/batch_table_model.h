#pragma once

#include <QAbstractTableModel>

class BatchRunner;

// The rows of a batch as a table: one column per field, as the export
// writes them; updated as the runner reports.
class BatchTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit BatchTableModel(const BatchRunner &runner, QObject *parent = nullptr);

    // Call after the runner's rows were replaced.
    void reset();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const BatchRunner &m_runner;
};
