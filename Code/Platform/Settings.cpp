#include "Settings.h"

#include <charconv>

namespace {

std::mutex s_standardMutex;
std::shared_ptr<Settings> s_standard;

std::string asciiLower(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) {
        if (c > 0x7F) return {};
        out.push_back(c >= u'A' && c <= u'Z' ? static_cast<char>(c - u'A' + u'a')
                                             : static_cast<char>(c));
    }
    return out;
}

std::optional<int64_t> readInteger(const std::string& text) {
    int64_t value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

}  // namespace

bool Settings::boolForKey(const std::string& key) const {
    const auto value = objectForKey(key);
    if (!value) return false;
    if (auto b = std::get_if<bool>(&*value)) return *b;
    if (auto i = std::get_if<int64_t>(&*value)) return *i != 0;
    if (auto d = std::get_if<double>(&*value)) return *d != 0;
    if (auto s = std::get_if<std::u16string>(&*value)) {
        const std::string word = asciiLower(*s);
        if (word == "yes" || word == "true") return true;
        const auto number = readInteger(word);
        return number && *number != 0;
    }
    return false;
}

int64_t Settings::integerForKey(const std::string& key) const {
    const auto value = objectForKey(key);
    if (!value) return 0;
    if (auto b = std::get_if<bool>(&*value)) return *b ? 1 : 0;
    if (auto i = std::get_if<int64_t>(&*value)) return *i;
    if (auto d = std::get_if<double>(&*value)) {
        if (!(*d > -9.2e18 && *d < 9.2e18)) return 0;
        return static_cast<int64_t>(*d);
    }
    if (auto s = std::get_if<std::u16string>(&*value))
        return readInteger(asciiLower(*s)).value_or(0);
    return 0;
}

double Settings::doubleForKey(const std::string& key) const {
    const auto value = objectForKey(key);
    if (!value) return 0;
    if (auto b = std::get_if<bool>(&*value)) return *b ? 1 : 0;
    if (auto i = std::get_if<int64_t>(&*value)) return static_cast<double>(*i);
    if (auto d = std::get_if<double>(&*value)) return *d;
    if (auto s = std::get_if<std::u16string>(&*value)) {
        const std::string text = asciiLower(*s);
        double number = 0;
        auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
        return ec == std::errc() && ptr == text.data() + text.size() ? number : 0;
    }
    return 0;
}

std::optional<std::u16string> Settings::stringForKey(const std::string& key) const {
    const auto value = objectForKey(key);
    if (!value) return std::nullopt;
    if (auto s = std::get_if<std::u16string>(&*value)) return *s;
    return std::nullopt;
}

std::shared_ptr<Settings> Settings::standard() {
    std::lock_guard<std::mutex> lock(s_standardMutex);
    if (!s_standard) s_standard = std::make_shared<InMemorySettings>();
    return s_standard;
}

void Settings::setStandard(std::shared_ptr<Settings> settings) {
    std::lock_guard<std::mutex> lock(s_standardMutex);
    s_standard = std::move(settings);
}

std::optional<SettingsValue> InMemorySettings::objectForKey(const std::string& key) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (auto found = m_values.find(key); found != m_values.end()) return found->second;
    if (auto found = m_defaults.find(key); found != m_defaults.end()) return found->second;
    return std::nullopt;
}

void InMemorySettings::setObject(const std::string& key, SettingsValue value) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_values[key] = std::move(value);
}

void InMemorySettings::removeObjectForKey(const std::string& key) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_values.erase(key);
}

void InMemorySettings::registerDefaults(const std::map<std::string, SettingsValue>& defaults) {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& [key, value] : defaults) m_defaults[key] = value;
}
