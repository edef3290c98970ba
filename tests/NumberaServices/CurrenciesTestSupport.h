// A currencies manager over the real currency units, with its own notification centre whose
// posts are recorded, on a manual clock and main queue.
#ifndef NUMBERA_TESTS_CURRENCIES_TEST_SUPPORT_H
#define NUMBERA_TESTS_CURRENCIES_TEST_SUPPORT_H

#include <string>
#include <vector>

#include "NKCurrenciesManager.h"
#include "NKUnitsManager.h"
#include "NotificationCenter.h"
#include "ServicesTestSupport.h"

// Every notification posted on a centre, in order.
class PostRecorder {
  public:
    explicit PostRecorder(NotificationCenter& center)
        : m_center(center),
          m_token(center.addObserver("", nullptr, nullptr,
                                     [this](const NSNotification& n) { posts.push_back(n); })) {}
    ~PostRecorder() { m_center.removeObserver(m_token); }
    std::vector<std::string> names() const {
        std::vector<std::string> list;
        for (const auto& post : posts) list.push_back(post.name);
        return list;
    }
    size_t count(const std::string& name) const {
        size_t n = 0;
        for (const auto& post : posts) n += post.name == name;
        return n;
    }
    const NSNotification* last(const std::string& name) const {
        for (auto it = posts.rbegin(); it != posts.rend(); ++it)
            if (it->name == name) return &*it;
        return nullptr;
    }
    std::vector<NSNotification> posts;

  private:
    NotificationCenter& m_center;
    NotificationObserver m_token;
};

inline std::shared_ptr<const NCPropertyListValue> plistValue(const std::string& xmlBody) {
    const std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">" +
                            xmlBody + "</plist>";
    std::string error;
    return NCPropertyListValue::readFromData(xml, &error);
}

inline std::string currencyEntry(const std::string& code, const std::string& rate, bool enabled,
                                 const std::string& date = "2024-01-02T00:00:00Z",
                                 bool favourite = false) {
    std::string entry = "<key>" + code + "</key><dict><key>identifier</key><string>" + code +
                        "</string><key>rate</key><string>" + rate + "</string><key>enabled</key>" +
                        (enabled ? "<true/>" : "<false/>") + "<key>favourite</key>" +
                        (favourite ? "<true/>" : "<false/>");
    if (!date.empty()) entry += "<key>sourceDate</key><date>" + date + "</date>";
    return entry + "</dict>";
}

// 2024-01-02T00:00:00Z in seconds since 2001-01-01.
inline constexpr NSTimeInterval kDefaultsDate = 725846400.0;

// USD (with a wrong rate that must be forced to 1.00), EUR, GBP, JPY enabled; BTC disabled;
// XTS has no currency unit.
inline std::string testDefaults(bool bitcoinEnabled = false) {
    return "<dict>" + currencyEntry("USD", "2", true, "2024-01-02T00:00:00Z", true) +
           currencyEntry("EUR", "0.9", true) + currencyEntry("GBP", "0.8", true) +
           currencyEntry("JPY", "150", true) + currencyEntry("BTC", "0.00002", bitcoinEnabled) +
           currencyEntry("XTS", "1", true) + "</dict>";
}

struct CurrenciesFixture {
    ManualTime time;
    NotificationCenter center;
    PostRecorder recorder{center};
    std::shared_ptr<NKUnitsManager> units = std::make_shared<NKUnitsManager>();
    std::shared_ptr<NKCurrenciesManager> manager;

    explicit CurrenciesFixture(bool bitcoinEnabled = false, bool complete = true) {
        units->loadCurrenciesFromLocalizationFile(sourceDirectory() +
                                                  "/Resources/en.lproj/CurrencyLocalization.plist");
        manager = NKCurrenciesManager::create(units, time.queue, &center);
        manager->registerDefaultCurrencies(*plistValue(testDefaults(bitcoinEnabled)));
        if (complete) manager->completeLoading();
    }
    ~CurrenciesFixture() { manager->stopUpdating(); }
    std::u16string rate(const char16_t* code) const {
        return manager->currencyWithCode(code)->rate();
    }
    std::optional<std::u16string> factor(const char16_t* code) const {
        auto currency = manager->currencyWithCode(code);
        return currency && currency->mutableUnit() ? currency->mutableUnit()->factor()
                                                   : std::nullopt;
    }
};

#endif
