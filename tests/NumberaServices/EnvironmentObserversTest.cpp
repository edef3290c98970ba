#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "BoundedScope.h"
#include "EnvironmentTestSupport.h"
#include "NKCurrenciesManager.h"
#include "NKDataManagers.h"
#include "NKNotifications.h"
#include "NKStocksManager.h"
#include "NKUserLocale.h"

namespace {

void post(const char* name, std::any object = {}) {
    NotificationCenter::defaultCenter().post(name, nullptr, std::move(object));
}

TEST(EnvironmentObservers, VariableEditsDuringAStockDownload) {
    struct Row {
        bool downloading;
        int32_t variableType;  // 1: a stock's variable
        bool savedAndTold;
    };
    const Row rows[] = {
        {false, 0, true},
        {true, 0, true},   // the user's own edit is never held back
        {true, 1, false},  // the download's own writes wait for its notification
        {false, 1, true},
    };
    for (const auto& row : rows) {
        EnvironmentFixture f;
        auto environment = f.make();
        f.load(*environment, EnvironmentFixture::resources());
        f.stocks.at(0)->inProgress = row.downloading;
        auto variable = environment->variablesManager()->variableNamed(u"k");
        variable->setType(row.variableType);
        f.delegate.messages.clear();
        post(NKVariableWasModified, variable);
        f.time.queue->runPending();
        EXPECT_EQ(f.data.exists("Variables.plist"), row.savedAndTold)
            << row.downloading << " " << row.variableType;
        EXPECT_EQ(f.delegate.count("variablesWereModified:k"), row.savedAndTold ? 1u : 0u);
    }
}

TEST(EnvironmentObservers, VariableChangesSaveTheFile) {
    struct Row {
        const char* notification;
        bool toldDelegate;
    };
    const Row rows[] = {
        {NKVariableWasAdded, true}, {NKVariableWasRemoved, true}, {NKVariableWasMoved, false}};
    for (const auto& row : rows) {
        EnvironmentFixture f;
        auto environment = f.make();
        f.load(*environment, EnvironmentFixture::resources());
        f.delegate.messages.clear();
        post(row.notification, environment->variablesManager()->variableNamed(u"G"));
        EXPECT_FALSE(f.data.exists("Variables.plist")) << "observers run on the main queue";
        f.time.queue->runPending();
        EXPECT_TRUE(f.data.exists("Variables.plist")) << row.notification;
        EXPECT_EQ(f.delegate.count("variablesWereModified:G"), row.toldDelegate ? 1u : 0u);
    }
}

// The manager's own edits reach the file through its notifications.
TEST(EnvironmentObservers, ManagerEditsReachTheDataFile) {
    EnvironmentFixture f;
    {
        auto environment = f.make();
        f.load(*environment, EnvironmentFixture::resources());
        environment->variablesManager()->addVariableNamed(u"rate");
        f.time.queue->runPending();
    }
    const std::string text = f.data.read("Variables.plist");
    EXPECT_NE(text.find("<string>rate</string>"), std::string::npos);
    EXPECT_NE(text.find("<key>NKVersionInfo</key>"), std::string::npos);
    EXPECT_EQ(f.delegate.count("variablesWereModified:rate"), 1u);

    // The next start reads the file back instead of the defaults.
    auto again = f.make();
    f.load(*again, EnvironmentFixture::resources());
    std::vector<std::u16string> names;
    for (const auto& variable : again->variablesManager()->variables())
        names.push_back(variable->name().value_or(u""));
    EXPECT_EQ(names, (std::vector<std::u16string>{u"k", u"M", u"G", u"rate"}));
}

// The variables panel edits the variables themselves: each such edit is saved and told too.
TEST(EnvironmentObservers, VariablesEditedDirectlyReachTheDataFile) {
    struct Row {
        const char* what;
        std::function<void(NCVariable&)> edit;
        std::string stored;
    };
    const Row rows[] = {
        {"value", [](NCVariable& v) { v.setValue(u"5"); }, "<key>value</key><string>5</string>"},
        {"disable", [](NCVariable& v) { v.setEnabled(false); }, "<key>enabled</key><false/>"},
    };
    for (const auto& row : rows) {
        EnvironmentFixture f;
        auto environment = f.make();
        f.load(*environment, EnvironmentFixture::resources());
        f.delegate.messages.clear();
        row.edit(*environment->variablesManager()->variableNamed(u"M"));
        EXPECT_FALSE(f.data.exists("Variables.plist")) << "observers run on the main queue";
        f.time.queue->runPending();
        ASSERT_TRUE(f.data.exists("Variables.plist")) << row.what;
        const std::string text = f.data.read("Variables.plist");
        const size_t entry = text.find("<string>M</string>");
        ASSERT_NE(entry, std::string::npos);
        // The entry of M: from its dictionary's start to the next one's.
        const size_t start = text.rfind("<dict>", entry);
        std::string stored = text.substr(start, text.find("</dict>", entry) - start);
        std::erase_if(stored, [](char c) { return c == '\n' || c == '\t'; });
        EXPECT_NE(stored.find(row.stored), std::string::npos) << row.what << "\n" << stored;
        EXPECT_EQ(f.delegate.messages, (std::vector<std::string>{"variablesWereModified:M"}));
    }
}

TEST(EnvironmentObservers, SavingWithoutFolderOrVersionInformationIsALoggedNoOp) {
    struct Row {
        bool folder, versionInfo;
        std::string logged;
    };
    const Row rows[] = {
        {false, true, "Warning: Nil directory path for Variables.plist"},
        {true, false, "Warning: No version information for Variables.plist; not saved"},
    };
    for (const auto& row : rows) {
        EnvironmentFixture f;
        auto environment = f.make(row.folder, row.versionInfo);
        f.load(*environment, EnvironmentFixture::resources());
        EXPECT_EQ(environment->variablesManager()->variables().size(), 3u) << "defaults";
        environment->variablesManager()->addVariableNamed(u"x");
        f.time.queue->runPending();
        EXPECT_TRUE(f.log.contains(row.logged)) << row.logged;
        environment->saveToDirectory(f.data.path());
        EXPECT_EQ(f.data.exists("Variables.plist"), row.versionInfo);
        EXPECT_EQ(f.currencies.at(0)->count("save"), row.versionInfo ? 1u : 0u);
    }
}

TEST(EnvironmentObservers, UnreadableVariablesFileIsKeptAside) {
    EnvironmentFixture f;
    const std::string damaged = "<?xml version=\"1.0\"?><plist><dict><key>NKVariables";
    f.data.write("Variables.plist", damaged);
    auto environment = f.make();
    f.load(*environment, EnvironmentFixture::resources());
    EXPECT_TRUE(environment->variablesManager()->variables().empty()) << "no defaults over it";
    environment->variablesManager()->addVariableNamed(u"x");
    f.time.queue->runPending();
    EXPECT_EQ(f.data.read("Variables.plist.unreadable"), damaged);
    EXPECT_NE(f.data.read("Variables.plist").find("<string>x</string>"), std::string::npos);
}

// A pipe, an endless device or a huge file in the place of each data file: the environment
// starts at once without them, with one log line each, leaves them where they are, and a save
// puts each aside untouched before writing.
TEST(EnvironmentObservers, DataFilesThatAreNotDataAreRefusedAndKeptAside) {
    const std::string files[] = {"Variables.plist", "Currencies.plist", "Stocks.plist"};
    const std::string logged[] = {"Warning: Variables file '",
                                  "Invalid currency data store error 1", "Warning: Stocks file '"};
    for (HostileFile kind : kHostileFiles) {
        SCOPED_TRACE(hostileFileName(kind));
        EnvironmentFixture f;
        std::map<std::string, std::string> before;
        for (const auto& name : files) {
            ASSERT_TRUE(
                makeHostileFile(f.data.file(name), kind, PropertyListFile::kMaximumFileSize));
            before[name] = fileIdentity(f.data.file(name));
        }
        BoundedScope bound(std::string("Starting over a ") + hostileFileName(kind), 120,
                           1000 * 1000);
        auto environment = f.make();
        environment->setModuleFactory(NKDataManagersFactory());
        environment->setUpdatesValuesFromWeb(false);
        f.load(*environment, EnvironmentFixture::resources());
        EXPECT_TRUE(environment->variablesManager()->variables().empty()) << "no defaults over it";
        EXPECT_FALSE(environment->fullCurrenciesManager()->allCurrencies().empty()) << "defaults";
        EXPECT_TRUE(environment->fullStocksManager()->stocks().empty());
        for (const auto& text : logged) {
            const auto lines = f.log.lines();
            EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                    [&](const std::string& line) {
                                        return line.find(text) != std::string::npos;
                                    }),
                      1)
                << text;
        }
        for (const auto& name : files) EXPECT_EQ(fileIdentity(f.data.file(name)), before[name]);

        environment->saveToDirectory(f.data.path());
        for (const auto& name : files) {
            EXPECT_EQ(fileIdentity(f.data.file(name + ".unreadable")), before[name]) << name;
            EXPECT_TRUE(PropertyListFile::isReadableDictionary(f.data.file(name))) << name;
        }
        EXPECT_LT(bound.growthKilobytes(), 256 * 1000);
    }
}

// Data files of the wrong shape read as dictionaries but hold what we cannot read: each is
// listed once for the user and kept whole under another name before the first save over it.
TEST(EnvironmentObservers, DataFilesReadInPartAreKeptAsideBeforeTheirFirstSave) {
    const auto plist = [](const std::string& body) {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" + body +
               "</dict></plist>\n";
    };
    struct Row {
        const char* file;
        std::string contents;
    };
    const Row rows[] = {
        {"Variables.plist", plist("<key>NKVariables</key><string>mine</string>")},
        {"Variables.plist", plist("<key>NKVariables</key><array><string>mine</string><dict>"
                                  "<key>name</key><string>kept</string><key>value</key>"
                                  "<string>2</string></dict></array>")},
        {"Variables.plist", plist("<key>Vars</key><array/>")},
        {"Stocks.plist", plist("<key>NKStocks</key><string>mine</string>")},
        {"Stocks.plist", plist("<key>NKStocks</key><array><integer>7</integer></array>")},
        {"Currencies.plist", plist("<key>NKCurrencies</key><dict><key>EUR</key>"
                                   "<string>mine</string></dict>")},
        {"Currencies.plist", plist("<key>NKCurrencies</key><string>mine</string>")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.contents);
        EnvironmentFixture f;
        f.data.write(row.file, row.contents);
        auto environment = f.make();
        environment->setModuleFactory(NKDataManagersFactory());
        environment->setUpdatesValuesFromWeb(false);
        f.load(*environment, EnvironmentFixture::resources());
        EXPECT_EQ(environment->partlyReadDataFiles(),
                  std::vector<std::string>{f.data.file(row.file)});
        EXPECT_EQ(f.data.read(row.file), row.contents) << "untouched until it is saved";

        environment->saveToDirectory(f.data.path());
        EXPECT_EQ(f.data.read(std::string(row.file) + ".unreadable"), row.contents);
        EXPECT_TRUE(PropertyListFile::isReadableDictionary(f.data.file(row.file)));
        EXPECT_TRUE(environment->partlyReadDataFiles().empty());
        // What was read stays: the readable variable of the mixed list is saved again.
        if (row.contents.find("kept") != std::string::npos)
            EXPECT_NE(f.data.read(row.file).find("<string>kept</string>"), std::string::npos);
        // The next save writes over our own file, keeping no second copy.
        environment->saveToDirectory(f.data.path());
        EXPECT_FALSE(f.data.exists(std::string(row.file) + ".unreadable-2"));
    }
}

TEST(EnvironmentObservers, StockNotifications) {
    struct Row {
        const char* notification;
        std::string delegateMessage;
    };
    const Row rows[] = {{NKStocksWereAdded, "stocksWereModified"},
                        {NKStocksWereRemoved, "stocksWereModified"},
                        {NKStocksSuccessfulyUpdated, "didUpdateStockValues"}};
    EXPECT_STREQ(NKStocksWereAdded, "NKStockWasAdded");
    for (const auto& row : rows) {
        EnvironmentFixture f;
        auto environment = f.make();
        f.load(*environment, EnvironmentFixture::resources());
        f.delegate.messages.clear();
        post(row.notification);
        f.time.queue->runPending();
        EXPECT_EQ(f.stocks.at(0)->count("save"), 1u) << row.notification;
        EXPECT_EQ(f.delegate.messages, (std::vector<std::string>{row.delegateMessage}));
    }
}

TEST(EnvironmentObservers, EnablingACurrencyAsksTheWebOnlyWhenAllowed) {
    struct Row {
        bool updatesFromWeb, anyEnabled;
        size_t expectedWebRequests;
    };
    const Row rows[] = {{true, true, 1}, {false, true, 0}, {true, false, 0}, {false, false, 0}};
    for (const auto& row : rows) {
        EnvironmentFixture f;
        auto environment = f.make();
        environment->setUpdatesValuesFromWeb(row.updatesFromWeb);
        f.load(*environment, EnvironmentFixture::resources());
        auto& currencies = *f.currencies.at(0);
        currencies.anyEnabled = row.anyEnabled;
        f.delegate.messages.clear();
        post(NKCurrenciesEnabledStateChanged);
        f.time.queue->runPending();
        EXPECT_EQ(currencies.count("updateRatesFromWeb"), row.expectedWebRequests)
            << row.updatesFromWeb << " " << row.anyEnabled;
        EXPECT_EQ(currencies.count("save"), 1u);
        EXPECT_EQ(currencies.lastSavePath, f.data.file("Currencies.plist"));
        EXPECT_EQ(f.delegate.messages, (std::vector<std::string>{"currenciesWereModified"}));
    }
}

// Newly enabled currencies are matched to the user's locale again: a clashing symbol means the
// user's own currency once its unit is there.
TEST(EnvironmentObservers, EnablingACurrencyRefreshesTheCurrencyLocale) {
    EnvironmentFixture f;
    NKUserLocale::setCurrent(NKUserLocale{"sv_SE", u"SEK", u"kr"});
    auto environment = f.make();
    f.load(*environment, EnvironmentFixture::resources());
    auto units = environment->unitsManager();
    for (const char16_t* code : {u"NOK", u"SEK"})
        units->setUnitEnabled(units->unitWithIdentifier(code), true);
    post(NKCurrenciesEnabledStateChanged);
    f.time.queue->runPending();
    auto kr = units->ncUnitManager()->unitWithName(u"kr");
    ASSERT_NE(kr, nullptr);
    EXPECT_EQ(kr->identifier(), u"SEK");
    NKUserLocale::setCurrent(std::nullopt);
}

TEST(EnvironmentObservers, FavouriteChangesSaveOnceFiveSecondsAfterTheLast) {
    EnvironmentFixture f;
    auto environment = f.make();
    f.load(*environment, EnvironmentFixture::resources());
    auto& currencies = *f.currencies.at(0);
    const NSTimeInterval start = f.time.now();
    post(NKCurrenciesFavouriteStateChanged);
    f.time.queue->runPending();
    f.time.advance(3);
    post(NKCurrenciesFavouriteStateChanged);
    f.time.queue->runPending();
    f.time.advance(4.9);
    EXPECT_EQ(currencies.count("save"), 0u);
    f.time.advance(0.2);
    ASSERT_EQ(currencies.savedAt.size(), 1u);
    EXPECT_DOUBLE_EQ(currencies.savedAt[0] - start, 8.0);
    f.time.advance(60);
    EXPECT_EQ(currencies.count("save"), 1u);
    EXPECT_EQ(f.delegate.count("currenciesWereModified"), 2u);
}

TEST(EnvironmentObservers, SuccessfulUpdateCancelsAPendingFavouriteSave) {
    EnvironmentFixture f;
    auto environment = f.make();
    f.load(*environment, EnvironmentFixture::resources());
    auto& currencies = *f.currencies.at(0);
    const NSTimeInterval start = f.time.now();
    post(NKCurrenciesFavouriteStateChanged);
    f.time.queue->runPending();
    f.time.advance(1);
    post(NKCurrenciesSuccessfullyUpdated);
    f.time.queue->runPending();
    ASSERT_EQ(currencies.savedAt.size(), 1u);
    EXPECT_DOUBLE_EQ(currencies.savedAt[0] - start, 1.0);
    EXPECT_EQ(currencies.count("ratesToUnits:active"), 1u);
    f.time.advance(30);
    EXPECT_EQ(currencies.count("save"), 1u) << "the favourite save was withdrawn";
    EXPECT_EQ(f.delegate.count("didUpdateCurrencyValues"), 1u);
}

TEST(EnvironmentObservers, GoneEnvironmentHearsNothing) {
    EnvironmentFixture f;
    {
        auto environment = f.make();
        f.load(*environment, EnvironmentFixture::resources());
    }
    f.delegate.messages.clear();
    post(NKStocksWereAdded);
    post(NKCurrenciesFavouriteStateChanged);
    f.time.advance(10);
    EXPECT_TRUE(f.delegate.messages.empty());
    EXPECT_TRUE(f.currencies.at(0)->stopped);
}

}  // namespace
