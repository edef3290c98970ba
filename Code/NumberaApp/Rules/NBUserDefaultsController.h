// The owner of the application's settings vocabulary over Settings::standard(): registers the
// defaults once (the "Defaults.plist" resource adjusted to the locale's separators), counts
// launches, migrates the settings of earlier generations and reads every key through typed
// accessors.
//
// Every value read back is coerced to the type of its registered default: a settings file
// returns texts ("true", "12"), and a value that cannot be read as that type (a hand-edited
// file) answers the registered default instead.
#ifndef NUMBERA_APP_RULES_NB_USER_DEFAULTS_CONTROLLER_H
#define NUMBERA_APP_RULES_NB_USER_DEFAULTS_CONTROLLER_H

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "NBControllerLife.h"
#include "NBUserDefaultsKeys.h"
#include "Settings.h"

class NCEvaluator;
class NCResultFormattingOptions;
class NKUnitsManager;
class NKVariablesManager;

using NBDefaultsDictionary = std::map<std::string, SettingsValue>;
// Given the localised example text of the interface language, answers the font description
// to register under NBDefaultFont when the default font cannot draw it; none keeps the default.
using NBDefaultFontProvider =
    std::function<std::optional<std::u16string>(const std::u16string& exampleString)>;

class NBUserDefaultsController : public NBControllerLife {
  public:
    // Registers the defaults on first use.
    static NBUserDefaultsController& sharedInstance();
    // The folder holding "Defaults.plist"; set before first use. Unset: the main resource
    // bundle's "Defaults.plist".
    static void setResourcesFolder(std::string folder);
    static void setDefaultFontProvider(NBDefaultFontProvider provider);

    // The defaults to register: the property list's values (none when the path is none or
    // unreadable), and the locale's separators when both are non-empty: equal ones get as
    // grouping the first of ",", "." and " " that differs from the decimal separator.
    static NBDefaultsDictionary registrationDictionary(
        const std::optional<std::string>& defaultsPlistPath, const std::u16string& localeDecimal,
        const std::u16string& localeGrouping);
    // The property list's root dictionary as settings values; entries of other kinds
    // (dictionaries, data, dates, mixed arrays) are left out with a log line. None when the
    // file is missing or not a dictionary.
    static std::optional<NBDefaultsDictionary> readPropertyListDictionary(const std::string& path);
    // Registers with the standard settings and keeps the dictionary as the types to coerce to.
    static void registerDefaults(const NBDefaultsDictionary& defaults);
    // Forgets what was registered (tests that install a fresh store).
    static void resetRegisteredDefaults();

    // The value of any key coerced to its registered default's type (see above); the stored
    // value as it is when the key has no registered default; none when neither exists.
    static std::optional<SettingsValue> valueForKey(const std::string& key);
    static bool boolForKey(const std::string& key);
    static int64_t integerForKey(const std::string& key);
    static double doubleForKey(const std::string& key);
    // None when there is no value or it is not a text.
    static std::optional<std::u16string> stringForKey(const std::string& key);
    static void setValueForKey(const std::string& key, SettingsValue value);

    static bool showsWelcomeWindowOnLaunch();
    static bool wantsNewDocumentOnLaunch();
    static int64_t numberOfLaunches();
    static bool isFirstLaunch();
    static bool tutorialHasRun();
    static void setTutorialHasRun(bool hasRun);
    static std::u16string baseCurrencyCode();
    static void setBaseCurrencyCode(const std::u16string& code);
    static int64_t contentLanguage();
    static void setContentLanguage(int64_t language);
    static std::u16string thousandsSeparator();
    static std::u16string decimalIndicator();
    static int64_t defaultTrionometryMode();
    static int64_t notationStyle();
    static bool suppressesSaveDocumentAlert();
    static void setSuppressesSaveDocumentAlert(bool suppresses);
    static bool lineNumbersVisible();
    static void setLineNumbersVisible(bool visible);
    static bool statisticsBarVisible();
    static void setStatiticsBarVisible(bool visible);
    static bool formattingBarVisible();
    static void setFormattingBarVisible(bool visible);
    static bool syntaxColouringEnabled();
    static int64_t unitMeasurementSystem();
    static int64_t dataStorageUnitPrefixType();
    static bool isInDeveloperMode();
    static bool downloadsPreReleaseBuilds();

    // A new set of answer-formatting options from the settings.
    static std::shared_ptr<NCResultFormattingOptions> defaultResultFormattingOptions();
    // The measurement-system and byte-prefix preferences of the settings.
    static void setUnitPreferencesOnUnitManager(NKUnitsManager& unitsManager);

    // The settings of earlier generations in ~/Library/Preferences (rarely present here),
    // into the shared environment's variables manager through the shared evaluator.
    static void migratePreferencesFromPreviousVersionsIfNecessary();
    // The same from given files. A first-generation file of version 141 to 149 copies its
    // true switches and turns its custom constants into variables of the manager (skipped
    // when the manager or evaluator is null); a second-generation file is copied whole, then
    // deleted once the settings are synchronised.
    static void migratePreferences(const std::string& firstGenerationPath,
                                   const std::string& secondGenerationPath,
                                   NKVariablesManager* variablesManager, NCEvaluator* evaluator);

    // NBNumberOfLaunches + 1.
    void beginLife() override;
    void endLife() override {}

  private:
    NBUserDefaultsController();
};

#endif
