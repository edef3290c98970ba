// Settings written by the two earlier generations of the application: the first kept its own
// names and version number, the second already used today's keys.
#include <cstdio>
#include <cstdlib>

#include "Diagnostics.h"
#include "NBTextConversion.h"
#include "NBUserDefaultsController.h"
#include "NCEvaluator.h"
#include "NCPropertyListValue.h"
#include "NCVariable.h"
#include "NKEnvironment.h"
#include "NKVariablesManager.h"

namespace {

// Only these versions of the first generation wrote settings worth keeping.
constexpr int64_t kFirstMigratedVersion = 141;
constexpr int64_t kLastMigratedVersion = 149;

// Leading blanks, a sign and digits, as old number-typed texts were read; none without digits.
std::optional<int64_t> leadingInteger(const std::u16string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    int64_t value = 0;
    size_t digits = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9' && digits < 18; ++i, ++digits)
        value = value * 10 + (text[i] - u'0');
    if (digits == 0) return std::nullopt;
    return negative ? -value : value;
}

std::optional<int64_t> integerValue(const NCPropertyListValue* value) {
    if (!value) return std::nullopt;
    switch (value->kind()) {
        case NCPropertyListValue::Kind::Integer:
            return value->integer();
        case NCPropertyListValue::Kind::Real:
            if (value->real() > -9.2e18 && value->real() < 9.2e18)
                return static_cast<int64_t>(value->real());
            return std::nullopt;
        case NCPropertyListValue::Kind::Boolean:
            return value->boolean() ? 1 : 0;
        case NCPropertyListValue::Kind::String:
            return leadingInteger(value->string());
        default:
            return std::nullopt;
    }
}

bool isTrue(const NCPropertyListValue::Dictionary& dictionary, const std::u16string& key) {
    auto found = dictionary.find(key);
    if (found == dictionary.end() || !found->second) return false;
    const NCPropertyListValue& value = *found->second;
    if (value.kind() == NCPropertyListValue::Kind::Boolean) return value.boolean();
    if (value.kind() == NCPropertyListValue::Kind::String) {
        const std::u16string& text = value.string();
        if (!text.empty() &&
            (text[0] == u'Y' || text[0] == u'y' || text[0] == u'T' || text[0] == u't'))
            return true;
    }
    const auto number = integerValue(&value);
    return number && *number != 0;
}

void migrateCustomConstants(const NCPropertyListValue& constants,
                            NKVariablesManager* variablesManager, NCEvaluator* evaluator) {
    if (!constants.isArray()) return;
    if (!variablesManager || !evaluator) {
        Diagnostics::error(
            "Custom constants of the old settings skipped: no variables to add "
            "them to");
        return;
    }
    for (const auto& entry : constants.array()) {
        if (!entry || !entry->isDictionary()) continue;
        const auto name = entry->valueForKey(u"name");
        const auto value = entry->valueForKey(u"value");
        if (!name || !name->isString() || !value || !value->isString()) continue;
        const auto evaluated = evaluator->evaluateString(value->string());
        if (!evaluated) {
            Diagnostics::error("Custom constant \"" + NBUtf8(name->string()) +
                               "\" not migrated: its value \"" + NBUtf8(value->string()) +
                               "\" has no answer");
            continue;
        }
        auto variable = NCVariable::variableWithName(name->string());
        variable->setType(0);
        variable->setEnabled(true);
        variable->changeName(name->string());
        variable->setValue(*evaluated);
        variablesManager->addVariable(variable);
    }
}

void migrateFirstGeneration(const std::string& path, NKVariablesManager* variablesManager,
                            NCEvaluator* evaluator) {
    std::string error;
    const auto root = NCPropertyListValue::readFromFile(path, &error);
    if (!root || !root->isDictionary()) return;
    const auto version = integerValue(root->valueForKey(u"NumberaVersion").get());
    if (!version || *version < kFirstMigratedVersion || *version > kLastMigratedVersion) return;

    const auto& old = root->dictionary();
    const std::pair<const char16_t*, const char*> switches[] = {
        {u"SaveDialogueBoxEnabled", NBSuppressSaveAlert},
        {u"AutoPreviousLine", NBAddTokenToNewLine},
        {u"DisplayLineNumberViewOnLaunch", NBNumberLineVisible},
        {u"SpacesForOperators", NBAddSpacesAroundOperators},
    };
    for (const auto& [oldKey, key] : switches)
        if (isTrue(old, oldKey)) NBUserDefaultsController::setValueForKey(key, true);
    if (const auto constants = root->valueForKey(u"CustomConstants"))
        migrateCustomConstants(*constants, variablesManager, evaluator);
}

void migrateSecondGeneration(const std::string& path) {
    const auto values = NBUserDefaultsController::readPropertyListDictionary(path);
    if (!values) return;
    auto settings = Settings::standard();
    for (const auto& [key, value] : *values) settings->setObject(key, value);
    if (!settings->synchronize()) {
        Diagnostics::error("The settings could not be saved; " + path + " is kept");
        return;
    }
    if (std::remove(path.c_str()) != 0) Diagnostics::error("Could not delete " + path);
}

}  // namespace

void NBUserDefaultsController::migratePreferences(const std::string& firstGenerationPath,
                                                  const std::string& secondGenerationPath,
                                                  NKVariablesManager* variablesManager,
                                                  NCEvaluator* evaluator) {
    migrateFirstGeneration(firstGenerationPath, variablesManager, evaluator);
    migrateSecondGeneration(secondGenerationPath);
}

void NBUserDefaultsController::migratePreferencesFromPreviousVersionsIfNecessary() {
    const char* home = std::getenv("HOME");
    if (!home || !*home) return;
    const std::string folder = std::string(home) + "/Library/Preferences/";
    auto environment = NKEnvironment::sharedEnvironment();
    auto variablesManager = environment ? environment->variablesManager() : nullptr;
    auto evaluator = NCEvaluator::sharedEvaluator();
    migratePreferences(folder + "com.orvantix.numbera.plist",
                       folder + "com.orvantix.numbera2.plist", variablesManager.get(),
                       evaluator.get());
}
