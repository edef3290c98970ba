// Shared pieces of the rules' tests: a fresh settings store per test, a store that keeps every
// value as text (as a settings file does), captured diagnostics and the source tree's resources.
#ifndef NUMBERA_TESTS_APP_RULES_TEST_SUPPORT_H
#define NUMBERA_TESTS_APP_RULES_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <charconv>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "Diagnostics.h"
#include "NBTextConversion.h"
#include "NBUserDefaultsController.h"
#include "Settings.h"

inline std::string sourceDirectory() {
    const char* source = std::getenv("NUMBERA_SOURCE_DIR");
    return source && *source ? source : NUMBERA_SOURCE_DIR_DEFAULT;
}

inline std::string resourcesDirectory() { return sourceDirectory() + "/Resources"; }

// Answers every stored value as text, the way a settings file reads back; registered defaults
// keep their types. Synchronising can be made to fail.
class TextSettings final : public Settings {
  public:
    std::optional<SettingsValue> objectForKey(const std::string& key) const override {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (auto found = m_values.find(key); found != m_values.end()) return found->second;
        if (auto found = m_defaults.find(key); found != m_defaults.end()) return found->second;
        return std::nullopt;
    }
    void setObject(const std::string& key, SettingsValue value) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_values[key] = asText(value);
    }
    void removeObjectForKey(const std::string& key) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_values.erase(key);
    }
    void registerDefaults(const std::map<std::string, SettingsValue>& defaults) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const auto& [key, value] : defaults) m_defaults[key] = value;
    }
    bool synchronize() override { return m_synchronizes; }
    void setSynchronizes(bool synchronizes) { m_synchronizes = synchronizes; }

  private:
    static SettingsValue asText(const SettingsValue& value) {
        if (auto b = std::get_if<bool>(&value)) return std::u16string(*b ? u"true" : u"false");
        char buffer[32];
        if (auto i = std::get_if<int64_t>(&value)) {
            auto end = std::to_chars(buffer, buffer + sizeof buffer, *i).ptr;
            return NBUtf16(std::string(buffer, end));
        }
        if (auto d = std::get_if<double>(&value)) {
            auto end = std::to_chars(buffer, buffer + sizeof buffer, *d).ptr;
            return NBUtf16(std::string(buffer, end));
        }
        return value;
    }
    mutable std::mutex m_mutex;
    std::map<std::string, SettingsValue> m_values;
    std::map<std::string, SettingsValue> m_defaults;
    bool m_synchronizes = true;
};

// Each test starts from an empty store with nothing registered.
class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override { install(std::make_shared<InMemorySettings>()); }
    void TearDown() override {
        NBUserDefaultsController::resetRegisteredDefaults();
        Settings::setStandard(nullptr);
    }
    void install(std::shared_ptr<Settings> settings) {
        NBUserDefaultsController::resetRegisteredDefaults();
        Settings::setStandard(std::move(settings));
    }
};

// Collects every diagnostic written while it lives.
class CapturedDiagnostics {
  public:
    CapturedDiagnostics()
        : m_sink([this](Diagnostics::Stream, const std::string& message) {
              std::lock_guard<std::mutex> lock(m_mutex);
              m_messages.push_back(message);
          }) {}
    std::vector<std::string> messages() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_messages;
    }
    bool contains(const std::string& part) const {
        for (const auto& message : messages())
            if (message.find(part) != std::string::npos) return true;
        return false;
    }
    size_t count(const std::string& message) const {
        size_t n = 0;
        for (const auto& m : messages()) n += m == message;
        return n;
    }

  private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_messages;
    Diagnostics::ScopedSink m_sink;
};

#endif
