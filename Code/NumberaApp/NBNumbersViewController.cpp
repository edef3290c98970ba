#include "NBNumbersViewController.h"

#include <QItemSelectionModel>
#include <QTableView>
#include <algorithm>

void NBNumbersViewController::reloadView() {
    if (m_tableView) m_tableView->viewport()->update();
}

QList<int> NBNumbersViewController::rowsToRemove() const {
    QList<int> rows;
    if (m_tableView && m_tableView->selectionModel())
        for (const QModelIndex& index : m_tableView->selectionModel()->selectedRows())
            rows << index.row();
    if (m_clickedRow >= 0 && !rows.contains(m_clickedRow)) rows << m_clickedRow;
    std::sort(rows.begin(), rows.end());
    return rows;
}
