// The currencies panel: favourites or all by the scope bar, rates in the base currency, the
// base-currency menu, check boxes and hearts that toggle without selecting, and the outcome of
// a rate update from the local server, whole, partial or failed.
#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "MGScopeBar.h"
#include "NBCurrenciesViewController.h"
#include "NBNumeralsInterface.h"
#include "NBUserDefaultsController.h"
#include "NKCurrency.h"
#include "NumeralsTestSupport.h"

namespace {

class NumeralsCurrencies : public NumeralsTest {
  protected:
    NBCurrenciesViewController* openCurrencies() {
        NBNumeralsWindowController* window = openNumerals();
        window->setActiveViewController(window->currenciesViewController());
        m_window = window;
        return window->currenciesViewController();
    }
    // Only these currencies are enabled, so that the recorded replies cover all of them.
    void enableOnly(const std::vector<std::u16string>& codes) {
        for (const auto& currency : currencies()->allCurrencies())
            currency->setEnabled(std::find(codes.begin(), codes.end(), currency->code()) !=
                                 codes.end());
        pumpEventsFor(20);
    }
    QStringList menuTexts(QComboBox* popup) {
        QStringList texts;
        for (int i = 0; i < popup->count(); ++i)
            texts << (popup->itemText(i).isEmpty() ? QStringLiteral("-") : popup->itemText(i));
        return texts;
    }
    int rowOfCode(NBCurrenciesViewController* panel, const std::u16string& code) {
        const auto& rows = panel->dataSource();
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i].currency->code() == code) return static_cast<int>(i);
        return -1;
    }

    NBNumeralsWindowController* m_window = nullptr;
};

TEST_F(NumeralsCurrencies, OpensOnFavouritesAndAllShowsTheFavouritesColumnBeforeTheDate) {
    NBCurrenciesViewController* panel = openCurrencies();
    MGScopeBar* bar = panel->scopeBar();
    ASSERT_EQ(bar->selectedItems().size(), 1u);
    EXPECT_EQ(bar->selectedItems()[0], QStringList{"favouriteCurrencies"});
    EXPECT_EQ(panel->viewMode(), NBCurrenciesViewController::FavouritesViewMode);
    QTableView* table = panel->tableView();
    EXPECT_TRUE(table->isColumnHidden(NBCurrenciesViewController::FavouriteColumn));
    EXPECT_EQ(panel->dataSource().size(), currencies()->favouriteCurrencies().size());
    // Without an update of their own the rates are the bundled ones, of the bundled date.
    ASSERT_TRUE(currencies()->lastCurrencyUpdateDate().has_value());
    EXPECT_EQ(panel->statusField()->text(),
              NBNumeralsInterface::lastUpdatedText(currencies()->lastCurrencyUpdateDate()));
    EXPECT_TRUE(panel->statusField()->text().startsWith("Last Updated: "));
    saveScreenshot(m_window, "numerals-currencies-favourites");

    QPushButton* all = bar->buttonForItem("allCurrencies", 0);
    ASSERT_NE(all, nullptr);
    EXPECT_EQ(all->text(), "All");
    all->click();
    EXPECT_EQ(panel->viewMode(), NBCurrenciesViewController::AllViewMode);
    EXPECT_EQ(bar->selectedItems()[0], QStringList{"allCurrencies"});
    EXPECT_FALSE(table->isColumnHidden(NBCurrenciesViewController::FavouriteColumn));
    QHeaderView* header = table->horizontalHeader();
    EXPECT_EQ(header->visualIndex(NBCurrenciesViewController::FavouriteColumn) + 1,
              header->visualIndex(NBCurrenciesViewController::SourceDateColumn));
    EXPECT_EQ(panel->dataSource().size(), currencies()->allCurrencies().size());
    saveScreenshot(m_window, "numerals-currencies-all");

    // Clicking the selected item of a radio group keeps it selected.
    all->click();
    EXPECT_TRUE(all->isChecked());
    EXPECT_EQ(panel->viewMode(), NBCurrenciesViewController::AllViewMode);
}

TEST_F(NumeralsCurrencies, RatesAreInTheBaseCurrencyAndTinyRatesKeepTheirDigits) {
    NBCurrenciesViewController* panel = openCurrencies();
    panel->setCurrenciesViewMode(NBCurrenciesViewController::AllViewMode);
    panel->setBaseCurrency("USD");
    const auto rateOf = [&](const std::u16string& code) {
        const int row = rowOfCode(panel, code);
        return row < 0 ? QString() : panel->dataSource()[static_cast<size_t>(row)].rate;
    };
    EXPECT_EQ(rateOf(u"USD"), "1.00");
    EXPECT_EQ(rateOf(u"BTC"), "0.00002222");
    panel->setBaseCurrency("EUR");
    EXPECT_EQ(rateOf(u"EUR"), "1.00");
    EXPECT_EQ(NBUserDefaultsController::baseCurrencyCode(), u"EUR");
    EXPECT_EQ(panel->baseCurrencyPopup()->currentText(), "EUR");
}

TEST_F(NumeralsCurrencies, TheBaseCurrencyMenuFallsBackToUSD) {
    NBCurrenciesViewController* panel = openCurrencies();
    enableOnly({u"EUR", u"GBP", u"JPY"});
    for (const auto& currency : currencies()->allCurrencies()) currency->setFavourite(false);
    currencies()->currencyWithCode(u"EUR")->setFavourite(true);
    panel->setBaseCurrency("GBP");
    EXPECT_EQ(menuTexts(panel->baseCurrencyPopup()), QStringList({"EUR", "-", "GBP", "JPY"}));
    EXPECT_EQ(panel->baseCurrencyPopup()->currentText(), "GBP");
    currencies()->currencyWithCode(u"GBP")->setEnabled(false);
    pumpEventsFor(20);
    panel->reloadBaseCurrencyPopupMenu();
    EXPECT_EQ(menuTexts(panel->baseCurrencyPopup()), QStringList({"USD", "EUR", "-", "JPY"}));
    EXPECT_EQ(panel->baseCurrencyPopup()->currentText(), "USD");
}

TEST_F(NumeralsCurrencies, ACheckBoxOrHeartTogglesWithoutSelectingTheRow) {
    NBCurrenciesViewController* panel = openCurrencies();
    panel->setCurrenciesViewMode(NBCurrenciesViewController::AllViewMode);
    QTableView* table = panel->tableView();
    table->clearSelection();
    const int row = rowOfCode(panel, u"AUD");
    ASSERT_GE(row, 0);
    auto aud = currencies()->currencyWithCode(u"AUD");
    table->scrollTo(table->model()->index(row, 0));
    pumpEventsFor(20);
    const bool wasEnabled = aud->enabled();
    const bool wasFavourite = aud->favourite();
    const auto clickCell = [&](int column) {
        const int current = rowOfCode(panel, u"AUD");
        const QRect cell = table->visualRect(table->model()->index(current, column));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        pumpEventsFor(20);
    };
    clickCell(NBCurrenciesViewController::EnabledColumn);
    EXPECT_NE(aud->enabled(), wasEnabled);
    clickCell(NBCurrenciesViewController::FavouriteColumn);
    EXPECT_NE(aud->favourite(), wasFavourite);
    EXPECT_TRUE(table->selectionModel()->selectedRows().isEmpty());
    clickCell(NBCurrenciesViewController::NameColumn);
    EXPECT_EQ(table->selectionModel()->selectedRows().size(), 1);
}

TEST_F(NumeralsCurrencies, SwitchingTheBaseCurrencyOffMovesTheBaseOrIsRefused) {
    NBCurrenciesViewController* panel = openCurrencies();
    panel->setCurrenciesViewMode(NBCurrenciesViewController::AllViewMode);
    enableOnly({u"EUR", u"GBP"});
    NBUserDefaultsController::setBaseCurrencyCode(u"EUR");
    panel->reloadView();
    QTableView* table = panel->tableView();
    const auto clickEnabled = [&](const std::u16string& code) {
        const int row = rowOfCode(panel, code);
        ASSERT_GE(row, 0);
        table->scrollTo(table->model()->index(row, 0));
        pumpEventsFor(20);
        const QRect cell = table->visualRect(
            table->model()->index(row, NBCurrenciesViewController::EnabledColumn));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        pumpEventsFor(20);
    };
    // The rates stay against an enabled currency: the base moves to GBP, and the panel says so.
    clickEnabled(u"EUR");
    EXPECT_FALSE(currencies()->currencyWithCode(u"EUR")->enabled());
    EXPECT_EQ(NBUserDefaultsController::baseCurrencyCode(), u"GBP");
    EXPECT_EQ(panel->baseCurrencyPopup()->currentText(), "GBP");
    EXPECT_EQ(panel->statusField()->text(), "The base currency is now GBP");
    saveScreenshot(m_window, "numerals-currencies-base-moved");
    // GBP is the last one enabled: it stays on.
    clickEnabled(u"GBP");
    EXPECT_TRUE(currencies()->currencyWithCode(u"GBP")->enabled());
    EXPECT_EQ(NBUserDefaultsController::baseCurrencyCode(), u"GBP");
    EXPECT_EQ(panel->statusField()->text(), "The base currency cannot be disabled");
}

TEST_F(NumeralsCurrencies, AnEnabledCurrencyOlderThanTheLastUpdateShowsItsDateInRed) {
    NBCurrenciesViewController* panel = openCurrencies();
    configureServices();
    enableOnly({u"USD", u"EUR", u"GBP", u"JPY"});
    m_server.route("/d/quotes.csv", LocalWebServer::fixture("currencies-quotes.csv"));
    panel->updateButton()->click();
    ASSERT_TRUE(pumpEventsUntil(
        [&] { return panel->updateButtonViewMode() == NBCurrenciesViewController::UpdatedMode; }));
    panel->setCurrenciesViewMode(NBCurrenciesViewController::AllViewMode);
    // Dated two minutes before the update.
    auto eur = currencies()->currencyWithCode(u"EUR");
    eur->setSourceDate(*currencies()->lastCurrencyUpdateDate() - 120);
    panel->reloadContent();
    QAbstractItemModel* model = panel->tableView()->model();
    const auto colourOf = [&](const std::u16string& code) {
        return model
            ->data(
                model->index(rowOfCode(panel, code), NBCurrenciesViewController::SourceDateColumn),
                Qt::ForegroundRole)
            .value<QColor>();
    };
    EXPECT_EQ(colourOf(u"EUR"), QColor(Qt::red));
    EXPECT_EQ(colourOf(u"GBP"), QColor(Qt::darkGray));
    // A disabled currency is never out of date.
    EXPECT_EQ(colourOf(u"AUD"), QColor(Qt::darkGray));
}

TEST_F(NumeralsCurrencies, TheUpdateOutcomeShowsInTheStatus) {
    struct Row {
        const char* what;
        std::optional<LocalWebServer::Reply> quotes, bitcoin;
        int mode;
        QString status;
    };
    const std::vector<Row> rows = {
        {"every source answers",
         LocalWebServer::fixture("currencies-quotes.csv"),
         LocalWebServer::fixture("bitcoin.json"),
         NBCurrenciesViewController::UpdatedMode,
         {}},
        {"only the bitcoin service fails", LocalWebServer::fixture("currencies-quotes.csv"),
         LocalWebServer::fixture("service-error.html", 500),
         NBCurrenciesViewController::PartiallyFailedMode, "Rates for BTC could not be updated"},
        {"every service fails", LocalWebServer::fixture("service-error.html", 500),
         LocalWebServer::fixture("service-error.html", 500),
         NBCurrenciesViewController::UpdateFailedMode, "Rates could not be updated"},
    };
    NBCurrenciesViewController* panel = openCurrencies();
    configureServices();
    enableOnly({u"USD", u"EUR", u"GBP", u"JPY", u"BTC"});
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        m_server.route("/d/quotes.csv", *row.quotes);
        m_server.route("/ticker/global/USD/", *row.bitcoin);
        m_server.route("/numbera/data/currencies.php",
                       LocalWebServer::fixture("service-error.html", 500));
        panel->updateButton()->click();
        EXPECT_EQ(panel->updateButton()->text(), "Updating Rates...");
        EXPECT_FALSE(panel->updateButton()->isEnabled());
        EXPECT_TRUE(panel->statusField()->isHidden());
        ASSERT_TRUE(pumpEventsUntil([&] {
            return panel->updateButtonViewMode() != NBCurrenciesViewController::UpdatingMode;
        }));
        EXPECT_EQ(panel->updateButtonViewMode(), row.mode);
        EXPECT_TRUE(panel->updateButton()->isEnabled());
        EXPECT_EQ(panel->updateButton()->text(), "Update Rates");
        EXPECT_FALSE(panel->statusField()->isHidden());
        if (row.status.isEmpty())
            EXPECT_TRUE(panel->statusField()->text().startsWith("Last Updated: "))
                << panel->statusField()->text().toStdString();
        else
            EXPECT_EQ(panel->statusField()->text(), row.status);
        pumpEventsFor(50);
    }
    saveScreenshot(m_window, "numerals-currencies-update-failed");
}

TEST_F(NumeralsCurrencies, ANarrowPanelCollapsesTheScopeBarIntoAPopUp) {
    NBCurrenciesViewController* panel = openCurrencies();
    MGScopeBar* bar = panel->scopeBar();
    bar->resize(700, MGScopeBar::kBarHeight);
    EXPECT_FALSE(bar->groupIsCollapsed(0));
    bar->resize(panel->baseCurrencyView()->width() + 60, MGScopeBar::kBarHeight);
    ASSERT_TRUE(bar->groupIsCollapsed(0));
    QPushButton* popup = bar->popupButtonForGroupAtIndex(0);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->text(), "Favourites");
    saveScreenshot(bar, "numerals-scope-bar-collapsed");
    bar->resize(700, MGScopeBar::kBarHeight);
    EXPECT_FALSE(bar->groupIsCollapsed(0));
    EXPECT_TRUE(bar->buttonForItem("favouriteCurrencies", 0)->isChecked());
}

}  // namespace
