// The user's settings in an INI file (~/.config/Numbera/Numbera.conf unless told otherwise).
// INI keeps every value as text, so each value read back is coerced to the type of the default
// registered for its key; a stored text that does not read as that type (a hand-edited file)
// answers the registered default instead. Dictionaries are groups of string entries.
#ifndef NUMBERA_APP_QT_SETTINGS_H
#define NUMBERA_APP_QT_SETTINGS_H

#include <QObject>
#include <QSettings>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "Settings.h"

class QtSettings final : public QObject, public Settings {
    Q_OBJECT

  public:
    // "Numbera/Numbera.conf" in $XDG_CONFIG_HOME (else ~/.config).
    static QString defaultFilePath();
    explicit QtSettings(const QString& filePath = defaultFilePath(), QObject* parent = nullptr);
    ~QtSettings() override;

    std::optional<SettingsValue> objectForKey(const std::string& key) const override;
    void setObject(const std::string& key, SettingsValue value) override;
    void removeObjectForKey(const std::string& key) override;
    void registerDefaults(const std::map<std::string, SettingsValue>& defaults) override;

    // A dictionary of texts, kept as the group of that name. Setting replaces the whole group.
    std::map<std::u16string, std::u16string> dictionaryForKey(const std::string& key) const;
    void setDictionary(const std::string& key, const std::map<std::u16string, std::u16string>& d);

    // Calls the function, on the context's thread, after each change of that one key; the
    // connection ends with the context.
    QMetaObject::Connection observe(const QString& key, QObject* context,
                                    std::function<void()> changed);

    // Writes pending changes to the file; false when the file cannot be written.
    bool synchronize() override;
    QString filePath() const;

  signals:
    // After the value of the key was set or removed, on the thread that changed it.
    void valueChanged(const QString& key);

  private:
    std::optional<SettingsValue> storedValue(const QString& key,
                                             const std::optional<SettingsValue>& registered) const;

    mutable std::mutex m_mutex;
    std::unique_ptr<QSettings> m_settings;
    std::map<std::string, SettingsValue> m_defaults;
};

#endif
