#include "NBVariablesViewController.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMessageBox>
#include <QTableView>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>

#include "Diagnostics.h"
#include "NBAppResources.h"
#include "NBEnvironmentController.h"
#include "NBPanelUndoCommand.h"
#include "NCEvaluator.h"
#include "NCExpression.h"
#include "NCVariable.h"
#include "NKNotifications.h"
#include "NKVariablesManager.h"
#include "NSError.h"
#include "NSLocalizedString.h"

namespace {

QString localized(const char16_t* key) { return NBAppResources::toQString(NSLocalizedString(key)); }

QString text(const std::optional<std::u16string>& value) {
    return value ? NBAppResources::toQString(*value) : QString();
}

}  // namespace

class NBVariablesTableModel : public QAbstractTableModel {
  public:
    explicit NBVariablesTableModel(NBVariablesViewController& panel)
        : QAbstractTableModel(&panel), m_panel(panel) {}

    void reset() {
        beginResetModel();
        endResetModel();
    }
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_panel.m_variables.size());
    }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 3; }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= rowCount({})) return {};
        const auto& variable = m_panel.m_variables[static_cast<size_t>(index.row())];
        switch (index.column()) {
            case NBVariablesViewController::EnabledColumn:
                if (role == Qt::CheckStateRole)
                    return variable->enabled() ? Qt::Checked : Qt::Unchecked;
                return {};
            case NBVariablesViewController::NameColumn:
                if (role == Qt::DisplayRole || role == Qt::EditRole) return text(variable->name());
                return {};
            case NBVariablesViewController::ValueColumn:
                if (role == Qt::DisplayRole || role == Qt::EditRole)
                    return text(variable->displayValue());
                return {};
            default:
                return role == Qt::DisplayRole ? QVariant(QString()) : QVariant();
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        switch (section) {
            case NBVariablesViewController::EnabledColumn:
                return QString();
            case NBVariablesViewController::NameColumn:
                return localized(u"Name");
            case NBVariablesViewController::ValueColumn:
                return localized(u"Value");
        }
        return {};
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!index.isValid()) return Qt::NoItemFlags;
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (index.column() == NBVariablesViewController::EnabledColumn)
            flags |= Qt::ItemIsUserCheckable;
        else
            flags |= Qt::ItemIsEditable;
        return flags;
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (!index.isValid()) return false;
        QVariant given = value;
        if (index.column() == NBVariablesViewController::EnabledColumn) {
            if (role != Qt::CheckStateRole) return false;
            given = value.toInt() == Qt::Checked;
        } else if (role != Qt::EditRole) {
            return false;
        }
        m_panel.tableViewSetObjectValue(given, index.column(), index.row());
        return true;
    }
    void sort(int column, Qt::SortOrder order) override {
        m_panel.m_sortColumn = column;
        m_panel.m_sortOrder = order;
        m_panel.reloadContent();
        m_panel.reloadView();
    }

  private:
    NBVariablesViewController& m_panel;
};

NBVariablesViewController::NBVariablesViewController(NBEnvironmentController& environment,
                                                     QWidget* parent)
    : NBNumbersViewController(parent), m_environment(environment) {
    setObjectName(QStringLiteral("variablesPanel"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* table = new QTableView(this);
    table->setObjectName(QStringLiteral("variablesTable"));
    m_model = new NBVariablesTableModel(*this);
    table->setModel(m_model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::SelectedClicked);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(EnabledColumn, QHeaderView::Fixed);
    table->horizontalHeader()->resizeSection(EnabledColumn, 28);
    table->horizontalHeader()->resizeSection(NameColumn, 160);
    table->horizontalHeader()->setStretchLastSection(true);
    table->horizontalHeader()->setSortIndicatorShown(false);
    table->setSortingEnabled(false);
    connect(table->horizontalHeader(), &QHeaderView::sectionClicked, this, [this, table](int c) {
        if (c == EnabledColumn) return;
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

    // Edits of the list elsewhere (stocks, documents, migration) show at once.
    auto& center = NotificationCenter::defaultCenter();
    for (const char* name : {NKVariablesLocaleChanged, NKVariableWasAdded, NKVariableWasRemoved,
                             NKVariableWasModified, NKVariableWasMoved})
        m_observers.push_back(
            center.addObserver(name, nullptr, MainQueue::shared(), [this](const NSNotification&) {
                reloadContent();
                reloadView();
            }));
    reloadContent();
}

NBVariablesViewController::~NBVariablesViewController() {
    for (const auto& token : m_observers) NotificationCenter::defaultCenter().removeObserver(token);
}

std::shared_ptr<NKVariablesManager> NBVariablesViewController::manager() const {
    auto environment = m_environment.environment();
    return environment ? environment->variablesManager() : nullptr;
}

QString NBVariablesViewController::modelTypeName() const { return localized(u"variable"); }

void NBVariablesViewController::reloadContent() {
    auto variables = manager();
    std::vector<std::shared_ptr<NCVariable>> list;
    if (variables) list = variables->variables();
    if (m_sortColumn == NameColumn || m_sortColumn == ValueColumn) {
        const bool byName = m_sortColumn == NameColumn;
        const bool ascending = m_sortOrder == Qt::AscendingOrder;
        std::stable_sort(list.begin(), list.end(), [&](const auto& a, const auto& b) {
            const QString left = byName ? text(a->name()) : text(a->displayValue());
            const QString right = byName ? text(b->name()) : text(b->displayValue());
            const int order = QString::localeAwareCompare(left, right);
            return ascending ? order < 0 : order > 0;
        });
    }
    // The same variables in the same order: the rows only draw their values anew (the model
    // reads them from the variables), and an editor open on one of them (the name of a
    // variable just added, its text selected) stays as it is.
    if (list == m_variables) {
        if (tableView()) tableView()->viewport()->update();
        return;
    }
    // Keep the selection on the same variables across the reset.
    std::vector<std::shared_ptr<NCVariable>> selected;
    if (tableView() && tableView()->selectionModel())
        for (const QModelIndex& index : tableView()->selectionModel()->selectedRows())
            if (index.row() < static_cast<int>(m_variables.size()))
                selected.push_back(m_variables[static_cast<size_t>(index.row())]);
    m_variables = std::move(list);
    m_model->reset();
    for (const auto& variable : selected) {
        auto found = std::find(m_variables.begin(), m_variables.end(), variable);
        if (found != m_variables.end())
            tableView()->selectionModel()->select(
                m_model->index(static_cast<int>(found - m_variables.begin()), 0),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

void NBVariablesViewController::reloadView() { NBNumbersViewController::reloadView(); }

bool NBVariablesViewController::canRemove() const {
    if (clickedRow() >= 0) return true;
    return tableView() && tableView()->selectionModel() &&
           !tableView()->selectionModel()->selectedRows().isEmpty();
}

void NBVariablesViewController::selectVariable(const std::shared_ptr<NCVariable>& variable) {
    auto found = std::find(m_variables.begin(), m_variables.end(), variable);
    if (found == m_variables.end()) return;
    const int row = static_cast<int>(found - m_variables.begin());
    tableView()->selectionModel()->select(
        m_model->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    tableView()->selectionModel()->setCurrentIndex(m_model->index(row, NameColumn),
                                                   QItemSelectionModel::NoUpdate);
    tableView()->scrollTo(m_model->index(row, NameColumn));
}

void NBVariablesViewController::addAction() {
    auto variables = manager();
    if (!variables) return;
    auto variable = variables->standardVariable();
    addVariables({variable});
    reloadContent();
    reloadView();
    if (std::find(m_variables.begin(), m_variables.end(), variable) == m_variables.end()) return;
    selectVariable(variable);
    tableView()->setFocus();
    const int row = static_cast<int>(std::find(m_variables.begin(), m_variables.end(), variable) -
                                     m_variables.begin());
    tableView()->edit(m_model->index(row, NameColumn));
}

void NBVariablesViewController::removeAction() {
    std::vector<std::shared_ptr<NCVariable>> chosen;
    for (int row : rowsToRemove())
        if (row >= 0 && row < static_cast<int>(m_variables.size()))
            chosen.push_back(m_variables[static_cast<size_t>(row)]);
    removeVariables(chosen);
    reloadContent();
    reloadView();
}

void NBVariablesViewController::addVariables(
    const std::vector<std::shared_ptr<NCVariable>>& variables) {
    auto manager = this->manager();
    if (variables.empty() || !manager || !undoManager()) return;
    const QString name =
        variables.size() == 1 ? localized(u"Add Variable") : localized(u"Add Variables");
    undoManager()->push(new NBPanelUndoCommand(
        name,
        [manager, variables] {
            for (const auto& variable : variables) manager->addVariable(variable);
        },
        [manager, variables] {
            for (const auto& variable : variables) manager->deleteVariable(variable);
        }));
}

void NBVariablesViewController::removeVariables(
    const std::vector<std::shared_ptr<NCVariable>>& variables) {
    auto manager = this->manager();
    if (variables.empty() || !manager || !undoManager()) return;
    const QString name =
        variables.size() == 1 ? localized(u"Remove Variable") : localized(u"Remove Variables");
    undoManager()->push(new NBPanelUndoCommand(
        name,
        [manager, variables] {
            for (const auto& variable : variables) manager->deleteVariable(variable);
        },
        [manager, variables] {
            for (const auto& variable : variables) manager->addVariable(variable);
        }));
}

void NBVariablesViewController::setEnabled(bool enabled,
                                           const std::shared_ptr<NCVariable>& variable) {
    if (!variable || !undoManager()) return;
    const bool old = variable->enabled();
    undoManager()->push(new NBPanelUndoCommand(
        localized(u"Enable Variable"), [variable, enabled] { variable->setEnabled(enabled); },
        [variable, old] { variable->setEnabled(old); }));
}

bool NBVariablesViewController::setName(const QString& name,
                                        const std::shared_ptr<NCVariable>& variable) {
    auto manager = this->manager();
    if (!variable || !manager || !undoManager()) return false;
    const std::u16string old = variable->name().value_or(u"");
    NSError error;
    // Applying is how a clash with another variable shows; the stack then records it.
    if (!manager->renameVariable(variable, NBAppResources::toU16(name), &error)) {
        showAlert(error);
        return false;
    }
    const std::u16string renamed = variable->name().value_or(u"");
    if (renamed == old) return true;
    undoManager()->push(new NBPanelUndoCommand(
        localized(u"Rename Variable"), [variable, renamed] { variable->changeName(renamed); },
        [variable, old] { variable->changeName(old); }, true));
    return true;
}

bool NBVariablesViewController::setValue(const QString& text,
                                         const std::shared_ptr<NCVariable>& variable) {
    auto manager = this->manager();
    if (!variable || !manager || !undoManager()) return false;
    const std::u16string old = variable->displayValue().value_or(u"1.0");
    NSError error;
    // Only a value is stored: an error result would leave the variable unusable.
    if (!manager->setValueOfVariable(variable, NBAppResources::toU16(text), &error)) {
        showAlert(error);
        return false;
    }
    const std::u16string given = NBAppResources::toU16(text);
    undoManager()->push(new NBPanelUndoCommand(
        localized(u"Set Variable Value"),
        [manager, variable, given] { manager->setValueOfVariable(variable, given, nullptr); },
        [manager, variable, old] { manager->setValueOfVariable(variable, old, nullptr); }, true));
    return true;
}

bool NBVariablesViewController::variableNameWouldClashWithUnit(const QString& name,
                                                               NSError*) const {
    auto evaluator = NCEvaluator::sharedEvaluator();
    if (!evaluator || name.isEmpty()) return false;
    auto result =
        evaluator->evaluateExpression(NCExpression::create(u"1 " + NBAppResources::toU16(name)));
    if (result && result->resultType() == NCResultTypeValue && result->unit()) {
        const auto unitName = result->unitString();
        Diagnostics::error("Clash with " +
                           NBAppResources::toQString(unitName.value_or(u"")).toStdString());
    }
    return false;
}

void NBVariablesViewController::tableViewSetObjectValue(const QVariant& value, int column,
                                                        int row) {
    if (row < 0 || row >= static_cast<int>(m_variables.size())) return;
    const auto variable = m_variables[static_cast<size_t>(row)];
    switch (column) {
        case EnabledColumn:
            setEnabled(value.toBool(), variable);
            break;
        case NameColumn: {
            const QString name = value.toString();
            if (!variableNameWouldClashWithUnit(name, nullptr)) {
                NSError error;
                if (NCVariable::validateName(NBAppResources::toU16(name), &error))
                    setName(name, variable);
                else
                    showAlert(error);
            }
            break;
        }
        case ValueColumn:
            setValue(value.toString(), variable);
            break;
        default:
            break;
    }
    reloadContent();
    reloadView();
    selectVariable(variable);
}

void NBVariablesViewController::showAlert(const NSError& error) {
    if (m_alert) m_alert->deleteLater();
    m_alert = new QMessageBox(QMessageBox::Warning, QString(),
                              NBAppResources::toQString(error.localizedDescription),
                              QMessageBox::Ok, window());
    m_alert->setObjectName(QStringLiteral("variableAlert"));
    m_alert->setInformativeText(NBAppResources::toQString(error.localizedRecoverySuggestion));
    m_alert->setWindowModality(Qt::WindowModal);
    m_alert->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_alert, &QObject::destroyed, this, [this](QObject* gone) {
        if (gone == m_alert) m_alert = nullptr;
    });
    m_alert->open();
}
