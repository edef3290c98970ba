// The stocks panel and the add-stock sheet against a local quote service: the sheet's search
// states, the proposed name and currency, adding with undo (a stock listed already is not
// taken away by undo), removing, and the update controls that hide without stocks.
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QUndoStack>

#include "NBAddStockSheetController.h"
#include "NBHyperlinkButton.h"
#include "NBStocksViewController.h"
#include "NCVariable.h"
#include "NCVariableList.h"
#include "NKStock.h"
#include "NumeralsTestSupport.h"

namespace {

const char* const kQuotes =
    "\"BRK-B\",\"Berkshire Hathaway Inc.\",412.50\n"
    "\"^DJI\",\"Dow Jones Industrial Average\",37689.54\n"
    "\"VOD.L\",\"Vodafone Group\",71.52\n";

class NumeralsStocks : public NumeralsTest {
  protected:
    NBStocksViewController* openStocks() {
        NBNumeralsWindowController* window = openNumerals();
        window->setActiveViewController(window->stocksViewController());
        m_window = window;
        configureServices();
        m_server.route("/d/quotes.csv", LocalWebServer::text(200, kQuotes));
        return window->stocksViewController();
    }
    NBAddStockSheetController* openSheet(NBStocksViewController* panel) {
        expectModalDialog(true);
        m_window->addButton()->click();
        NBAddStockSheetController* sheet = panel->sheetController();
        EXPECT_NE(sheet, nullptr);
        EXPECT_TRUE(sheet && sheet->isVisible());
        return sheet;
    }
    void search(NBAddStockSheetController* sheet, const QString& text) {
        sheet->searchField()->setText(text);
        sheet->searchFieldAction();
    }
    bool waitWhileSearching(NBAddStockSheetController* sheet) {
        return pumpEventsUntil(
            [sheet] { return sheet->interfaceMode() != NBAddStockSheetController::SearchingMode; });
    }
    // Stocks offer their prices as variables of the core list, beside the user's own.
    std::shared_ptr<NCVariable> listedVariable(const std::u16string& name) {
        for (const auto& variable : variables()->variableList()->variables())
            if (variable->name() == name) return variable;
        return nullptr;
    }
    std::shared_ptr<NKStock> listedTicker(const std::u16string& ticker) {
        for (const auto& stock : stocks()->stocks())
            if (stock->ticker() == ticker) return stock;
        return nullptr;
    }

    NBNumeralsWindowController* m_window = nullptr;
};

TEST_F(NumeralsStocks, SearchingBrkBProposesBrkUnderscoreBAndAddingUndoes) {
    NBStocksViewController* panel = openStocks();
    EXPECT_TRUE(panel->updateButton()->isHidden());
    EXPECT_TRUE(panel->statusField()->isHidden());
    NBAddStockSheetController* sheet = openSheet(panel);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->statusLabel()->text(), "Enter the stock's ticker symbol.");
    EXPECT_FALSE(sheet->searchButton()->isEnabled());
    EXPECT_FALSE(sheet->hyperlinkButton()->isHidden());
    EXPECT_EQ(sheet->hyperlinkButton()->urlString(), QString::fromStdString(m_server.origin()));

    search(sheet, "brk-b");
    EXPECT_EQ(sheet->statusLabel()->text(), "Searching for stock BRK-B...");
    EXPECT_EQ(sheet->searchButton()->text(), "Searching...");
    EXPECT_FALSE(sheet->searchButton()->isEnabled());
    ASSERT_TRUE(waitWhileSearching(sheet));
    ASSERT_EQ(sheet->interfaceMode(), NBAddStockSheetController::FoundMode);
    EXPECT_EQ(sheet->searchButton()->text(), "Add BRK_B");
    EXPECT_TRUE(sheet->searchButton()->isEnabled());
    EXPECT_EQ(sheet->tabView()->currentIndex(), 1);
    EXPECT_EQ(sheet->currencyPopup()->currentText(), "USD");
    EXPECT_EQ(sheet->currencyPopup()->itemText(0), "None");
    ASSERT_EQ(sheet->foundStocks().size(), 1u);
    saveScreenshot(sheet, "numerals-add-stock-sheet");

    sheet->searchButton()->click();
    pumpEventsFor(20);
    EXPECT_FALSE(sheet->isVisible());
    expectModalDialog(false);
    auto added = listedTicker(u"BRK-B");
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->name(), u"BRK_B");
    EXPECT_EQ(added->currencyCode(), u"USD");
    EXPECT_EQ(m_window->undoStack()->undoText(), "Add Stock");
    EXPECT_EQ(panel->dataSource().size(), 1u);
    EXPECT_EQ(panel->tableView()->selectionModel()->selectedRows().size(), 1);
    EXPECT_FALSE(panel->updateButton()->isHidden());
    // The first stock brings the update button and the status onto the bar at once, whole.
    const auto wholeOnTheBar = [&](QWidget* control) {
        QWidget* accessory = panel->accessoryView();
        return control->isVisible() && accessory->rect().contains(control->geometry()) &&
               QRect(QPoint(0, 0), m_window->size())
                   .contains(QRect(accessory->mapTo(m_window, QPoint(0, 0)), accessory->size()));
    };
    EXPECT_TRUE(pumpEventsUntil([&] {
        return wholeOnTheBar(panel->updateButton()) && wholeOnTheBar(panel->statusField());
    }));
    EXPECT_NE(listedVariable(u"BRK_B"), nullptr);
    saveScreenshot(m_window, "numerals-stocks-panel");

    m_window->undoStack()->undo();
    EXPECT_EQ(listedTicker(u"BRK-B"), nullptr);
    EXPECT_TRUE(panel->dataSource().empty());
    ASSERT_TRUE(pumpEventsUntil([&] { return panel->updateButton()->isHidden(); }));
}

TEST_F(NumeralsStocks, TheSheetSaysWhatBecameOfTheSearch) {
    struct Row {
        const char* typed;
        std::optional<LocalWebServer::Reply> reply;
        int mode;
        QString status;
        QString button;
        QString currency;
    };
    const std::vector<Row> rows = {
        {"^dji", std::nullopt, NBAddStockSheetController::FoundMode, {}, "Add DJI", "None"},
        {"vod.l", std::nullopt, NBAddStockSheetController::FoundMode, {}, "Add VOD.L", "GBX"},
        {"zzzz",
         std::nullopt,
         NBAddStockSheetController::NotFoundMode,
         "Stock \"ZZZZ\" not found.",
         "Find Stock",
         {}},
        {"aapl",
         LocalWebServer::fixture("service-error.html", 500),
         NBAddStockSheetController::ErrorMode,
         "The search for stock \"AAPL\" failed. Please check your connection and try again.",
         "Find Stock",
         {}},
    };
    NBStocksViewController* panel = openStocks();
    NBAddStockSheetController* sheet = openSheet(panel);
    ASSERT_NE(sheet, nullptr);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.typed);
        m_server.route("/d/quotes.csv",
                       row.reply ? *row.reply : LocalWebServer::text(200, kQuotes));
        sheet->setInterfaceMode(NBAddStockSheetController::StartMode);
        search(sheet, row.typed);
        ASSERT_TRUE(waitWhileSearching(sheet));
        EXPECT_EQ(sheet->interfaceMode(), row.mode);
        EXPECT_EQ(sheet->searchButton()->text(), row.button);
        EXPECT_TRUE(sheet->searchButton()->isEnabled());
        if (!row.status.isEmpty()) {
            EXPECT_EQ(sheet->statusLabel()->text(), row.status);
            EXPECT_EQ(sheet->tabView()->currentIndex(), 0);
        }
        if (!row.currency.isEmpty()) {
            EXPECT_EQ(sheet->currencyPopup()->currentText(), row.currency);
        }
    }
    // The pence item stands just before the pounds.
    const int pence = sheet->currencyPopup()->findText("GBX");
    EXPECT_EQ(sheet->currencyPopup()->itemText(pence + 1), "GBP");
    sheet->cancelButtonAction();
    pumpEventsFor(20);
    EXPECT_FALSE(sheet->isVisible());
    expectModalDialog(false);
    EXPECT_TRUE(stocks()->stocks().empty());
}

TEST_F(NumeralsStocks, AddingAStockListedAlreadyRegistersNoUndoThatWouldRemoveIt) {
    NBStocksViewController* panel = openStocks();
    auto original = NKStock::stockWithCompany(u"Apple Inc.", u"AAPL", u"189.95");
    original->setName(std::u16string(u"AAPL"));
    stocks()->addStock(original);
    auto msft = NKStock::stockWithCompany(u"Microsoft", u"MSFT", u"370.00");
    msft->setName(std::u16string(u"MSFT"));
    panel->addStocks({msft});
    const int undoCount = m_window->undoStack()->count();

    auto duplicate = NKStock::stockWithCompany(u"Apple Inc.", u"AAPL", u"190.00");
    duplicate->setName(std::u16string(u"AAPL"));
    panel->addStocks({duplicate});
    EXPECT_EQ(m_window->undoStack()->count(), undoCount);
    m_window->undoStack()->undo();
    EXPECT_EQ(listedTicker(u"AAPL"), original);
    EXPECT_EQ(listedTicker(u"MSFT"), nullptr);
    EXPECT_NE(listedVariable(u"AAPL"), nullptr);
}

TEST_F(NumeralsStocks, RemovingTheLastStockHidesTheUpdateControls) {
    NBStocksViewController* panel = openStocks();
    auto first = NKStock::stockWithCompany(u"Apple Inc.", u"AAPL", u"189.95");
    first->setName(std::u16string(u"AAPL"));
    auto second = NKStock::stockWithCompany(u"Microsoft", u"MSFT", u"370.00");
    second->setName(std::u16string(u"MSFT"));
    panel->addStocks({first, second});
    EXPECT_EQ(m_window->undoStack()->undoText(), "Add Stocks");
    EXPECT_FALSE(panel->updateButton()->isHidden());
    panel->tableView()->selectRow(0);
    panel->setClickedRowForTesting(1);
    m_window->deleteSelection();
    panel->setClickedRowForTesting(-1);
    EXPECT_TRUE(stocks()->stocks().empty());
    EXPECT_EQ(m_window->undoStack()->undoText(), "Remove Stocks");
    EXPECT_TRUE(panel->updateButton()->isHidden());
    EXPECT_TRUE(panel->statusField()->isHidden());
    m_window->undoStack()->undo();
    EXPECT_EQ(stocks()->stocks().size(), 2u);
}

TEST_F(NumeralsStocks, PricesThatCannotBeUpdatedSaySo) {
    NBStocksViewController* panel = openStocks();
    auto stock = NKStock::stockWithCompany(u"Apple Inc.", u"AAPL", u"189.95");
    stock->setName(std::u16string(u"AAPL"));
    panel->addStocks({stock});
    m_server.route("/d/quotes.csv", LocalWebServer::fixture("service-error.html", 500));
    panel->updateButton()->click();
    EXPECT_EQ(panel->updateButton()->text(), "Updating Prices...");
    EXPECT_FALSE(panel->updateButton()->isEnabled());
    ASSERT_TRUE(pumpEventsUntil(
        [&] { return panel->updateButtonViewMode() == NBStocksViewController::UpdateFailedMode; }));
    EXPECT_EQ(panel->statusField()->text(), "Prices could not be updated");
    EXPECT_TRUE(panel->updateButton()->isEnabled());
}

TEST(HyperlinkButton, OpensOnlyWebAddresses) {
    std::vector<QUrl> opened;
    NBHyperlinkButton::setOpener([&](const QUrl& url) {
        opened.push_back(url);
        return true;
    });
    NBHyperlinkButton button;
    const std::pair<const char*, bool> rows[] = {
        {"https://quotes.example.com/", true},
        {"http://127.0.0.1:8080", true},
        {"file:///etc/passwd", false},
        {"javascript:alert(1)", false},
        {"ftp://example.com/", false},
        {"", false},
        {"https://", false},
    };
    for (const auto& [address, opens] : rows) {
        button.setUrlString(address);
        EXPECT_EQ(button.openURLInBrowser(), opens) << address;
    }
    button.setUrlString("https://quotes.example.com/");
    button.click();
    NBHyperlinkButton::setOpener(nullptr);
    ASSERT_EQ(opened.size(), 3u);
    EXPECT_EQ(opened.back().host(), "quotes.example.com");
    EXPECT_EQ(button.cursor().shape(), Qt::PointingHandCursor);
}

}  // namespace
