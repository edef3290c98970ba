#include "NBAddStockSheetController.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "NBHyperlinkButton.h"
#include "NBNumeralsInterface.h"
#include "NBNumeralsRules.h"
#include "NKCurrenciesManager.h"
#include "NKEnvironment.h"
#include "NKStock.h"
#include "NKWebServices.h"

using NBNumeralsInterface::localized;

namespace {

QString q(const std::optional<std::u16string>& text) {
    return text ? NBAppResources::toQString(*text) : QString();
}

}  // namespace

NBAddStockSheetController::NBAddStockSheetController(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AddStockSheet"));
    setWindowTitle(localized(u"Add Stock"));
    setWindowModality(Qt::WindowModal);
    auto* layout = new QVBoxLayout(this);

    auto* searchRow = new QHBoxLayout;
    m_searchField = new QLineEdit(this);
    m_searchField->setObjectName(QStringLiteral("searchField"));
    m_searchField->setPlaceholderText(localized(u"Ticker Symbol"));
    m_progressIndicator = new QProgressBar(this);
    m_progressIndicator->setFixedSize(40, 12);
    m_progressIndicator->setTextVisible(false);
    m_progressIndicator->hide();
    searchRow->addWidget(m_searchField, 1);
    searchRow->addWidget(m_progressIndicator);
    layout->addLayout(searchRow);

    m_tabView = new QStackedWidget(this);
    m_tabView->setObjectName(QStringLiteral("tabView"));
    m_statusLabel = new QLabel(m_tabView);
    m_statusLabel->setObjectName(QStringLiteral("statusLabel"));
    m_statusLabel->setWordWrap(true);
    m_statusLabel->setAlignment(Qt::AlignCenter);
    m_tabView->addWidget(m_statusLabel);
    auto* foundPage = new QWidget(m_tabView);
    auto* foundLayout = new QGridLayout(foundPage);
    foundLayout->setContentsMargins(0, 0, 0, 0);
    m_foundStockTable = new QTableWidget(1, 3, foundPage);
    m_foundStockTable->setObjectName(QStringLiteral("foundStockTable"));
    m_foundStockTable->setHorizontalHeaderLabels(
        {localized(u"Name"), localized(u"Company"), localized(u"Price")});
    m_foundStockTable->verticalHeader()->hide();
    m_foundStockTable->horizontalHeader()->setStretchLastSection(true);
    m_foundStockTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_foundStockTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_currencyLabel = new QLabel(localized(u"Currency:"), foundPage);
    m_currencyPopup = new QComboBox(foundPage);
    m_currencyPopup->setObjectName(QStringLiteral("currencyPopup"));
    foundLayout->addWidget(m_foundStockTable, 0, 0, 1, 2);
    foundLayout->addWidget(m_currencyLabel, 1, 0);
    foundLayout->addWidget(m_currencyPopup, 1, 1);
    foundLayout->setColumnStretch(1, 1);
    m_tabView->addWidget(foundPage);
    layout->addWidget(m_tabView, 1);

    auto* buttons = new QHBoxLayout;
    m_hyperlinkButton = new NBHyperlinkButton(this);
    m_hyperlinkButton->setObjectName(QStringLiteral("hyperlinkButton"));
    m_cancelButton = new QPushButton(localized(u"Cancel"), this);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_searchButton = new QPushButton(localized(u"Find Stock"), this);
    m_searchButton->setObjectName(QStringLiteral("searchButton"));
    m_searchButton->setDefault(true);
    buttons->addWidget(m_hyperlinkButton);
    buttons->addStretch(1);
    buttons->addWidget(m_cancelButton);
    buttons->addWidget(m_searchButton);
    layout->addLayout(buttons);
    resize(460, 260);

    connect(m_searchField, &QLineEdit::returnPressed, this, [this] { searchFieldAction(); });
    connect(m_searchField, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (m_interfaceMode != SearchingMode && !m_foundStock)
            m_searchButton->setEnabled(!text.trimmed().isEmpty());
    });
    connect(m_searchButton, &QPushButton::clicked, this, [this] { findButtonAction(); });
    connect(m_cancelButton, &QPushButton::clicked, this, [this] { cancelButtonAction(); });
}

NBAddStockSheetController::~NBAddStockSheetController() {
    if (m_stockTickerValidator) m_stockTickerValidator->setDelegate(nullptr);
}

QString NBAddStockSheetController::validVariableNameForTicker(const QString& ticker) {
    return NBAppResources::toQString(
        NBNumeralsRules::validVariableNameForTicker(NBAppResources::toU16(ticker)));
}

std::vector<std::shared_ptr<NKStock>> NBAddStockSheetController::foundStocks() const {
    if (!m_foundStock) return {};
    return {m_foundStock};
}

void NBAddStockSheetController::setInterfaceMode(int mode, const QString& ticker) {
    m_interfaceMode = mode;
    const auto stopProgress = [this] {
        m_progressIndicator->setRange(0, 1);
        m_progressIndicator->hide();
    };
    switch (mode) {
        case StartMode:
            if (m_stockTickerValidator) m_stockTickerValidator->cancel();
            m_foundStock.reset();
            stopProgress();
            m_searchField->clear();
            m_statusLabel->setText(localized(u"Enter the stock's ticker symbol."));
            m_searchButton->setEnabled(false);
            m_searchButton->setText(localized(u"Find Stock"));
            m_tabView->setCurrentIndex(0);
            break;
        case SearchingMode:
            m_foundStock.reset();
            m_progressIndicator->setRange(0, 0);
            m_progressIndicator->show();
            m_statusLabel->setText(localized(u"Searching for stock %@...").replace("%@", ticker));
            m_searchButton->setEnabled(false);
            m_searchButton->setText(localized(u"Searching..."));
            m_tabView->setCurrentIndex(0);
            break;
        case FoundMode:
            showFoundStock();
            stopProgress();
            m_searchButton->setEnabled(true);
            m_searchButton->setText(localized(u"Add %@").replace(
                "%@", m_foundStock ? q(m_foundStock->name()) : QString()));
            m_tabView->setCurrentIndex(1);
            m_foundStockTable->setFocus();
            break;
        case ErrorMode:
            stopProgress();
            m_statusLabel->setText(
                localized(u"The search for stock \"%@\" failed. Please check your connection and "
                          u"try again.")
                    .replace("%@", ticker));
            m_searchButton->setEnabled(true);
            m_searchButton->setText(localized(u"Find Stock"));
            m_tabView->setCurrentIndex(0);
            break;
        case NotFoundMode:
            stopProgress();
            m_statusLabel->setText(localized(u"Stock \"%@\" not found.").replace("%@", ticker));
            m_searchButton->setEnabled(true);
            m_searchButton->setText(localized(u"Find Stock"));
            m_tabView->setCurrentIndex(0);
            break;
        default:
            break;
    }
    // The quote service's site, when one is configured.
    const auto origin = NKWebServiceConfiguration::origin(NKWebService::Quotes, "https");
    m_hyperlinkButton->setVisible(origin.has_value());
    if (origin) {
        m_hyperlinkButton->setText(localized(u"Quote Service Website"));
        m_hyperlinkButton->setUrlString(QString::fromStdString(*origin));
    }
}

void NBAddStockSheetController::showFoundStock() {
    const auto cell = [](const QString& text) {
        auto* item = new QTableWidgetItem(text);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        return item;
    };
    m_foundStockTable->setItem(0, 0, cell(m_foundStock ? q(m_foundStock->name()) : QString()));
    m_foundStockTable->setItem(0, 1, cell(m_foundStock ? q(m_foundStock->company()) : QString()));
    m_foundStockTable->setItem(
        0, 2,
        cell(m_foundStock ? NBAppResources::toQString(m_foundStock->localizedValue()) : QString()));
    m_foundStockTable->selectRow(0);
    currencyMenu();
}

void NBAddStockSheetController::currencyMenu() {
    std::vector<NBNumeralsRules::CurrencyChoice> choices;
    if (auto environment = NKEnvironment::sharedEnvironment())
        if (auto currencies = environment->fullCurrenciesManager())
            for (const auto& currency : currencies->allCurrencies())
                choices.push_back({currency->code(), currency->enabled(), currency->favourite()});
    m_currencyPopup->clear();
    m_currencyPopup->addItem(localized(u"None"));
    m_currencyPopup->insertSeparator(1);
    for (const auto& entry : NBNumeralsRules::stockCurrencyMenu(choices)) {
        if (entry.isSeparator())
            m_currencyPopup->insertSeparator(m_currencyPopup->count());
        else
            m_currencyPopup->addItem(NBAppResources::toQString(entry.code));
    }
}

void NBAddStockSheetController::searchFieldAction() {
    const QString text = m_searchField->text().trimmed();
    if (text.isEmpty())
        setInterfaceMode(StartMode);
    else
        beginSearchForTicker(text);
}

void NBAddStockSheetController::beginSearchForTicker(const QString& ticker) {
    m_requestedStockTicker = NBAppResources::toQString(
        NBNumeralsRules::upperCaseTicker(NBAppResources::toU16(ticker.trimmed())));
    setInterfaceMode(SearchingMode, m_requestedStockTicker);
    if (!m_stockTickerValidator) {
        m_stockTickerValidator = std::make_unique<NKStockTickerValidator>();
        m_stockTickerValidator->setDelegate(this);
    }
    m_stockTickerValidator->cancel();
    m_stockTickerValidator->findStockWithTicker(NBAppResources::toU16(m_requestedStockTicker));
}

void NBAddStockSheetController::stockValidatorDidFindStock(NKStockTickerValidator&,
                                                           const std::shared_ptr<NKStock>& stock) {
    if (!stock) return;
    m_foundStock = stock;
    stock->setLocale(m_locale);
    stock->setName(NBNumeralsRules::validVariableNameForTicker(stock->ticker().value_or(u"")));
    setInterfaceMode(FoundMode, m_requestedStockTicker);
    const auto preferred = stock->preferredCurrencyCode();
    const int index =
        preferred ? m_currencyPopup->findText(NBAppResources::toQString(*preferred)) : -1;
    m_currencyPopup->setCurrentIndex(index >= 0 ? index : 0);
}

void NBAddStockSheetController::stockValidatorDidNotFindStockWithTicker(
    NKStockTickerValidator&, const std::u16string& ticker) {
    setInterfaceMode(NotFoundMode, NBAppResources::toQString(ticker));
}

void NBAddStockSheetController::stockValidatorDidEncounterError(NKStockTickerValidator&,
                                                                const NSError&,
                                                                const std::u16string& ticker) {
    setInterfaceMode(ErrorMode, NBAppResources::toQString(ticker));
}

void NBAddStockSheetController::findButtonAction() {
    if (!m_foundStock) {
        searchFieldAction();
        return;
    }
    const QString title = m_currencyPopup->currentText();
    if (title.isEmpty() || title == localized(u"None"))
        m_foundStock->setCurrencyCode(std::nullopt);
    else
        m_foundStock->setCurrencyCode(NBAppResources::toU16(title));
    const auto stock = m_foundStock;
    m_foundStock.reset();
    if (m_delegate) m_delegate->stockSheetControllerDidFinishWithStock(*this, stock);
}

void NBAddStockSheetController::cancelButtonAction() {
    if (m_delegate)
        m_delegate->stockSheetControllerDidCancel(*this);
    else
        QDialog::reject();
}

void NBAddStockSheetController::reject() {
    // Escape and the window's close button cancel like the button does.
    if (m_delegate)
        m_delegate->stockSheetControllerDidCancel(*this);
    else
        QDialog::reject();
}
