#include "NBMathKey.h"

#include "Diagnostics.h"
#include "NCPropertyListValue.h"
#include "NKFunctions.h"
#include "NSError.h"
#include "PropertyListFile.h"

namespace {

std::u16string textFor(const NCPropertyListValue& dictionary, const char16_t* key) {
    auto value = dictionary.valueForKey(key);
    return value && value->isString() ? value->string() : std::u16string();
}

int64_t integerFor(const NCPropertyListValue& dictionary, const char16_t* key) {
    auto value = dictionary.valueForKey(key);
    return value && value->kind() == NCPropertyListValue::Kind::Integer ? value->integer() : 0;
}

PlistPtr dictionaryRepresentation(const NBMathKey& key) {
    PlistPtr entry = PropertyListFile::dictionary();
    const NBKeyEvent& event = key.event();
    PropertyListFile::set(entry.get(), "string", PropertyListFile::string(key.string()));
    PropertyListFile::set(entry.get(), "characters", PropertyListFile::string(event.characters));
    PropertyListFile::set(entry.get(), "charactersIgnoringModifiers",
                          PropertyListFile::string(event.charactersIgnoringModifiers));
    PropertyListFile::set(entry.get(), "modifierFlags",
                          PropertyListFile::integer(static_cast<int64_t>(event.modifierFlags)));
    PropertyListFile::set(entry.get(), "keycode", PropertyListFile::integer(event.keyCode));
    PropertyListFile::set(entry.get(), "enabled", PropertyListFile::boolean(key.enabled()));
    return entry;
}

}  // namespace

NBMathKey NBMathKey::withDictionaryRep(const NCPropertyListValue& dictionary) {
    NBKeyEvent event;
    event.modifierFlags = static_cast<uint64_t>(integerFor(dictionary, u"modifierFlags"));
    event.characters = textFor(dictionary, u"characters");
    event.charactersIgnoringModifiers = textFor(dictionary, u"charactersIgnoringModifiers");
    if (dictionary.valueForKey(u"keycode"))
        event.keyCode = static_cast<uint16_t>(integerFor(dictionary, u"keycode"));
    NBMathKey key(event);
    key.setString(textFor(dictionary, u"string"));
    auto enabled = dictionary.valueForKey(u"enabled");
    key.setEnabled(enabled && enabled->kind() == NCPropertyListValue::Kind::Boolean &&
                   enabled->boolean());
    return key;
}

bool NBMathKey::isEqualTo(const NBMathKey& other) const {
    return (m_event.modifierFlags & NBMathKeyModifierMask) ==
               (other.m_event.modifierFlags & NBMathKeyModifierMask) &&
           m_event.charactersIgnoringModifiers == other.m_event.charactersIgnoringModifiers;
}

std::u16string NBMathKey::keyStrokeRepresentation(const NBKeyEvent& event) {
    std::u16string text;
    if (event.modifierFlags & NBEventModifierFlagControl) text += u"\u2303";
    if (event.modifierFlags & NBEventModifierFlagOption) text += u"\u2325";
    if (event.modifierFlags & NBEventModifierFlagShift) text += u"\u21E7";
    if (event.modifierFlags & NBEventModifierFlagCommand) text += u"\u2318";
    std::u16string key = event.charactersIgnoringModifiers;
    for (char16_t& c : key)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return text + key;
}

std::u16string NBMathKey::desktopKeyStrokeText(const NBKeyEvent& event) {
    std::u16string key = event.charactersIgnoringModifiers;
    if (key.empty()) return {};
    std::u16string text;
    if (event.modifierFlags & NBEventModifierFlagCommand) text += u"Ctrl+";
    if (event.modifierFlags & NBEventModifierFlagOption) text += u"Alt+";
    if (event.modifierFlags & NBEventModifierFlagShift) text += u"Shift+";
    if (event.modifierFlags & NBEventModifierFlagControl) text += u"Meta+";
    if (key == u" ") return text + u"Space";
    for (char16_t& c : key)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return text + key;
}

std::u16string NBMathKey::stringValue() const { return keyStrokeRepresentation(m_event); }

NBMathKeyController& NBMathKeyController::sharedInstance() {
    static NBMathKeyController controller;
    return controller;
}

bool NBMathKeyController::loadFrom(const std::string& path, bool logFailure) {
    if (path.empty()) return false;
    std::string error;
    auto root = NCPropertyListValue::readFromFile(path, &error);
    auto list = root && root->isDictionary() ? root->valueForKey(u"NBMathkeys") : nullptr;
    if (!list || !list->isArray()) {
        if (logFailure) Diagnostics::error("Warning: could not read the keystroke list " + path);
        return false;
    }
    for (const auto& entry : list->array())
        if (entry && entry->isDictionary())
            m_keystrokeReplacements.push_back(NBMathKey::withDictionaryRep(*entry));
    return true;
}

void NBMathKeyController::beginLife(const std::string& dataSourcePath,
                                    const std::string& bundledPath) {
    m_dataSourcePath = dataSourcePath;
    m_keystrokeReplacements.clear();
    // A user file that is there but unreadable keeps its contents under another name.
    NSError error;
    if (auto moved = PropertyListFile::moveAsideIfUnreadable(dataSourcePath, &error))
        Diagnostics::error("Warning: the unreadable keystroke list was moved to " + *moved);
    if (loadFrom(dataSourcePath, false)) return;
    m_keystrokeReplacements.clear();
    if (!loadFrom(bundledPath, false)) {
        m_keystrokeReplacements.clear();
        Diagnostics::error("Warning! No Default Mathkeys Datasource in the Bundle!");
    }
}

bool NBMathKeyController::endLife() {
    if (m_dataSourcePath.empty()) return false;
    PlistPtr list = PropertyListFile::array();
    for (const NBMathKey& key : m_keystrokeReplacements)
        PropertyListFile::append(list.get(), dictionaryRepresentation(key));
    PlistPtr info = PropertyListFile::dictionary();
    for (const auto& [name, value] : NKApplicationInfoDictionary())
        // The info keys are ASCII names.
        PropertyListFile::set(info.get(), std::string(name.begin(), name.end()),
                              PropertyListFile::string(value));
    PlistPtr root = PropertyListFile::dictionary();
    PropertyListFile::set(root.get(), "NBMathkeys", std::move(list));
    PropertyListFile::set(root.get(), "NBVersionInfo", std::move(info));
    NSError error;
    if (!PropertyListFile::writeAtomically(m_dataSourcePath, root.get(), &error)) {
        Diagnostics::error("Warning: Could not save Mathkeys datasource to a file");
        return false;
    }
    return true;
}

std::optional<std::u16string> NBMathKeyController::stringForMathKey(const NBMathKey& probe) const {
    for (const NBMathKey& key : m_keystrokeReplacements)
        if (key.isEqualTo(probe) && key.enabled() && !key.string().empty()) return key.string();
    return std::nullopt;
}
