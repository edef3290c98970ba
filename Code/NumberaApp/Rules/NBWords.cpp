#include "NBWords.h"

#include "Diagnostics.h"
#include "ResourceBundle.h"

namespace {

std::optional<std::string> resourcePath() {
    if (auto bundle = ResourceBundle::main())
        return bundle->pathForResource("ComplexStrings", "plist");
    return std::nullopt;
}

}  // namespace

NBWords& NBWords::sharedInstance() {
    static NBWords words;
    return words;
}

NBWords::NBWords() { loadFromPath({}); }

void NBWords::loadFromPath(const std::string& path) {
    m_dataSource.reset();
    const std::optional<std::string> file = path.empty() ? resourcePath() : path;
    std::string error;
    std::shared_ptr<const NCPropertyListValue> root =
        file ? NCPropertyListValue::readFromFile(*file, &error) : nullptr;
    if (!root || !root->isDictionary()) {
        Diagnostics::error("Warning! No datasource loaded up from bundle");
        return;
    }
    m_dataSource = std::move(root);
}

std::vector<std::shared_ptr<const NCPropertyListValue>> NBWords::wordsOfType(int type) {
    static const char16_t* const kKeys[] = {u"Numbers", u"Operators", u"Labels"};
    std::vector<std::shared_ptr<const NCPropertyListValue>> words;
    const std::shared_ptr<const NCPropertyListValue>& source = sharedInstance().m_dataSource;
    if (type < 0 || type > 2 || !source) return words;
    std::shared_ptr<const NCPropertyListValue> list = source->valueForKey(kKeys[type]);
    if (!list || !list->isArray()) return words;
    for (const auto& entry : list->array())
        if (entry && entry->isDictionary()) words.push_back(entry);
    return words;
}

std::shared_ptr<const NCPropertyListValue> NBWords::labelForQuery(const std::u16string& query) {
    for (const auto& label : wordsOfType(2))
        for (const auto& [key, value] : label->dictionary())
            if (value && value->isString() && value->string() == query) return label;
    return nullptr;
}

std::vector<NBSpeechWord> NBWords::speechWords() {
    std::vector<NBSpeechWord> words;
    for (const auto& entry : wordsOfType(1)) {
        std::shared_ptr<const NCPropertyListValue> symbols = entry->valueForKey(u"symbols");
        std::shared_ptr<const NCPropertyListValue> speech = entry->valueForKey(u"speech");
        if (!symbols || !symbols->isArray() || !speech || !speech->isString()) continue;
        NBSpeechWord word;
        word.speech = speech->string();
        for (const auto& symbol : symbols->array())
            if (symbol && symbol->isString() && !symbol->string().empty())
                word.symbols.push_back(symbol->string());
        if (!word.symbols.empty()) words.push_back(std::move(word));
    }
    return words;
}
