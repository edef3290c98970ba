// The user's settings by key: the application keeps them in its settings store, tests and the
// previewer in memory. Registered defaults answer for keys that were never set.
#ifndef NUMBERA_PLATFORM_SETTINGS_H
#define NUMBERA_PLATFORM_SETTINGS_H

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <variant>
#include <vector>

using SettingsValue =
    std::variant<bool, int64_t, double, std::u16string, std::vector<std::u16string>>;

class Settings {
  public:
    virtual ~Settings() = default;

    // The value set for the key, else its registered default, else none.
    virtual std::optional<SettingsValue> objectForKey(const std::string& key) const = 0;
    virtual void setObject(const std::string& key, SettingsValue value) = 0;
    virtual void removeObjectForKey(const std::string& key) = 0;
    // Answers for keys that hold nothing of their own; registering again adds and replaces.
    virtual void registerDefaults(const std::map<std::string, SettingsValue>& defaults) = 0;
    // Writes pending changes to permanent storage; false when that failed. A store in memory
    // has nothing to write.
    virtual bool synchronize() { return true; }

    // Numbers are true when not zero; texts when they read "YES", "true" or a non-zero whole
    // number (any case); anything else, and no value, is false.
    bool boolForKey(const std::string& key) const;
    int64_t integerForKey(const std::string& key) const;
    double doubleForKey(const std::string& key) const;
    std::optional<std::u16string> stringForKey(const std::string& key) const;
    void setBool(const std::string& key, bool value) { setObject(key, value); }

    // The process's settings: an in-memory store until one is installed.
    static std::shared_ptr<Settings> standard();
    // Null restores a fresh in-memory store.
    static void setStandard(std::shared_ptr<Settings> settings);
};

class InMemorySettings final : public Settings {
  public:
    std::optional<SettingsValue> objectForKey(const std::string& key) const override;
    void setObject(const std::string& key, SettingsValue value) override;
    void removeObjectForKey(const std::string& key) override;
    void registerDefaults(const std::map<std::string, SettingsValue>& defaults) override;

  private:
    mutable std::mutex m_mutex;
    std::map<std::string, SettingsValue> m_values;
    std::map<std::string, SettingsValue> m_defaults;
};

#endif
