#include "NKStocksManager.h"

#include <algorithm>
#include <filesystem>

#include "NKNotifications.h"
#include "NKTextHelpers.h"
#include "NKUnitsManager.h"
#include "NKVariablesManager.h"

namespace {

constexpr const char* kDownloadAction = "downloadLatestStockPrices";

bool sameNameIgnoringCase(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char16_t x = a[i], y = b[i];
        if (x >= u'A' && x <= u'Z') x = static_cast<char16_t>(x - u'A' + u'a');
        if (y >= u'A' && y <= u'Z') y = static_cast<char16_t>(y - u'A' + u'a');
        if (x != y) return false;
    }
    return true;
}

std::string sourceOf(const std::any& userInfo) {
    const auto* source = std::any_cast<std::string>(&userInfo);
    return source ? *source : std::string();
}

}  // namespace

std::shared_ptr<NKStocksManager> NKStocksManager::create(
    std::shared_ptr<NKUnitsManager> unitsManager,
    std::shared_ptr<NKVariablesManager> variablesManager, std::shared_ptr<MainQueue> queue,
    NotificationCenter* center, std::shared_ptr<HttpClient> client) {
    return std::shared_ptr<NKStocksManager>(
        new NKStocksManager(std::move(unitsManager), std::move(variablesManager), std::move(queue),
                            center, std::move(client)));
}

NKStocksManager::NKStocksManager(std::shared_ptr<NKUnitsManager> unitsManager,
                                 std::shared_ptr<NKVariablesManager> variablesManager,
                                 std::shared_ptr<MainQueue> queue, NotificationCenter* center,
                                 std::shared_ptr<HttpClient> client)
    : m_unitsManager(std::move(unitsManager)),
      m_variablesManager(std::move(variablesManager)),
      m_queue(queue ? std::move(queue) : MainQueue::shared()),
      m_center(center ? center : &NotificationCenter::defaultCenter()),
      m_client(client ? std::move(client) : HttpClient::shared()) {}

NKStocksManager::~NKStocksManager() {
    if (m_dataGatherer) {
        m_dataGatherer->setDelegate(nullptr);
        m_dataGatherer->cancel();
    }
}

void NKStocksManager::post(const char* name, std::any object) {
    m_center->post(name, this, std::move(object));
}

std::shared_ptr<NCVariableList> NKStocksManager::variableList() const {
    return m_variablesManager ? m_variablesManager->variableList() : nullptr;
}

std::shared_ptr<NCUnit> NKStocksManager::unitForCurrency(
    const std::optional<std::u16string>& code) const {
    if (!code || !m_unitsManager) return nullptr;
    return m_unitsManager->ncUnitManager()->unitWithName(NKStock::variableUnitCode(*code));
}

std::shared_ptr<NCVariable> NKStocksManager::makeVariable(const NKStock& stock) const {
    const std::u16string name = stock.name().value_or(u"");
    auto unit = unitForCurrency(stock.currencyCode());
    const auto value = stock.value()
                           ? NKStock::variableValueForPrice(*stock.value(), stock.currencyCode())
                           : std::nullopt;
    auto variable = value ? NCVariable::variableWithName(name, *value, 0, unit)
                          : NCVariable::variableWithName(name);
    if (!value) variable->setUnit(unit);
    variable->setType(NKStockVariableType);
    variable->setEnabled(true);
    return variable;
}

std::shared_ptr<NCVariable> NKStocksManager::listedVariableNamed(const std::u16string& name) const {
    auto list = variableList();
    if (!list || name.empty()) return nullptr;
    if (auto found = list->variableWithName(name, true, false)) return found;
    // Disabled variables are not in the evaluator's list but still hold their name.
    for (const auto& variable : list->variables())
        if (variable->name() && sameNameIgnoringCase(*variable->name(), name)) return variable;
    return nullptr;
}

void NKStocksManager::addVariableOfStock(const std::shared_ptr<NKStock>& stock) {
    auto list = variableList();
    const std::u16string name = stock->name().value_or(u"");
    if (!list || name.empty()) {
        stock->setNcVariable(nullptr);
        return;
    }
    auto variable = makeVariable(*stock);
    if (auto existing = listedVariableNamed(name)) {
        if (existing->type() != NKStockVariableType) {
            // The user's own variable wins; the stock is kept without one.
            NKLogLine("Warning: A variable named " + NKUTF8(name) + " already exists; the stock " +
                      NKUTF8(stock->ticker().value_or(u"")) + " is not offered under that name");
            stock->setNcVariable(variable);
            return;
        }
        list->removeVariable(existing);
    }
    list->addVariable(variable);
    stock->setNcVariable(variable);
}

void NKStocksManager::removeVariableOfStock(const std::shared_ptr<NKStock>& stock) {
    auto list = variableList();
    if (!list || !stock->name()) return;
    // Only the stock's own variable: never a user's, nor another stock's of the same name.
    auto existing = listedVariableNamed(*stock->name());
    if (existing && existing == stock->ncVariable()) list->removeVariable(existing);
}

std::shared_ptr<NCVariable> NKStocksManager::variableForStock(
    const std::shared_ptr<NKStock>& stock) const {
    if (!stock) return nullptr;
    if (auto existing = listedVariableNamed(stock->name().value_or(u""))) return existing;
    return makeVariable(*stock);
}

void NKStocksManager::addStocks(const std::vector<std::shared_ptr<NKStock>>& stocks) {
    for (const auto& stock : stocks) {
        if (!stock || !stock->ticker()) continue;
        const bool listed = std::any_of(m_stocks.begin(), m_stocks.end(),
                                        [&](const auto& other) { return *other == *stock; });
        if (listed) continue;
        stock->setLocale(m_stockLocale);
        addVariableOfStock(stock);
        m_stocks.push_back(stock);
        if (m_stocks.size() == 1) m_lastUpdateDate = m_queue->now();
    }
    post(NKStocksWereAdded, m_stocks);
}

void NKStocksManager::removeStocks(const std::vector<std::shared_ptr<NKStock>>& stocks) {
    for (const auto& stock : stocks) {
        if (!stock) continue;
        auto listed = std::find_if(m_stocks.begin(), m_stocks.end(),
                                   [&](const auto& other) { return *other == *stock; });
        if (listed == m_stocks.end()) continue;
        removeVariableOfStock(*listed);
        m_stocks.erase(listed);
    }
    post(NKStocksWereRemoved, stocks);
}

bool NKStocksManager::loadFromPath(const std::string& path) {
    std::error_code ignored;
    if (path.empty() || !std::filesystem::exists(path, ignored)) return false;
    std::string reason;
    auto root = NCPropertyListValue::readFromFile(path, &reason);
    if (!root || !root->isDictionary()) {
        NKLogLine("Warning: Stocks file '" + path +
                  "' could not be read; it is kept and set aside "
                  "before the next save");
        m_partlyRead.note(path);
        return true;
    }
    auto date = root->valueForKey(u"NKDataSourceDate");
    m_lastUpdateDate = date && date->isDate() ? date->real() : m_queue->now();
    auto list = root->valueForKey(u"NKStocks");
    if (list && !list->isArray()) {
        NKLogLine("Warning: Stocks file '" + path +
                  "' holds no list of stocks; it is kept and set aside before the next save");
        m_partlyRead.note(path);
    }
    if (list && list->isArray()) {
        for (const auto& entry : list->array()) {
            if (!entry || !entry->isDictionary()) {
                NKLogLine("Warning: A stored stock that is not a dictionary was skipped");
                m_partlyRead.note(path);
                continue;
            }
            auto stock = std::make_shared<NKStock>(*entry);
            const bool listed = std::any_of(m_stocks.begin(), m_stocks.end(),
                                            [&](const auto& other) { return *other == *stock; });
            if (!stock->ticker() || listed) {
                NKLogLine("Warning: A stock without a ticker, or listed twice, was skipped");
                m_partlyRead.note(path);
                continue;
            }
            stock->setLocale(m_stockLocale);
            m_stocks.push_back(stock);
        }
    }
    for (const auto& stock : m_stocks) addVariableOfStock(stock);
    return true;
}

bool NKStocksManager::saveToPath(const std::string& path, const NKVersionInfo& versionInfo) {
    namespace plf = PropertyListFile;
    PlistPtr list = plf::array();
    for (const auto& stock : m_stocks) plf::append(list.get(), stock->dictionaryRepresentation());
    PlistPtr root = plf::dictionary();
    plf::set(root.get(), "NKStocks", std::move(list));
    plf::set(root.get(), NKVersionInfoKey, NKVersionInfoPlist(versionInfo));
    if (m_lastUpdateDate) plf::set(root.get(), "NKDataSourceDate", plf::date(*m_lastUpdateDate));
    NSError error;
    if (path.empty() || !m_partlyRead.setAsideBeforeWriting(path) ||
        !plf::writeAtomically(path, root.get(), &error)) {
        NKLogLine("Warning: Could not save stocks datasource to file '" + path + "'");
        return false;
    }
    return true;
}

void NKStocksManager::setLocale(NCSimpleLocale locale) {
    if (locale == m_stockLocale) return;
    m_stockLocale = locale;
    for (const auto& stock : m_stocks) stock->setLocale(locale);
    post(NKStocksLocaleChanged, shared_from_this());
}

void NKStocksManager::setAutomaticallyDownloadsStockPrices(bool automatically) {
    m_automaticallyDownloadsStockPrices = automatically;
    m_updateTimer.reset();
    if (!automatically) return;
    m_updateTimer = std::make_unique<NKRecurringTimer>(
        std::weak_ptr<NKActionTarget>(shared_from_this()), kDownloadAction, kUpdateInterval,
        std::nullopt, m_lastUpdateDate, m_queue);
}

bool NKStocksManager::performAction(const std::string& action, const std::shared_ptr<void>&) {
    if (action != kDownloadAction) return false;
    downloadLatestStockPrices();
    return true;
}

void NKStocksManager::stopUpdating() {
    m_stopped = true;
    m_updateTimer.reset();
    if (m_dataGatherer) m_dataGatherer->cancel();
    m_stockUpdateInProgress = false;
}

std::vector<std::string> NKStocksManager::tickers() const {
    std::vector<std::string> list;
    for (const auto& stock : m_stocks) list.push_back(NKUTF8(stock->ticker().value_or(u"")));
    return list;
}

void NKStocksManager::downloadLatestStockPrices() {
    if (m_stocks.empty() || m_stopped) return;
    if (!m_dataGatherer) {
        m_dataGatherer = NKWebDataGatherer::create(m_client, m_queue);
        m_dataGatherer->setDelegate(this);
    }
    if (m_dataGatherer->dataGatheringInProgress()) {
        NKLogLine("Warning: Can't start to update rates. Update already in progress");
        return;
    }
    m_stockUpdateInProgress = true;
    requestSource(kPrimarySource);
}

void NKStocksManager::requestSource(const char* source) {
    const bool primary = std::string(source) == kPrimarySource;
    const auto url = primary ? NKYahooStocksParser::urlWithTickerSymbols(tickers())
                             : NKOrvantixStocksParser::urlWithTickerSymbols(tickers());
    m_dataGatherer->gatherDataFromURL(url, std::string(source));
}

void NKStocksManager::webDataGathererDidReturnData(NKWebDataGatherer&, const std::string& data,
                                                   const std::any& userInfo) {
    const std::string source = sourceOf(userInfo);
    const bool primary = source == kPrimarySource;
    const auto quotes = primary ? NKYahooStocksParser::stockKeyValuesFromData(data)
                                : NKOrvantixStocksParser::stockKeyValuesFromData(data);
    if (quotes) {
        applyPricesFromDictionary(*quotes);
        m_lastUpdateDate = m_queue->now();
        m_stockUpdateInProgress = false;
        post(NKStocksSuccessfulyUpdated, shared_from_this());
        return;
    }
    if (primary) {
        requestSource(kSecondarySource);
        return;
    }
    m_stockUpdateInProgress = false;
    post(NKStocksUpdateFailed, {});
}

void NKStocksManager::webDataGathererDidFailWithError(NKWebDataGatherer&, const NSError& error,
                                                      const std::any& userInfo) {
    if (sourceOf(userInfo) == kPrimarySource) {
        requestSource(kSecondarySource);
        return;
    }
    NKLogLine("Error Occured: " + NKUTF8(error.localizedDescription));
    m_stockUpdateInProgress = false;
    post(NKStocksUpdateFailed, error);
}

void NKStocksManager::webDataGathererDidCancel(NKWebDataGatherer&) {
    m_stockUpdateInProgress = false;
}

void NKStocksManager::applyPricesFromDictionary(const NKStockQuotes& quotes) {
    const NSTimeInterval now = m_queue->now();
    for (const auto& stock : m_stocks) {
        const std::string ticker = NKUTF8(stock->ticker().value_or(u""));
        auto quote = quotes.find(ticker);
        if (quote == quotes.end()) {
            NKLogLine("Warning: No stock information present for " + ticker);
            continue;
        }
        const std::u16string price = NKUTF16(quote->second.value);
        // A zero or unreadable price means the service knows none: the last good one stays.
        if (!NKStock::isUsablePrice(price)) {
            NKLogLine("Warning: Unusable price (" + quote->second.value + ") for " + ticker +
                      "; kept " + NKUTF8(stock->value().value_or(u"none")));
            continue;
        }
        stock->setValue(price);
        stock->setSourceDate(now);
        auto variable = stock->ncVariable();
        if (variable && stock->name() && listedVariableNamed(*stock->name()) == variable) {
            variable->setDelocalizedValue(
                NKStock::variableValueForPrice(price, stock->currencyCode()), 0,
                unitForCurrency(stock->currencyCode()));
        }
    }
    m_stockUpdateInProgress = false;
}
