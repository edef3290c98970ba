#include "NBStocksViewController.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>

#include "NBEnvironmentController.h"
#include "NBNumeralsInterface.h"
#include "NBPanelUndoCommand.h"
#include "NKNotifications.h"
#include "NKStock.h"
#include "NKStocksManager.h"

using NBNumeralsInterface::localized;

namespace {

QString q(const std::optional<std::u16string>& text) {
    return text ? NBAppResources::toQString(*text) : QString();
}

QString columnText(const NKStock& stock, int column) {
    switch (column) {
        case NBStocksViewController::NameColumn:
            return q(stock.name());
        case NBStocksViewController::CompanyColumn:
            return q(stock.company());
        case NBStocksViewController::ValueColumn:
            return NBAppResources::toQString(stock.displayValue());
        default:
            return {};
    }
}

bool listed(const std::vector<std::shared_ptr<NKStock>>& stocks, const NKStock& stock) {
    return std::any_of(stocks.begin(), stocks.end(),
                       [&](const auto& other) { return other->ticker() == stock.ticker(); });
}

}  // namespace

class NBStocksTableModel : public QAbstractTableModel {
  public:
    explicit NBStocksTableModel(NBStocksViewController& panel)
        : QAbstractTableModel(&panel), m_panel(panel) {}
    void reset() {
        beginResetModel();
        endResetModel();
    }
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_panel.m_stocks.size());
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : NBStocksViewController::ColumnCount;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= rowCount({})) return {};
        const NKStock& stock = *m_panel.m_stocks[static_cast<size_t>(index.row())];
        if (role == Qt::DisplayRole) return columnText(stock, index.column());
        if (role == Qt::TextAlignmentRole && index.column() == NBStocksViewController::ValueColumn)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        switch (section) {
            case NBStocksViewController::NameColumn:
                return localized(u"Name");
            case NBStocksViewController::CompanyColumn:
                return localized(u"Company");
            case NBStocksViewController::ValueColumn:
                return localized(u"Price");
            default:
                return QString();
        }
    }
    void sort(int column, Qt::SortOrder order) override {
        m_panel.m_sortColumn = column;
        m_panel.m_sortOrder = order;
        m_panel.reloadContent();
    }

  private:
    NBStocksViewController& m_panel;
};

NBStocksViewController::NBStocksViewController(NBEnvironmentController& environment,
                                               QWidget* parent)
    : NBNumbersViewController(parent), m_environment(environment) {
    setObjectName(QStringLiteral("stocksPanel"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* table = new QTableView(this);
    table->setObjectName(QStringLiteral("stocksTable"));
    m_model = new NBStocksTableModel(*this);
    table->setModel(m_model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->resizeSection(NameColumn, 110);
    table->horizontalHeader()->resizeSection(CompanyColumn, 220);
    table->horizontalHeader()->setStretchLastSection(true);
    table->horizontalHeader()->setSortIndicatorShown(false);
    connect(table->horizontalHeader(), &QHeaderView::sectionClicked, this, [this, table](int c) {
        const Qt::SortOrder order = m_sortColumn == c && m_sortOrder == Qt::AscendingOrder
                                        ? Qt::DescendingOrder
                                        : Qt::AscendingOrder;
        table->horizontalHeader()->setSortIndicatorShown(true);
        table->horizontalHeader()->setSortIndicator(c, order);
        m_model->sort(c, order);
    });
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(table, &QWidget::customContextMenuRequested, this, [this, table](const QPoint& at) {
        const int row = table->indexAt(at).row();
        if (row < 0) return;
        setClickedRow(row);
        QMenu menu(this);
        QAction* remove = menu.addAction(localized(u"Delete"));
        if (menu.exec(table->viewport()->mapToGlobal(at)) == remove) removeAction();
        setClickedRow(-1);
    });
    layout->addWidget(table);
    setTableView(table);

    const UpdateAccessory accessory =
        makeUpdateAccessory(QStringLiteral("stocksAccessoryView"), localized(u"Update Prices"));
    m_accessoryView = accessory.view;
    m_progressIndicator = accessory.progressIndicator;
    m_statusField = accessory.statusField;
    m_updateButton = accessory.updateButton;
    connect(m_updateButton, &QPushButton::clicked, this, [this] { updatePrices(); });

    auto& center = NotificationCenter::defaultCenter();
    const auto observe = [&](const char* name, std::function<void(const NSNotification&)> block) {
        m_observers.push_back(center.addObserver(name, nullptr, MainQueue::shared(), block));
    };
    observe(NKStocksLocaleChanged, [this](const NSNotification&) { reloadContent(); });
    observe(NKStocksWereAdded, [this](const NSNotification&) { reloadContent(); });
    observe(NKStocksWereRemoved, [this](const NSNotification&) { reloadContent(); });
    observe(NKStocksSuccessfulyUpdated, [this](const NSNotification&) {
        reloadContent();
        setUpdateButtonViewMode(UpdatedMode);
    });
    observe(NKStocksUpdateFailed,
            [this](const NSNotification&) { setUpdateButtonViewMode(UpdateFailedMode); });
    reloadContent();
}

NBStocksViewController::~NBStocksViewController() {
    for (const auto& token : m_observers) NotificationCenter::defaultCenter().removeObserver(token);
    if (m_sheetController) m_sheetController->setDelegate(nullptr);
}

std::shared_ptr<NKStocksManager> NBStocksViewController::manager() const {
    auto environment = m_environment.environment();
    return environment ? environment->fullStocksManager() : nullptr;
}

QString NBStocksViewController::modelTypeName() const { return localized(u"stock"); }

bool NBStocksViewController::canRemove() const {
    if (clickedRow() >= 0) return true;
    return tableView()->selectionModel() &&
           !tableView()->selectionModel()->selectedRows().isEmpty();
}

bool NBStocksViewController::canUpdate() const {
    auto stocks = manager();
    return stocks && !stocks->stocks().empty();
}

void NBStocksViewController::viewWillAppear() { setUpdateButtonViewMode(IdleMode); }

void NBStocksViewController::reloadContent() {
    std::vector<std::shared_ptr<NKStock>> stocks;
    if (auto manager = this->manager()) stocks = manager->allStocks();
    if (m_sortColumn >= 0 && m_sortColumn < ColumnCount) {
        const bool ascending = m_sortOrder == Qt::AscendingOrder;
        std::stable_sort(stocks.begin(), stocks.end(), [&](const auto& a, const auto& b) {
            const int order = QString::localeAwareCompare(columnText(*a, m_sortColumn),
                                                          columnText(*b, m_sortColumn));
            return ascending ? order < 0 : order > 0;
        });
    }
    // The selection stays on the same stocks across the reset.
    std::vector<std::shared_ptr<NKStock>> selected;
    if (tableView()->selectionModel())
        for (const QModelIndex& index : tableView()->selectionModel()->selectedRows())
            if (index.row() < static_cast<int>(m_stocks.size()))
                selected.push_back(m_stocks[static_cast<size_t>(index.row())]);
    m_stocks = std::move(stocks);
    m_model->reset();
    for (const auto& stock : selected) {
        auto found = std::find(m_stocks.begin(), m_stocks.end(), stock);
        if (found != m_stocks.end())
            tableView()->selectionModel()->select(
                m_model->index(static_cast<int>(found - m_stocks.begin()), 0),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    setUpdateButtonViewMode(IdleMode);
}

void NBStocksViewController::refreshUpdateControlsVisibility() {
    const bool visible = canUpdate();
    m_updateButton->setVisible(visible);
    m_statusField->setVisible(visible);
}

void NBStocksViewController::setUpdateButtonViewMode(int mode) {
    m_updateButtonViewMode = mode;
    refreshUpdateControlsVisibility();
    auto stocks = manager();
    const auto lastUpdate = stocks ? stocks->lastUpdateDate() : std::optional<NSTimeInterval>();
    const auto stopProgress = [this] {
        m_progressIndicator->setRange(0, 1);
        m_progressIndicator->hide();
    };
    switch (mode) {
        case IdleMode:
            m_updateButton->setText(localized(u"Update Prices"));
            m_statusField->setText(NBNumeralsInterface::lastUpdatedText(lastUpdate));
            break;
        case UpdateFailedMode:
            m_updateButton->setEnabled(true);
            m_updateButton->setText(localized(u"Update Prices"));
            m_statusField->setText(localized(u"Prices could not be updated"));
            m_statusField->setVisible(canUpdate());
            stopProgress();
            break;
        case UpdatedMode:
            m_updateButton->setEnabled(true);
            m_updateButton->setText(localized(u"Update Prices"));
            m_statusField->setText(NBNumeralsInterface::lastUpdatedText(lastUpdate));
            m_statusField->setVisible(canUpdate());
            stopProgress();
            break;
        case UpdatingMode:
            m_updateButton->setEnabled(false);
            m_updateButton->setText(localized(u"Updating Prices..."));
            m_statusField->hide();
            m_progressIndicator->setRange(0, 0);
            m_progressIndicator->show();
            break;
        default:
            break;
    }
    m_accessoryView->adjustSize();
}

void NBStocksViewController::updatePrices() {
    if (!canUpdate()) return;
    manager()->downloadLatestStockPrices();
    setUpdateButtonViewMode(UpdatingMode);
}

void NBStocksViewController::addAction() {
    if (!m_sheetController) {
        m_sheetController = new NBAddStockSheetController(window());
        m_sheetController->setDelegate(this);
        connect(m_sheetController, &QDialog::finished, this, [this] { sheetDidEnd(); });
    }
    if (auto stocks = manager()) m_sheetController->setLocale(stocks->stockLocale());
    m_sheetController->setInterfaceMode(NBAddStockSheetController::StartMode);
    m_sheetController->open();
}

void NBStocksViewController::stockSheetControllerDidFinishWithStock(
    NBAddStockSheetController& sheet, const std::shared_ptr<NKStock>& stock) {
    if (stock) addStocks({stock});
    refreshUpdateControlsVisibility();
    sheet.done(QDialog::Accepted);
}

void NBStocksViewController::stockSheetControllerDidCancel(NBAddStockSheetController& sheet) {
    sheet.done(QDialog::Rejected);
}

void NBStocksViewController::sheetDidEnd() {
    if (m_sheetController) m_sheetController->hide();
    tableView()->setFocus();
}

void NBStocksViewController::addStocks(const std::vector<std::shared_ptr<NKStock>>& stocks) {
    auto manager = this->manager();
    if (stocks.empty() || !manager || !undoManager()) return;
    std::vector<std::shared_ptr<NKStock>> added;
    for (const auto& stock : stocks)
        if (stock && !listed(manager->stocks(), *stock) && !listed(added, *stock))
            added.push_back(stock);
    if (added.empty()) return;
    const QString name = added.size() == 1 ? localized(u"Add Stock") : localized(u"Add Stocks");
    undoManager()->push(new NBPanelUndoCommand(
        name, [manager, added] { manager->addStocks(added); },
        [manager, added] { manager->removeStocks(added); }));
    reloadContent();
    tableView()->clearSelection();
    int lastRow = -1;
    for (const auto& stock : added) {
        auto found = std::find(m_stocks.begin(), m_stocks.end(), stock);
        if (found == m_stocks.end()) continue;
        lastRow = static_cast<int>(found - m_stocks.begin());
        tableView()->selectionModel()->select(
            m_model->index(lastRow, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    if (lastRow >= 0) tableView()->scrollTo(m_model->index(lastRow, 0));
}

void NBStocksViewController::removeStocks(const std::vector<std::shared_ptr<NKStock>>& stocks) {
    auto manager = this->manager();
    if (stocks.empty() || !manager || !undoManager()) return;
    const QString name =
        stocks.size() == 1 ? localized(u"Remove Stock") : localized(u"Remove Stocks");
    undoManager()->push(new NBPanelUndoCommand(
        name, [manager, stocks] { manager->removeStocks(stocks); },
        [manager, stocks] { manager->addStocks(stocks); }));
    tableView()->clearSelection();
    reloadContent();
}

void NBStocksViewController::removeAction() {
    std::vector<std::shared_ptr<NKStock>> chosen;
    for (int row : rowsToRemove())
        if (row >= 0 && row < static_cast<int>(m_stocks.size()))
            chosen.push_back(m_stocks[static_cast<size_t>(row)]);
    removeStocks(chosen);
    refreshUpdateControlsVisibility();
}
