#include "NBNumbersViewController.h"

#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <algorithm>

void NBNumbersViewController::setTableView(QTableView* table) {
    m_tableView = table;
    if (table) table->viewport()->installEventFilter(this);
}

bool NBNumbersViewController::eventFilter(QObject* watched, QEvent* event) {
    if (m_tableView && watched == m_tableView->viewport()) {
        const QEvent::Type type = event->type();
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
            type == QEvent::MouseButtonDblClick) {
            // The context menu still comes; only the selection stays as it was.
            if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

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

NBNumbersViewController::UpdateAccessory NBNumbersViewController::makeUpdateAccessory(
    const QString& objectName, const QString& buttonTitle) {
    UpdateAccessory accessory;
    accessory.view = new QWidget(this);
    accessory.view->setObjectName(objectName);
    auto* layout = new QHBoxLayout(accessory.view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    accessory.progressIndicator = new QProgressBar(accessory.view);
    accessory.progressIndicator->setObjectName(QStringLiteral("progressIndicator"));
    accessory.progressIndicator->setFixedSize(60, 12);
    accessory.progressIndicator->setTextVisible(false);
    accessory.progressIndicator->hide();
    accessory.statusField = new QLabel(accessory.view);
    accessory.statusField->setObjectName(QStringLiteral("statusField"));
    accessory.updateButton = new QPushButton(buttonTitle, accessory.view);
    accessory.updateButton->setObjectName(QStringLiteral("updateButton"));
    layout->addWidget(accessory.progressIndicator);
    layout->addWidget(accessory.statusField);
    layout->addWidget(accessory.updateButton);
    accessory.view->hide();
    return accessory;
}
