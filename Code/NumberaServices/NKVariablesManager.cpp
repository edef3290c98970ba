#include "NKVariablesManager.h"

#include <algorithm>
#include <filesystem>

#include "NCEvaluator.h"
#include "NCExpression.h"
#include "NCResult.h"
#include "NKNotifications.h"
#include "NKTextHelpers.h"
#include "NSLocalizedString.h"

namespace {

std::u16string replaceFormat(std::u16string format, const std::u16string& argument) {
    if (auto at = format.find(u"%@"); at != std::u16string::npos) format.replace(at, 2, argument);
    return format;
}

bool isSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == 0x00A0 || c == 0x2028 ||
           c == 0x2029 || c == 0x3000 || (c >= 0x2000 && c <= 0x200A);
}

// Refuses an empty name and a name of more than one word; trims surrounding spaces.
bool validateName(std::u16string& name, NSError* error) {
    while (!name.empty() && isSpace(name.front())) name.erase(name.begin());
    while (!name.empty() && isSpace(name.back())) name.pop_back();
    if (name.empty()) {
        if (error)
            *error = NSError::withDomain(
                NSCocoaErrorDomain, NSKeyValueValidationError,
                NSLocalizedString(u"A variable must have a name."),
                NSLocalizedString(u"Please give the variable a name and try again."));
        return false;
    }
    if (std::any_of(name.begin(), name.end(), isSpace)) {
        if (error)
            *error = NSError::withDomain(
                NSCocoaErrorDomain, NSKeyValueValidationError,
                NSLocalizedString(u"A variable cannot have more than one word."),
                NSLocalizedString(u"Please do not use a space in your variable name."));
        return false;
    }
    return true;
}

NCVariableProperty propertyOf(const NCPropertyListValue& value, bool* ok) {
    *ok = true;
    switch (value.kind()) {
        case NCPropertyListValue::Kind::String:
            return value.string();
        case NCPropertyListValue::Kind::Integer:
            return value.integer();
        case NCPropertyListValue::Kind::Boolean:
            return value.boolean();
        default:
            break;
    }
    *ok = false;
    return false;
}

PlistPtr plistOf(const NCVariableProperty& property) {
    namespace plf = PropertyListFile;
    if (auto text = std::get_if<std::u16string>(&property)) return plf::string(*text);
    if (auto number = std::get_if<int64_t>(&property)) return plf::integer(*number);
    if (auto flag = std::get_if<bool>(&property)) return plf::boolean(*flag);
    PlistPtr array = plf::array();
    for (const auto& item : std::get<std::vector<std::u16string>>(property))
        plf::append(array.get(), plf::string(item));
    return array;
}

}  // namespace

NKVariablesManager::NKVariablesManager(std::shared_ptr<NCVariableList> variableList,
                                       std::shared_ptr<NCUnitCollection> unitCollection,
                                       NotificationCenter* center)
    : m_unitCollection(std::move(unitCollection)),
      m_variableList(variableList ? std::move(variableList) : std::make_shared<NCVariableList>()),
      m_center(center ? center : &NotificationCenter::defaultCenter()) {
    becomeDelegateOfVariableList();
}

NKVariablesManager::~NKVariablesManager() { leaveVariableList(); }

void NKVariablesManager::becomeDelegateOfVariableList() {
    if (m_variableList) m_variableList->setDelegate(this);
}

void NKVariablesManager::leaveVariableList() {
    // Another manager may have taken the list over since: its delegate stays.
    if (m_variableList && m_variableList->delegate() == this) m_variableList->setDelegate(nullptr);
}

void NKVariablesManager::setVariableList(std::shared_ptr<NCVariableList> list) {
    if (list == m_variableList) return;
    leaveVariableList();
    m_variableList = std::move(list);
    becomeDelegateOfVariableList();
}

void NKVariablesManager::post(const char* name, const std::shared_ptr<NCVariable>& variable) {
    m_center->post(name, this, variable);
}

bool NKVariablesManager::coreListHoldsName(const std::u16string& name) const {
    return m_variableList->variableWithName(name, false, false) != nullptr;
}

void NKVariablesManager::loadDefaults() {
    const std::pair<const char16_t*, const char16_t*> defaults[] = {
        {u"k", u"1000"}, {u"M", u"1000000"}, {u"G", u"1000000000"}};
    for (const auto& [name, value] : defaults) {
        m_postsNotifications = false;
        if (!coreListHoldsName(name)) {
            auto variable = NCVariable::variableWithName(name, value, 0, nullptr);
            variable->setType(0);
            variable->setEnabled(true);
            addVariable(variable);
        }
        m_postsNotifications = true;
    }
}

std::shared_ptr<NCVariable> NKVariablesManager::variableFromDictionaryRepresentation(
    const NCPropertyListValue& dictionary, const NCUnitCollection* units) {
    if (!dictionary.isDictionary()) return nullptr;
    std::map<std::u16string, NCVariableProperty> properties;
    for (const auto& [key, value] : dictionary.dictionary()) {
        // Aliases are the units' and documents' business; a stored list is not read back.
        if (!value || key == u"aliases") continue;
        bool ok = false;
        NCVariableProperty property = propertyOf(*value, &ok);
        if (ok) properties.emplace(key, std::move(property));
    }
    if (!units) {
        properties.erase(u"unitIdentifier");
        NCNewUnitManager none;
        return NCVariable::variableWithDictionaryRepresentation(properties, none);
    }
    return NCVariable::variableWithDictionaryRepresentation(properties, *units);
}

bool NKVariablesManager::loadFromPath(const std::string& path) {
    std::error_code ignored;
    if (!std::filesystem::exists(std::filesystem::symlink_status(path, ignored))) return false;
    std::string reason;
    auto root = NCPropertyListValue::readFromFile(path, &reason);
    if (!root || !root->isDictionary()) {
        if (root) reason = "the property list is not a dictionary";
        NKLogLine("Warning: Variables file '" + path + "' could not be read (" + reason +
                  "); it is kept and set aside before the next save");
        m_partlyRead.note(path);
        return false;
    }
    auto list = root->valueForKey(u"NKVariables");
    if (!list || !list->isArray()) {
        NKLogLine("Warning: Variables file '" + path +
                  "' holds no list of variables; it is kept and set aside before the next save");
        m_partlyRead.note(path);
        return true;
    }
    for (const auto& entry : list->array()) {
        auto variable =
            entry ? variableFromDictionaryRepresentation(*entry, m_unitCollection.get()) : nullptr;
        if (!variable) {
            NKLogLine("Warning: skipping a stored variable without a name");
            m_partlyRead.note(path);
            continue;
        }
        const std::u16string name = variable->name().value_or(u"");
        if (coreListHoldsName(name)) {
            NKLogLine("Trying to add variable " + NKUTF8(name) + " when it already exits");
            m_partlyRead.note(path);
            continue;
        }
        m_variablesArray.push_back(variable);
        m_variableList->addVariable(variable);
    }
    return true;
}

bool NKVariablesManager::saveToPath(const std::string& path,
                                    const std::optional<NKVersionInfo>& versionInfo) {
    if (path.empty() || !versionInfo) {
        NKLogLine("Warning: Not saving variables without " +
                  std::string(path.empty() ? "a file path" : "version information"));
        return false;
    }
    namespace plf = PropertyListFile;
    PlistPtr root = plf::dictionary();
    PlistPtr list = plf::array();
    for (const auto& variable : m_variablesArray) {
        PlistPtr entry = plf::dictionary();
        for (const auto& [key, property] : variable->dictionaryRepresentation())
            plf::set(entry.get(), NKUTF8(key), plistOf(property));
        plf::append(list.get(), std::move(entry));
    }
    plf::set(root.get(), "NKVariables", std::move(list));
    plf::set(root.get(), NKVersionInfoKey, NKVersionInfoPlist(*versionInfo));
    NSError error;
    if (!m_partlyRead.setAsideBeforeWriting(path) ||
        !plf::writeAtomically(path, root.get(), &error)) {
        NKLogLine("Warning: Could not save variables datasource to file '" + path + "'");
        return false;
    }
    return true;
}

void NKVariablesManager::setLocale(NCSimpleLocale locale) {
    if (locale == m_variableLocale) return;
    m_variableLocale = locale;
    // Values are stored locale-free; the localised text follows the locale when shown.
    m_center->post(NKVariablesLocaleChanged, this, this);
}

std::shared_ptr<NCVariable> NKVariablesManager::variableNamed(const std::u16string& name) const {
    for (const auto& variable : m_variablesArray)
        if (variable->name() == name) return variable;
    return nullptr;
}

bool NKVariablesManager::addVariable(const std::shared_ptr<NCVariable>& variable) {
    if (!variable) return false;
    const std::u16string name = variable->name().value_or(u"");
    if (coreListHoldsName(name)) {
        NKLogLine("Warning: Trying to add a new variable named " + NKUTF8(name) +
                  " when one already exists under that name");
        return false;
    }
    m_variableList->addVariable(variable);
    m_variablesArray.push_back(variable);
    if (m_postsNotifications) post(NKVariableWasAdded, variable);
    return true;
}

void NKVariablesManager::addVariableNamed(const std::u16string& name) {
    if (coreListHoldsName(name)) return;
    auto variable = NCVariable::variableWithName(name, u"1.0", 0, nullptr);
    variable->setType(0);
    variable->setEnabled(true);
    addVariable(variable);
}

std::shared_ptr<NCVariable> NKVariablesManager::standardVariable() const {
    const std::u16string base = NSLocalizedString(u"Default Variable Name");
    std::u16string name = base;
    if (coreListHoldsName(name)) {
        for (int number = 1; number <= 99998; ++number) {
            name = base + NKUTF16(std::to_string(number));
            if (!coreListHoldsName(name)) break;
        }
    }
    auto variable = NCVariable::variableWithName(name, u"1.0", 0, nullptr);
    variable->setType(0);
    variable->setEnabled(true);
    return variable;
}

void NKVariablesManager::moveVariable(const std::shared_ptr<NCVariable>& variable, uint64_t index) {
    auto found = std::find(m_variablesArray.begin(), m_variablesArray.end(), variable);
    if (found == m_variablesArray.end()) return;
    if (index < m_variablesArray.size()) {
        if (m_variablesArray[index] != variable) {
            m_variablesArray.erase(found);
            m_variablesArray.insert(
                m_variablesArray.begin() +
                    static_cast<std::ptrdiff_t>(std::min<uint64_t>(index, m_variablesArray.size())),
                variable);
        }
    } else {
        m_variablesArray.erase(found);
        m_variablesArray.push_back(variable);
    }
    post(NKVariableWasMoved, variable);
}

void NKVariablesManager::deleteVariable(const std::shared_ptr<NCVariable>& variable) {
    if (!variable) return;
    m_variableList->removeVariable(variable);
    std::erase(m_variablesArray, variable);
    post(NKVariableWasRemoved, variable);
}

bool NKVariablesManager::renameVariable(const std::shared_ptr<NCVariable>& variable,
                                        const std::u16string& newName, NSError* error) {
    std::u16string name = newName;
    if (variable && validateName(name, nullptr)) {
        for (const auto& other : m_variablesArray) {
            if (other->name() == name) {
                if (error)
                    *error = NSError::withDomain(
                        NSCocoaErrorDomain, NSKeyValueValidationError,
                        replaceFormat(NSLocalizedString(u"There is already a variable named '%@'."),
                                      name),
                        NSLocalizedString(
                            u"Please give the variable a different name and try again."));
                return false;
            }
        }
        // The core list announces the new name.
        if (variable->changeName(name)) return true;
    }
    if (error)
        *error = NSError::withDomain(
            NSCocoaErrorDomain, NSKeyValueValidationError, NSLocalizedString(u"Invalid name"),
            NSLocalizedString(u"Try renaming the variable to something else."));
    return false;
}

bool NKVariablesManager::setValueOfVariable(const std::shared_ptr<NCVariable>& variable,
                                            const std::u16string& value, NSError* error) {
    auto evaluator = NCEvaluator::sharedEvaluator();
    std::shared_ptr<NCResult> result;
    if (variable && evaluator) {
        auto expression = NCExpression::create(value.empty() ? u"1.0" : value, m_variableLocale);
        result = evaluator->evaluateExpression(expression);
    }
    if (!result || result->resultType() != NCResultTypeValue) {
        if (error)
            *error = NSError::withDomain(NSCocoaErrorDomain, NSKeyValueValidationError,
                                         NSLocalizedString(u"Invalid value"),
                                         NSLocalizedString(u"Please enter a number or a "
                                                           u"calculation and try again."));
        return false;
    }
    // The core list announces the new value.
    variable->setResultValue(result);
    return true;
}

void NKVariablesManager::variableDidUpdateInVariableList(NCVariable* variable,
                                                         NCVariableList* list) {
    if (!variable || !list) return;
    // Observers are handed the variable itself. Every variable of the list is found there,
    // the stocks' too, which the stocks manager puts into the list without the manager.
    for (const auto& held : list->variables()) {
        if (held.get() != variable) continue;
        post(NKVariableWasModified, held);
        return;
    }
}
