#include "window/batch_table_model.h"

#include "batch/batch_columns.h"
#include "batch/batch_runner.h"

BatchTableModel::BatchTableModel(const BatchRunner &runner, QObject *parent)
    : QAbstractTableModel(parent), m_runner(runner)
{
    connect(&runner, &BatchRunner::rowChanged, this, [this](int row) {
        emit dataChanged(index(row, 0), index(row, kBatchColumnCount - 1));
    });
}

void BatchTableModel::reset()
{
    beginResetModel();
    endResetModel();
}

int BatchTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_runner.rows().size());
}

int BatchTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kBatchColumnCount;
}

QVariant BatchTableModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_runner.rows().size())
        return {};
    // Line breaks of a cell would hide the rows below it.
    return batchCellText(m_runner.rows().at(index.row()), BatchColumn(index.column()))
        .replace(u'\n', u' ')
        .replace(u'\r', u' ');
}

QVariant BatchTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return batchColumnTitle(BatchColumn(section));
}
