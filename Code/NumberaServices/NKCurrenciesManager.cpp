#include "NKCurrenciesManager.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <future>

#include "NKNotifications.h"
#include "NKTextHelpers.h"
#include "NKUnitsManager.h"

namespace {

constexpr const char* kUpdateAction = "updateRatesFromWeb";
const std::u16string kBitcoinCode = u"BTC";

// "CreatorBuild" as an integer: stored as a number or as text with leading digits.
std::optional<int64_t> creatorBuild(const NCPropertyListValue& root) {
    auto info = root.valueForKey(u"NKVersionInfo");
    if (!info || !info->isDictionary()) return std::nullopt;
    auto build = info->valueForKey(u"CreatorBuild");
    if (!build) return std::nullopt;
    if (build->kind() == NCPropertyListValue::Kind::Integer) return build->integer();
    if (!build->isString()) return std::nullopt;
    const std::string text = NKUTF8(build->string());
    int64_t value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr == text.data()) return 0;
    return value;
}

}  // namespace

std::shared_ptr<NKCurrenciesManager> NKCurrenciesManager::create(
    std::shared_ptr<NKUnitsManager> unitsManager, std::shared_ptr<MainQueue> queue,
    NotificationCenter* center, std::shared_ptr<HttpClient> client) {
    return std::shared_ptr<NKCurrenciesManager>(new NKCurrenciesManager(
        std::move(unitsManager), std::move(queue), center, std::move(client)));
}

NKCurrenciesManager::NKCurrenciesManager(std::shared_ptr<NKUnitsManager> unitsManager,
                                         std::shared_ptr<MainQueue> queue,
                                         NotificationCenter* center,
                                         std::shared_ptr<HttpClient> client)
    : m_updateCurrenciesQueue(std::make_shared<ThreadPool>(2, "Update Currencies queue")),
      m_unitsManager(std::move(unitsManager)),
      m_queue(queue ? std::move(queue) : MainQueue::shared()),
      m_center(center ? center : &NotificationCenter::defaultCenter()),
      m_client(client ? std::move(client) : HttpClient::shared()) {}

NKCurrenciesManager::~NKCurrenciesManager() {
    for (const auto& operation : m_runningOperations) operation->cancel();
}

void NKCurrenciesManager::post(const char* name, std::any object) {
    m_center->post(name, this, std::move(object));
}

void NKCurrenciesManager::forceMasterRate(NKCurrency& currency) {
    if (currency.identifier() != masterCurrencyCode()) return;
    currency.setRateDoubleValue(1.0);
    currency.setRate(u"1.00");
}

void NKCurrenciesManager::registerDefaultCurrencies(const NCPropertyListValue& currencies) {
    if (!m_allCurrencies.empty()) {
        NKLogLine("Warning: registerDefaultCurrencies [Line " + std::to_string(__LINE__) +
                  "] Registering Defaults but actual currencies already exist");
        return;
    }
    if (!currencies.isDictionary()) {
        NKLogLine("Warning: The default currencies are not a dictionary");
        return;
    }
    for (const auto& [key, entry] : currencies.dictionary()) {
        if (!entry || !entry->isDictionary()) {
            NKLogLine("Warning: Default currency " + NKUTF8(key) + " is not a dictionary; skipped");
            continue;
        }
        auto currency = std::make_shared<NKCurrency>(*entry);
        if (currency->identifier().empty()) currency->setIdentifier(key);
        if (m_currenciesByIdentifier.count(currency->identifier())) continue;
        currency->setLocale(m_locale);
        forceMasterRate(*currency);
        m_allCurrencies.push_back(currency);
        m_currenciesByIdentifier[currency->identifier()] = currency;
    }
    std::sort(m_allCurrencies.begin(), m_allCurrencies.end(), NKCurrency::compareByCurrency);
    if (!m_allCurrencies.empty()) m_lastCurrencyUpdateDate = m_allCurrencies.front()->sourceDate();
}

std::optional<NCPropertyListValue::Dictionary>
NKCurrenciesManager::validCurrencyDictionaryFromOldDataSource(const NCPropertyListValue& root) {
    const auto build = creatorBuild(root);
    if (!build || *build >= kKeyedFormatBuild) return std::nullopt;
    auto list = root.valueForKey(u"NKCurrencies");
    if (!list || !list->isArray()) return std::nullopt;
    NCPropertyListValue::Dictionary keyed;
    for (const auto& entry : list->array()) {
        if (!entry || !entry->isDictionary()) continue;
        auto identifier = entry->valueForKey(u"identifier");
        if (!identifier || !identifier->isString() || identifier->string().empty()) continue;
        // Rates of old files are not taken over: they stay the defaults' until the next update.
        auto copy = std::make_shared<NCPropertyListValue>(*entry);
        copy->m_dictionary.erase(u"rate");
        keyed[identifier->string()] = copy;
    }
    if (keyed.empty()) return std::nullopt;
    for (const auto& currency : m_allCurrencies) currency->setEnabled(false);
    return keyed;
}

bool NKCurrenciesManager::loadCurrenciesFromPath(const std::string& path) {
    std::error_code ignored;
    if (!std::filesystem::exists(path, ignored)) {
        NKLogLine("could not load currencies, nothing there.");
        return false;
    }
    std::string reason;
    auto root = NCPropertyListValue::readFromFile(path, &reason);
    if (!root || !root->isDictionary()) {
        NKLogLine(
            "Currencies Manager Warning: Cannot load currencies from path. Invalid currency data "
            "store error 1");
        m_partlyRead.note(path);
        return false;
    }
    NCPropertyListValue::Dictionary entries;
    bool converted = false;
    auto stored = root->valueForKey(u"NKCurrencies");
    if (stored && stored->isDictionary()) {
        entries = stored->dictionary();
    } else {
        auto old = validCurrencyDictionaryFromOldDataSource(*root);
        if (!old) {
            NKLogLine(
                "Currencies Manager Warning: Cannot load currencies from path. Invalid currency "
                "data store error 2");
            m_partlyRead.note(path);
            return false;
        }
        entries = std::move(*old);
        converted = true;
    }
    if (m_allCurrencies.empty()) {
        NKLogLine(
            "Warning: Trying to load currency values from plist, but no defaults have been "
            "registered");
        NCPropertyListValue asDefaults;
        asDefaults.m_kind = NCPropertyListValue::Kind::Dictionary;
        asDefaults.m_dictionary = entries;
        registerDefaultCurrencies(asDefaults);
    }
    for (const auto& [identifier, entry] : entries) {
        if (!entry || !entry->isDictionary()) {
            NKLogLine("Warning: Stored currency " + NKUTF8(identifier) +
                      " is not a dictionary; skipped");
            m_partlyRead.note(path);
            continue;
        }
        auto currency = currencyWithCode(identifier);
        if (!currency) continue;
        currency->acquireValuesFromDictionary(*entry);
        // The key names the currency; an entry must not turn one currency into another.
        if (currency->identifier() != identifier) {
            NKLogLine("Warning: Currency entry " + NKUTF8(identifier) +
                      " names another identifier");
            currency->setIdentifier(identifier);
        }
        forceMasterRate(*currency);
    }
    if (!converted) {
        auto date = root->valueForKey(u"NKDataSourceDate");
        if (date && date->isDate() && std::isfinite(date->real()) &&
            (!m_lastCurrencyUpdateDate || *m_lastCurrencyUpdateDate < date->real()))
            m_lastCurrencyUpdateDate = date->real();
    }
    return true;
}

void NKCurrenciesManager::completeLoading() {
    for (const auto& currency : m_allCurrencies) {
        std::shared_ptr<NCMutableBasicUnit> unit;
        if (m_unitsManager)
            unit = std::dynamic_pointer_cast<NCMutableBasicUnit>(
                m_unitsManager->mutableUnitWithIdentifier(currency->identifier()));
        if (unit) {
            currency->setMutableUnit(unit);
            if (currency->enabled()) m_unitsManager->setUnitEnabled(unit, true);
        } else {
            // Never another currency's unit: a stand-in's factor would follow this rate and
            // corrupt every conversion of the currency it belongs to.
            NKLogLine("Associated unit for " + NKUTF8(currency->identifier()) +
                      " could not be found; the currency is disabled");
            currency->markUnitMissing();
        }
        observeCurrency(currency);
    }
}

void NKCurrenciesManager::observeCurrency(const std::shared_ptr<NKCurrency>& currency) {
    std::weak_ptr<NKCurrenciesManager> weakSelf = weak_from_this();
    std::weak_ptr<NKCurrency> weakCurrency = currency;
    currency->setChangeObserver([weakSelf, weakCurrency](NKCurrency&, const std::string& key) {
        auto self = weakSelf.lock();
        auto changed = weakCurrency.lock();
        if (!self || !changed) return;
        const std::vector<std::shared_ptr<NKCurrency>> object{changed};
        if (key == "enabled") {
            if (self->m_unitsManager && changed->mutableUnit())
                self->m_unitsManager->setUnitEnabled(changed->mutableUnit(), changed->enabled());
            self->post(NKCurrenciesEnabledStateChanged, object);
        } else if (key == "favourite") {
            self->post(NKCurrenciesFavouriteStateChanged, object);
        }
    });
}

bool NKCurrenciesManager::saveCurrenciesToPath(const std::string& path,
                                               const NKVersionInfo& versionInfo) {
    namespace plf = PropertyListFile;
    if (path.empty()) {
        NKLogLine("Warning: Could not save currencies to file ''");
        return false;
    }
    PlistPtr currencies = plf::dictionary();
    for (const auto& currency : m_allCurrencies)
        plf::set(currencies.get(), NKUTF8(currency->identifier()),
                 currency->dictionaryRepresentation());
    PlistPtr root = plf::dictionary();
    plf::set(root.get(), "NKCurrencies", std::move(currencies));
    plf::set(root.get(), "NKDataSourceDate",
             plf::date(m_lastCurrencyUpdateDate.value_or(NKDistantPast)));
    plf::set(root.get(), NKVersionInfoKey, NKVersionInfoPlist(versionInfo));
    NSError error;
    if (!m_partlyRead.setAsideBeforeWriting(path) ||
        !plf::writeAtomically(path, root.get(), &error)) {
        NKLogLine("Warning: Could not save currencies to file '" + path + "'");
        return false;
    }
    return true;
}

void NKCurrenciesManager::setLocale(NCSimpleLocale locale) {
    if (locale.groupingChar == m_locale.groupingChar ||
        locale.decimalPointChar == m_locale.decimalPointChar)
        return;
    m_locale = locale;
    for (const auto& currency : m_allCurrencies) currency->setLocale(locale);
    post(NKCurrenciesLocaleChanged, shared_from_this());
}

void NKCurrenciesManager::setAutomaticallyUpdatesValuesFromWeb(bool automatically) {
    m_automaticallyUpdatesValuesFromWeb = automatically;
    m_updateTimer.reset();
    if (!automatically) return;
    m_updateTimer = std::make_unique<NKRecurringTimer>(
        std::weak_ptr<NKActionTarget>(shared_from_this()), kUpdateAction, kUpdateInterval,
        std::nullopt, m_lastCurrencyUpdateDate, m_queue);
}

bool NKCurrenciesManager::performAction(const std::string& action, const std::shared_ptr<void>&) {
    if (action != kUpdateAction) return false;
    updateRatesFromWeb();
    return true;
}

std::vector<std::shared_ptr<NKCurrency>> NKCurrenciesManager::favouriteCurrencies() const {
    std::vector<std::shared_ptr<NKCurrency>> list;
    for (const auto& currency : m_allCurrencies)
        if (currency->favourite()) list.push_back(currency);
    return list;
}

std::vector<std::shared_ptr<NKCurrency>> NKCurrenciesManager::activeCurrencies() const {
    std::vector<std::shared_ptr<NKCurrency>> list;
    for (const auto& currency : m_allCurrencies)
        if (currency->enabled()) list.push_back(currency);
    return list;
}

std::vector<std::u16string> NKCurrenciesManager::activeRealWorldCurrencyCodes() const {
    std::vector<std::u16string> codes;
    for (const auto& currency : m_allCurrencies)
        if (currency->enabled() && currency->identifier() != kBitcoinCode)
            codes.push_back(currency->identifier());
    return codes;
}

std::shared_ptr<NKCurrency> NKCurrenciesManager::currencyWithCode(
    const std::u16string& code) const {
    auto found = m_currenciesByIdentifier.find(code);
    return found == m_currenciesByIdentifier.end() ? nullptr : found->second;
}

void NKCurrenciesManager::updateUnitRatesFromAllCurrencies() {
    NKCurrencyRatesToUnitsHelper::updateUnitRatesFromCurrencies(m_allCurrencies);
}

void NKCurrenciesManager::updateUnitRatesFromActiveCurrencies() {
    NKCurrencyRatesToUnitsHelper::updateUnitRatesFromCurrencies(activeCurrencies());
}

bool NKCurrenciesManager::anyCurrencyEnabledIn(const NSNotification& notification) const {
    for (const auto& currency : notification.objectAs<std::vector<std::shared_ptr<NKCurrency>>>())
        if (currency && currency->enabled()) return true;
    return false;
}

void NKCurrenciesManager::stopUpdating() {
    m_stopped = true;
    m_updateTimer.reset();
    for (const auto& operation : m_runningOperations) operation->cancel();
}

void NKCurrenciesManager::updateRatesFromWeb() {
    if (m_stopped) return;
    if (m_updating.exchange(true)) {
        NKLogLine("Already updating currencies");
        return;
    }
    post(NKCurrenciesWillBeginUpdateFromWeb, shared_from_this());

    std::vector<std::string> codes;
    for (const auto& code : activeRealWorldCurrencyCodes()) codes.push_back(NKUTF8(code));
    std::vector<std::shared_ptr<NKCurrenciesUpdaterOperation>> operations;
    operations.push_back(std::make_shared<NKCurrenciesUpdaterOperation>(
        std::vector<std::shared_ptr<const NKCurrencyParser>>{
            std::make_shared<NKYahooCurrenciesParser>(),
            std::make_shared<NKOrvantixCurrenciesParser>()},
        codes, "Yahoo Currencies", m_client));
    auto bitcoin = currencyWithCode(kBitcoinCode);
    if (bitcoin && bitcoin->enabled())
        operations.push_back(std::make_shared<NKCurrenciesUpdaterOperation>(
            std::vector<std::shared_ptr<const NKCurrencyParser>>{
                std::make_shared<NKBitcoinRateParser>()},
            std::vector<std::string>{"BTC"}, "Bitcoin", m_client));
    performAsynchronousRateUpdateWithOperations(std::move(operations));
}

void NKCurrenciesManager::performAsynchronousRateUpdateWithOperations(
    std::vector<std::shared_ptr<NKCurrenciesUpdaterOperation>> operations) {
    m_updating = true;
    m_runningOperations = operations;
    std::weak_ptr<NKCurrenciesManager> weak = weak_from_this();
    ThreadPool::global()->async(
        [weak, operations, updateQueue = m_updateCurrenciesQueue, queue = m_queue] {
            std::vector<std::future<void>> finished;
            for (const auto& operation : operations) {
                auto done = std::make_shared<std::promise<void>>();
                finished.push_back(done->get_future());
                updateQueue->async([operation, done] {
                    operation->start();
                    done->set_value();
                });
            }
            for (auto& future : finished) future.wait();
            queue->post([weak, operations] {
                if (auto self = weak.lock()) self->finishUpdate(operations);
            });
        });
}

void NKCurrenciesManager::finishUpdate(
    const std::vector<std::shared_ptr<NKCurrenciesUpdaterOperation>>& operations) {
    m_runningOperations.clear();
    if (m_stopped) {
        m_updating = false;
        return;
    }
    size_t successes = 0;
    std::vector<std::string> invalid;
    for (const auto& operation : operations) {
        if (!operation->wasSuccessful()) continue;
        updateRatesWithUpdater(*operation, &invalid);
        ++successes;
    }
    // One line for the whole update, however many rates were missing or unusable.
    if (!invalid.empty()) {
        constexpr size_t kNamed = 10;
        std::string named;
        for (size_t i = 0; i < invalid.size() && i < kNamed; ++i)
            named += (i ? ", " : "") + invalid[i];
        if (invalid.size() > kNamed) named += ", …";
        NKLogLine("Warning: invalid rates found for " + std::to_string(invalid.size()) +
                  (invalid.size() == 1 ? " currency: " : " currencies: ") + named);
    }
    m_updating = false;
    if (successes == 0) {
        post(NKCurrenciesUpdateFailed, {});
        return;
    }
    m_lastCurrencyUpdateDate = m_queue->now();
    // Whatever arrived is used at once, also when part of the update failed.
    updateUnitRatesFromActiveCurrencies();
    if (successes == operations.size()) {
        post(NKCurrenciesSuccessfullyUpdated, shared_from_this());
        return;
    }
    std::vector<std::u16string> failedCodes;
    for (const auto& operation : operations)
        if (!operation->wasSuccessful())
            for (const auto& code : operation->supportedCurrencyCodes())
                failedCodes.push_back(NKUTF16(code));
    post(NKCurrenciesUpdatePartiallyFailed, failedCodes);
}

void NKCurrenciesManager::updateRatesWithUpdater(const NKCurrenciesUpdaterOperation& operation,
                                                 std::vector<std::string>* invalid) {
    const NSTimeInterval now = m_queue->now();
    for (const auto& code : operation.supportedCurrencyCodes()) {
        auto currency = currencyWithCode(NKUTF16(code));
        if (!currency) continue;
        if (currency->identifier() == masterCurrencyCode()) {
            forceMasterRate(*currency);
            currency->setSourceDate(now);
            continue;
        }
        const auto text = operation.rateForCurrencyCode(code);
        const double value = text ? NKCurrency::rateValueOfText(NKUTF16(*text)) : 0;
        if (!(value > 0)) {
            if (invalid) invalid->push_back(code + " (" + text.value_or("none") + ")");
            continue;
        }
        if (!currency->enabled()) continue;
        currency->setRate(NKUTF16(*text));
        currency->setRateDoubleValue(value);
        currency->setSourceDate(now);
    }
}
