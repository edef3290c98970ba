#include "NBCurrenciesViewController.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "Diagnostics.h"
#include "NBEnvironmentController.h"
#include "NBNumeralsInterface.h"
#include "NBNumeralsRules.h"
#include "NBUserDefaultsController.h"
#include "NKCurrenciesManager.h"
#include "NKCurrency.h"
#include "NKNotifications.h"

using NBNumeralsInterface::localized;

namespace {

const QString kFavouritesItem = QStringLiteral("favouriteCurrencies");
const QString kAllItem = QStringLiteral("allCurrencies");

QString q(const std::u16string& text) { return NBAppResources::toQString(text); }

// The code in bold followed by the currency's name, dimmed when the currency is disabled.
class NBCurrencyNameCell : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem base = option;
        initStyleOption(&base, index);
        base.text.clear();
        QStyle* style = base.widget ? base.widget->style() : nullptr;
        if (style) style->drawControl(QStyle::CE_ItemViewItem, &base, painter, base.widget);
        const bool selected = option.state & QStyle::State_Selected;
        const bool enabled = index.data(Qt::UserRole).toBool();
        QColor colour = selected ? option.palette.color(QPalette::HighlightedText)
                                 : option.palette.color(QPalette::Text);
        if (!enabled && !selected)
            colour = option.palette.color(QPalette::Disabled, QPalette::Text);
        painter->save();
        painter->setPen(colour);
        QFont bold = option.font;
        bold.setBold(true);
        bold.setPointSize(11);
        QFont plain = option.font;
        plain.setPointSize(10);
        const QRect area = option.rect.adjusted(4, 0, -4, 0);
        const QString code = index.data(Qt::UserRole + 1).toString();
        painter->setFont(bold);
        painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter, code);
        const int codeWidth = QFontMetrics(bold).horizontalAdvance(code + QLatin1Char(' '));
        painter->setFont(plain);
        painter->drawText(area.adjusted(codeWidth, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                          index.data(Qt::UserRole + 2).toString());
        painter->restore();
    }
};

}  // namespace

class NBCurrenciesTableModel : public QAbstractTableModel {
  public:
    explicit NBCurrenciesTableModel(NBCurrenciesViewController& panel)
        : QAbstractTableModel(&panel), m_panel(panel) {}
    void reset() {
        beginResetModel();
        endResetModel();
    }
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0
                                : static_cast<int>(m_panel.m_currenciesForCurrentViewMode.size());
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : NBCurrenciesViewController::ColumnCount;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        using C = NBCurrenciesViewController;
        if (!index.isValid() || index.row() >= rowCount({})) return {};
        const C::Row& row =
            m_panel.m_currenciesForCurrentViewMode[static_cast<size_t>(index.row())];
        NKCurrency& currency = *row.currency;
        switch (index.column()) {
            case C::EnabledColumn:
                if (role == Qt::CheckStateRole)
                    return currency.enabled() ? Qt::Checked : Qt::Unchecked;
                break;
            case C::FavouriteColumn:
                if (role == Qt::DisplayRole)
                    return currency.favourite() ? QStringLiteral("\u2665")
                                                : QStringLiteral("\u2661");
                if (role == Qt::ForegroundRole)
                    return currency.favourite() ? QColor(200, 30, 60) : QColor(Qt::gray);
                if (role == Qt::TextAlignmentRole) return Qt::AlignCenter;
                if (role == Qt::ToolTipRole) return localized(u"Favourite");
                break;
            case C::NameColumn:
                if (role == Qt::DisplayRole)
                    return q(currency.code()) + QLatin1Char(' ') +
                           q(currency.displayName().value_or(u""));
                if (role == Qt::UserRole) return currency.enabled();
                if (role == Qt::UserRole + 1) return q(currency.code());
                if (role == Qt::UserRole + 2) return q(currency.displayName().value_or(u""));
                break;
            case C::RateColumn:
                if (role == Qt::DisplayRole)
                    return QStringLiteral("%1 %2").arg(q(currency.currencySymbol()), row.rate);
                if (role == Qt::TextAlignmentRole)
                    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
                if (role == Qt::ForegroundRole && !currency.enabled()) return QColor(Qt::gray);
                break;
            case C::SourceDateColumn:
                if (role == Qt::DisplayRole)
                    return currency.sourceDate() <= NKDistantPast
                               ? QString()
                               : NBNumeralsInterface::shortDateTime(currency.sourceDate());
                if (role == Qt::ForegroundRole)
                    return row.outOfDate ? QColor(Qt::red) : QColor(Qt::darkGray);
                break;
            default:
                break;
        }
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        using C = NBCurrenciesViewController;
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        switch (section) {
            case C::NameColumn:
                return localized(u"Currency");
            case C::RateColumn:
                return localized(u"Rate");
            case C::FavouriteColumn:
                return localized(u"Favourite");
            case C::SourceDateColumn:
                return localized(u"Date");
            default:
                return QString();
        }
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!index.isValid()) return Qt::NoItemFlags;
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (index.column() == NBCurrenciesViewController::EnabledColumn)
            flags |= Qt::ItemIsUserCheckable;
        return flags;
    }

  private:
    NBCurrenciesViewController& m_panel;
};

NBCurrenciesViewController::NBCurrenciesViewController(NBEnvironmentController& environment,
                                                       QWidget* parent)
    : NBNumbersViewController(parent), m_environment(environment) {
    setObjectName(QStringLiteral("currenciesPanel"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_baseCurrencyView = new QWidget(this);
    m_baseCurrencyView->setObjectName(QStringLiteral("baseCurrencyView"));
    auto* baseLayout = new QHBoxLayout(m_baseCurrencyView);
    baseLayout->setContentsMargins(0, 0, 0, 0);
    baseLayout->setSpacing(4);
    auto* baseLabel = new QLabel(localized(u"Base Currency:"), m_baseCurrencyView);
    m_baseCurrencyPopup = new QComboBox(m_baseCurrencyView);
    m_baseCurrencyPopup->setObjectName(QStringLiteral("baseCurrencyPopup"));
    m_baseCurrencyPopup->setAccessibleName(localized(u"Currencies"));
    baseLayout->addWidget(baseLabel);
    baseLayout->addWidget(m_baseCurrencyPopup);
    m_baseCurrencyView->setFixedHeight(22);
    m_baseCurrencyView->adjustSize();
    connect(m_baseCurrencyPopup, &QComboBox::activated, this,
            [this](int index) { setBaseCurrency(m_baseCurrencyPopup->itemText(index)); });

    m_scopeBar = new MGScopeBar(this);
    layout->addWidget(m_scopeBar);

    auto* table = new QTableView(this);
    table->setObjectName(QStringLiteral("currenciesTable"));
    m_model = new NBCurrenciesTableModel(*this);
    table->setModel(m_model);
    table->setItemDelegateForColumn(NameColumn, new NBCurrencyNameCell(table));
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->resizeSection(EnabledColumn, 28);
    table->horizontalHeader()->resizeSection(NameColumn, 190);
    table->horizontalHeader()->resizeSection(RateColumn, 130);
    table->horizontalHeader()->resizeSection(FavouriteColumn, 64);
    table->horizontalHeader()->setStretchLastSection(true);
    table->viewport()->installEventFilter(this);
    layout->addWidget(table, 1);
    setTableView(table);

    const UpdateAccessory accessory =
        makeUpdateAccessory(QStringLiteral("currenciesAccessoryView"), localized(u"Update Rates"));
    m_accessoryView = accessory.view;
    m_progressIndicator = accessory.progressIndicator;
    m_statusField = accessory.statusField;
    m_updateButton = accessory.updateButton;
    connect(m_updateButton, &QPushButton::clicked, this, [this] { updateRates(); });

    auto& center = NotificationCenter::defaultCenter();
    const auto observe = [&](const char* name, std::function<void(const NSNotification&)> block) {
        m_observers.push_back(center.addObserver(name, nullptr, MainQueue::shared(), block));
    };
    observe(NKCurrenciesLocaleChanged, [this](const NSNotification&) { reloadView(); });
    observe(NKCurrenciesEnabledStateChanged, [this](const NSNotification&) {
        reloadContent();
        reloadBaseCurrencyPopupMenu();
    });
    observe(NKCurrenciesFavouriteStateChanged, [this](const NSNotification&) {
        reloadContent();
        reloadBaseCurrencyPopupMenu();
    });
    observe(NKCurrenciesSuccessfullyUpdated, [this](const NSNotification&) {
        reloadContent();
        setUpdateButtonViewMode(UpdatedMode);
    });
    observe(NKCurrenciesUpdatePartiallyFailed, [this](const NSNotification& notification) {
        reloadContent();
        m_currenciesThatFailedUpdating = notification.objectAs<std::vector<std::u16string>>();
        setUpdateButtonViewMode(PartiallyFailedMode);
    });
    observe(NKCurrenciesUpdateFailed,
            [this](const NSNotification&) { setUpdateButtonViewMode(UpdateFailedMode); });

    reloadBaseCurrencyPopupMenu();
    setCurrenciesViewMode(FavouritesViewMode);
    m_scopeBar->setDelegate(this);
    QTimer::singleShot(200, table, [table] { table->scrollToTop(); });
}

NBCurrenciesViewController::~NBCurrenciesViewController() {
    for (const auto& token : m_observers) NotificationCenter::defaultCenter().removeObserver(token);
    m_scopeBar->setDelegate(nullptr);
    // The scope bar hands its accessory back instead of destroying it: the base-currency view
    // is the panel's to destroy.
    delete m_scopeBar;
    m_scopeBar = nullptr;
    delete m_baseCurrencyView;
}

std::shared_ptr<NKCurrenciesManager> NBCurrenciesViewController::manager() const {
    auto environment = m_environment.environment();
    return environment ? environment->fullCurrenciesManager() : nullptr;
}

QString NBCurrenciesViewController::modelTypeName() const { return localized(u"currency"); }

void NBCurrenciesViewController::viewWillAppear() {
    m_baseCurrencyNotice.clear();
    setUpdateButtonViewMode(IdleMode);
}

void NBCurrenciesViewController::reloadContent() {
    auto currencies = manager();
    std::vector<Row> rows;
    if (currencies) {
        const auto base =
            currencies->currencyWithCode(NBUserDefaultsController::baseCurrencyCode());
        const std::u16string thousands = NBUserDefaultsController::thousandsSeparator();
        const std::u16string decimal = NBUserDefaultsController::decimalIndicator();
        const auto lastUpdate = currencies->lastCurrencyUpdateDate();
        const auto list = m_viewMode == AllViewMode ? currencies->allCurrencies()
                                                    : currencies->favouriteCurrencies();
        for (const auto& currency : list) {
            Row row;
            row.currency = currency;
            const double rate =
                base ? currency->rateInCurrency(*base) : currency->rateDoubleValue();
            row.rate = q(NBNumeralsRules::formattedRate(rate, thousands, decimal));
            row.outOfDate = NBNumeralsRules::currencyIsOutOfDate(
                currency->enabled(), currency->sourceDate(), lastUpdate);
            if (row.outOfDate)
                Diagnostics::error("Currency " + q(currency->code()).toStdString() +
                                   " is out of date");
            rows.push_back(row);
        }
    }
    m_currenciesForCurrentViewMode = std::move(rows);
    m_model->reset();
}

void NBCurrenciesViewController::reloadView() {
    const QModelIndexList selected = tableView()->selectionModel()
                                         ? tableView()->selectionModel()->selectedRows()
                                         : QModelIndexList();
    const int selectedRow = selected.isEmpty() ? -1 : selected.first().row();
    reloadContent();
    if (selectedRow >= 0 && selectedRow < m_model->rowCount({}))
        tableView()->selectRow(selectedRow);
    setUpdateButtonViewMode(IdleMode);
    reloadBaseCurrencyPopupMenu();
}

void NBCurrenciesViewController::updateRates() {
    auto currencies = manager();
    if (!currencies) return;
    setUpdateButtonViewMode(UpdatingMode);
    currencies->updateRatesFromWeb();
}

void NBCurrenciesViewController::setBaseCurrency(const QString& code) {
    if (!code.isEmpty()) NBUserDefaultsController::setBaseCurrencyCode(NBAppResources::toU16(code));
    reloadView();
}

void NBCurrenciesViewController::setCurrenciesViewMode(int mode) {
    if (mode == m_viewMode) return;
    m_viewMode = mode;
    // The favourites column stands just before the date, and only with all currencies.
    tableView()->setColumnHidden(FavouriteColumn, mode != AllViewMode);
    reloadContent();
}

void NBCurrenciesViewController::setUpdateButtonViewMode(int mode) {
    m_updateButtonViewMode = mode;
    if (mode != IdleMode) m_baseCurrencyNotice.clear();
    auto currencies = manager();
    const auto lastUpdate =
        currencies ? currencies->lastCurrencyUpdateDate() : std::optional<NSTimeInterval>();
    const auto stopProgress = [this] {
        m_progressIndicator->setRange(0, 1);
        m_progressIndicator->hide();
    };
    switch (mode) {
        case IdleMode:
            m_updateButton->setEnabled(true);
            m_updateButton->setText(localized(u"Update Rates"));
            // What became of the base currency stays told through the reloads that follow it.
            if (!m_baseCurrencyNotice.isEmpty()) {
                m_statusField->setText(m_baseCurrencyNotice);
                m_statusField->show();
            } else {
                m_statusField->setText(NBNumeralsInterface::lastUpdatedText(lastUpdate));
            }
            break;
        case UpdateFailedMode:
            m_updateButton->setEnabled(true);
            m_updateButton->setText(localized(u"Update Rates"));
            m_statusField->setText(localized(u"Rates could not be updated"));
            m_statusField->show();
            stopProgress();
            break;
        case PartiallyFailedMode:
            m_updateButton->setEnabled(true);
            m_updateButton->setText(localized(u"Update Rates"));
            m_statusField->setText(
                q(NBNumeralsRules::partialFailureText(m_currenciesThatFailedUpdating)));
            m_statusField->show();
            stopProgress();
            break;
        case UpdatedMode:
            m_updateButton->setEnabled(true);
            m_updateButton->setText(localized(u"Update Rates"));
            m_statusField->setText(NBNumeralsInterface::lastUpdatedText(lastUpdate));
            m_statusField->show();
            stopProgress();
            break;
        case UpdatingMode:
            m_updateButton->setEnabled(false);
            m_updateButton->setText(localized(u"Updating Rates..."));
            m_statusField->hide();
            m_progressIndicator->setRange(0, 0);
            m_progressIndicator->show();
            break;
        default:
            break;
    }
    m_accessoryView->adjustSize();
}

void NBCurrenciesViewController::toggleEnabled(const std::shared_ptr<NKCurrency>& currency) {
    if (!currency->enabled()) {
        currency->setEnabled(true);
        return;
    }
    std::vector<NBNumeralsRules::CurrencyChoice> choices;
    if (auto currencies = manager())
        for (const auto& each : currencies->allCurrencies())
            choices.push_back({each->code(), each->enabled(), each->favourite()});
    const auto outcome = NBNumeralsRules::disablingCurrency(
        choices, currency->code(), NBUserDefaultsController::baseCurrencyCode());
    // The rates are against the base currency: it never stays disabled.
    if (!outcome.allowed) {
        QApplication::beep();
        m_baseCurrencyNotice = localized(u"The base currency cannot be disabled");
        setUpdateButtonViewMode(IdleMode);
        return;
    }
    if (!outcome.newBase.empty()) {
        NBUserDefaultsController::setBaseCurrencyCode(outcome.newBase);
        m_baseCurrencyNotice = localized(u"The base currency is now %@")
                                   .replace(QStringLiteral("%@"), q(outcome.newBase));
    }
    currency->setEnabled(false);
    setUpdateButtonViewMode(IdleMode);
}

void NBCurrenciesViewController::reloadBaseCurrencyPopupMenu() {
    std::vector<NBNumeralsRules::CurrencyChoice> choices;
    if (auto currencies = manager())
        for (const auto& currency : currencies->allCurrencies())
            choices.push_back({currency->code(), currency->enabled(), currency->favourite()});
    const auto menu =
        NBNumeralsRules::baseCurrencyMenu(choices, NBUserDefaultsController::baseCurrencyCode());
    const QSignalBlocker blocker(m_baseCurrencyPopup);
    m_baseCurrencyPopup->clear();
    for (const auto& entry : menu.entries) {
        if (entry.isSeparator())
            m_baseCurrencyPopup->insertSeparator(m_baseCurrencyPopup->count());
        else
            m_baseCurrencyPopup->addItem(q(entry.code));
    }
    m_baseCurrencyPopup->setCurrentIndex(m_baseCurrencyPopup->findText(q(menu.selectedCode)));
}

bool NBCurrenciesViewController::tableViewShouldSelectRow(const QPoint& point) const {
    const QModelIndex index = tableView()->indexAt(point);
    if (!index.isValid()) return true;
    return index.column() != EnabledColumn && index.column() != FavouriteColumn;
}

bool NBCurrenciesViewController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tableView()->viewport() && (event->type() == QEvent::MouseButtonPress ||
                                               event->type() == QEvent::MouseButtonDblClick)) {
        const QPoint point = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (!tableViewShouldSelectRow(point)) {
            // The click toggles the check box or heart and leaves the selection alone.
            const QModelIndex index = tableView()->indexAt(point);
            if (event->type() == QEvent::MouseButtonPress &&
                index.row() < static_cast<int>(m_currenciesForCurrentViewMode.size())) {
                const auto currency =
                    m_currenciesForCurrentViewMode[static_cast<size_t>(index.row())].currency;
                if (index.column() == EnabledColumn)
                    toggleEnabled(currency);
                else
                    currency->setFavourite(!currency->favourite());
                reloadContent();
                reloadBaseCurrencyPopupMenu();
            }
            return true;
        }
    }
    return NBNumbersViewController::eventFilter(watched, event);
}

int NBCurrenciesViewController::numberOfGroupsInScopeBar(MGScopeBar&) { return 1; }

QStringList NBCurrenciesViewController::scopeBarItemIdentifiersForGroup(MGScopeBar&, int) {
    return {kFavouritesItem, kAllItem};
}

QString NBCurrenciesViewController::scopeBarLabelForGroup(MGScopeBar&, int) { return {}; }

int NBCurrenciesViewController::scopeBarSelectionModeForGroup(MGScopeBar&, int) {
    return MGScopeBar::MGRadioSelectionMode;
}

QString NBCurrenciesViewController::scopeBarTitleOfItemInGroup(MGScopeBar&,
                                                               const QString& identifier, int) {
    return identifier == kFavouritesItem ? localized(u"Favourites") : localized(u"All");
}

QWidget* NBCurrenciesViewController::accessoryViewForScopeBar(MGScopeBar&) {
    return m_baseCurrencyView;
}

void NBCurrenciesViewController::scopeBarSelectedStateChangedForItemInGroup(
    MGScopeBar&, bool selected, const QString& identifier, int) {
    if (!selected) return;
    setCurrenciesViewMode(identifier == kAllItem ? AllViewMode : FavouritesViewMode);
}
