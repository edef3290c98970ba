#include "UnitsCatalogue.hpp"

#include <algorithm>
#include <cstdio>

#include "Utf8.hpp"

namespace resources_test {

namespace {

std::vector<std::string> stringsOf(const PlistNode* array) {
    std::vector<std::string> out;
    if (array && array->isArray())
        for (const auto& item : array->items)
            if (item.isString()) out.push_back(item.text);
    return out;
}

std::string prefixedIdentifier(int exponent, const std::string& base) {
    char sign[16];
    std::snprintf(sign, sizeof sign, "%+d", exponent);
    return "si" + std::string(sign) + "-" + base;
}

void addDimension(Dimension& into, const Dimension& other, int sign) {
    for (const auto& [base, power] : other) {
        const int sum = into[base] + sign * power;
        if (sum == 0)
            into.erase(base);
        else
            into[base] = sum;
    }
}

}  // namespace

bool CatalogueUnit::hasName(std::string_view text) const {
    return std::any_of(names.begin(), names.end(),
                       [&](const UnitName& n) { return n.text == text; });
}

const UnitName* CatalogueUnit::singular() const {
    for (const auto& n : names)
        if (n.type == NameType::Singular && !n.isAlias) return &n;
    return nullptr;
}

std::optional<std::pair<int, std::string>> splitPrefixedIdentifier(const std::string& identifier) {
    // The loader's pattern: "si", a signed exponent, "-", the identifier of the base unit.
    if (identifier.size() < 5 || identifier.compare(0, 2, "si") != 0) return std::nullopt;
    if (identifier[2] != '+' && identifier[2] != '-') return std::nullopt;
    std::size_t i = 3;
    int magnitude = 0;
    while (i < identifier.size() && identifier[i] >= '0' && identifier[i] <= '9' && i < 8)
        magnitude = magnitude * 10 + (identifier[i++] - '0');
    if (i == 3 || i >= identifier.size() || identifier[i] != '-') return std::nullopt;
    return std::make_pair(identifier[2] == '-' ? -magnitude : magnitude, identifier.substr(i + 1));
}

std::optional<std::vector<int>> parseExponentList(std::string_view text) {
    std::vector<int> out;
    const auto isSeparator = [](char c) {
        return c == ',' || c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' ||
               c == '\v';
    };
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isSeparator(text[i])) ++i;
        if (i == text.size()) break;
        std::size_t end = i;
        while (end < text.size() && !isSeparator(text[end])) ++end;
        std::string_view part = text.substr(i, end - i);
        bool negative = false;
        if (part.front() == '-' || part.front() == '+') {
            negative = part.front() == '-';
            part.remove_prefix(1);
        }
        if (part.empty() || part.size() > 6) return std::nullopt;
        int value = 0;
        for (char c : part) {
            if (c < '0' || c > '9') return std::nullopt;
            value = value * 10 + (c - '0');
        }
        out.push_back(negative ? -value : value);
        i = end;
    }
    if (out.empty()) return std::nullopt;
    return out;
}

std::string UnitsCatalogue::lowercase(std::string_view text) { return lowercaseUtf8(text); }

std::string UnitsCatalogue::searchKey(std::string_view text) {
    std::string key;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == ' ') ++i;
        std::size_t end = i;
        while (end < text.size() && text[end] != ' ') ++end;
        if (end > i) {
            if (!key.empty()) key += ' ';
            key += lowercase(text.substr(i, end - i));
        }
        i = end;
    }
    return key;
}

std::optional<Dimension> UnitsCatalogue::categoryDimension(const std::string& category) {
    static const std::map<std::string, Dimension> table = {
        {"Length", {{"length", 1}}},
        {"Mass", {{"mass", 1}}},
        {"Time", {{"time", 1}}},
        {"Temperature", {{"temperature", 1}}},
        {"Computer Storage", {{"storage", 1}}},
        {"Force", {{"force", 1}}},
        {"Energy", {{"energy", 1}}},
        {"Power", {{"power", 1}}},
        {"Pressure", {{"pressure", 1}}},
        // Derived categories factor into lengths and times as the unit engine relates them.
        {"Frequency", {{"time", -1}}},
        {"Electric Potential", {{"voltage", 1}}},
        {"Electric Current", {{"current", 1}}},
        {"Electric Resistance", {{"resistance", 1}}},
        {"Speed", {{"length", 1}, {"time", -1}}},
        {"Acceleration", {{"length", 1}, {"time", -2}}},
        {"Area", {{"length", 2}}},
        {"Volume", {{"length", 3}}},
        {"Computer Throughput", {{"storage", 1}, {"time", -1}}},
        {"Fuel Consumption", {{"length", -2}}},  // distance per volume; its inverse is allowed
        {"Currency", {{"money", 1}}},
    };
    const auto it = table.find(category);
    if (it == table.end()) return std::nullopt;
    return it->second;
}

std::set<int> UnitsCatalogue::allExponents() {
    return {-24, -21, -18, -15, -12, -9, -6, -3, -2, -1, 1, 2, 3, 6, 9, 12, 15, 18, 21, 24};
}

const CatalogueUnit* UnitsCatalogue::unit(const std::string& identifier) const {
    const auto it = m_units.find(identifier);
    return it == m_units.end() ? nullptr : &it->second;
}

const PlistNode* UnitsCatalogue::entry(const std::string& identifier, std::string* category) const {
    const auto it = m_entries.find(identifier);
    if (it == m_entries.end()) return nullptr;
    if (category) *category = it->second.first;
    return it->second.second;
}

bool UnitsCatalogue::load(const std::string& resourcesDirectory, std::string& error) {
    if (!readFiles(resourcesDirectory, error)) return false;
    loadPrefixes();
    loadEntries();
    loadPreferenceAliases();
    loadRegularUnits();
    loadReferencedPrefixedUnits();
    for (auto& [identifier, unit] : m_units) {
        // An alias unit takes the category of what it stands for.
        if (unit.kind != UnitKind::PreferenceAlias || unit.targets.empty()) continue;
        if (const CatalogueUnit* target = this->unit(unit.targets.begin()->second))
            unit.category = target->category;
    }
    loadCurrencies();
    buildIndex();
    return true;
}

bool UnitsCatalogue::readFiles(const std::string& directory, std::string& error) {
    return readPlistFile(directory + "/" + unitsFileName, m_unitsFile, error) &&
           readPlistFile(directory + "/" + unitLocalizationFileName, m_unitLocalization, error) &&
           readPlistFile(directory + "/" + currencyLocalizationFileName, m_currencyLocalization,
                         error);
}

void UnitsCatalogue::loadPrefixes() {
    // The localisation's table, when it has one, comes before the units file's.
    const PlistNode* table = m_unitLocalization.find("SIPrefixes");
    if (!table) table = m_unitsFile.find("SIPrefixes");
    if (!table || !table->isArray()) return;
    for (const auto& item : table->items) {
        const PlistNode* exponent = item.find("exponent");
        if (!exponent || !exponent->isInteger()) continue;
        m_prefixes[static_cast<int>(exponent->integer)] =
            SIPrefix{item.stringAt("prefix"), item.stringAt("symbol"), item.stringAt("factor")};
    }
}

void UnitsCatalogue::loadEntries() {
    const PlistNode* categories = m_unitsFile.find("Units");
    if (!categories || !categories->isDict()) return;
    for (const auto& [category, units] : categories->entries) {
        for (const auto& [identifier, entry] : units.entries) {
            if (m_entries.count(identifier)) {
                m_problems.push_back("identifier " + identifier + " appears in " +
                                     m_entries[identifier].first + " and " + category);
                continue;
            }
            m_entries[identifier] = {category, &entry};
        }
    }
}

const PlistNode* UnitsCatalogue::namesFor(const std::string& identifier) const {
    if (const PlistNode* names = m_unitLocalization.find("Names"))
        if (const PlistNode* own = names->find(identifier)) return own;
    const auto it = m_entries.find(identifier);
    return it == m_entries.end() ? nullptr : it->second.second;
}

std::vector<UnitName> UnitsCatalogue::readNames(const PlistNode* names) const {
    std::vector<UnitName> out;
    if (!names) return out;
    const auto read = [&](const char* single, const char* list, NameType type) {
        if (const PlistNode* one = names->find(single)) {
            if (one->isString()) out.push_back({one->text, type, false, false});
            return;
        }
        const std::vector<std::string> all = stringsOf(names->find(list));
        for (std::size_t i = 0; i < all.size(); ++i) out.push_back({all[i], type, i > 0, false});
    };
    read("singular", "singulars", NameType::Singular);
    read("plural", "plurals", NameType::Plural);
    read("symbol", "symbols", NameType::VeryShort);
    const std::vector<std::string> caseSensitive = stringsOf(names->find("case-sensitive-names"));
    for (auto& name : out)
        name.caseSensitive =
            std::find(caseSensitive.begin(), caseSensitive.end(), name.text) != caseSensitive.end();
    return out;
}

std::optional<std::set<int>> UnitsCatalogue::ownExponents(const std::string& identifier,
                                                          const char* key) const {
    const PlistNode* value = nullptr;
    if (const PlistNode* names = m_unitLocalization.find("Names"))
        if (const PlistNode* own = names->find(identifier)) value = own->find(key);
    if (!value) {
        const auto it = m_entries.find(identifier);
        if (it != m_entries.end()) value = it->second.second->find(key);
    }
    if (!value || !value->isString()) return std::nullopt;
    const auto list = parseExponentList(value->text);
    // An unreadable list allows nothing here; the structure checks report it.
    return list ? std::set<int>(list->begin(), list->end()) : std::set<int>();
}

void UnitsCatalogue::addUnit(CatalogueUnit unit) {
    if (m_units.count(unit.identifier)) {
        m_problems.push_back("unit " + unit.identifier + " is made twice");
        return;
    }
    const std::string identifier = unit.identifier;
    m_units.emplace(identifier, std::move(unit));
}

void UnitsCatalogue::loadPreferenceAliases() {
    const PlistNode* preferences = m_unitsFile.find("Preferences");
    if (!preferences || !preferences->isDict()) return;
    for (const auto& [preference, options] : preferences->entries) {
        for (const auto& [option, aliases] : options.entries) {
            for (const auto& [alias, target] : aliases.entries) {
                auto it = m_units.find(alias);
                if (it == m_units.end()) {
                    CatalogueUnit unit;
                    unit.identifier = alias;
                    unit.kind = UnitKind::PreferenceAlias;
                    unit.preference = preference;
                    unit.names = readNames(namesFor(alias));
                    // Alias units carry no case-sensitive names.
                    for (auto& name : unit.names) name.caseSensitive = false;
                    it = m_units.emplace(alias, std::move(unit)).first;
                }
                const CatalogueUnit& aliasUnit = it->second;
                if (aliasUnit.kind != UnitKind::PreferenceAlias ||
                    aliasUnit.preference != preference) {
                    m_problems.push_back("alias " + alias + " belongs to two preferences");
                    continue;
                }
                it->second.targets[option] = target.isString() ? target.text : std::string();
            }
        }
    }
}

void UnitsCatalogue::loadRegularUnits() {
    for (const auto& [identifier, place] : m_entries) {
        const auto& [category, entry] = place;
        if (m_units.count(identifier) && m_units.at(identifier).kind == UnitKind::PreferenceAlias)
            continue;  // the loader keeps the alias
        const PlistNode* expect = entry->find("expect-names");
        const bool expectNames = !expect || !expect->isBoolean() || expect->boolean;
        CatalogueUnit unit;
        unit.identifier = identifier;
        unit.category = category;
        if (expectNames) {
            unit.names = readNames(namesFor(identifier));
            if (!unit.singular()) {
                m_problems.push_back("unit " + identifier + " has no singular name");
                continue;
            }
        }
        if (const PlistNode* tie = entry->find("ambiguousTieBreakFactor"); tie && tie->isInteger())
            unit.tieBreak = tie->integer;
        if (const PlistNode* composition = entry->find("composition")) {
            unit.kind = UnitKind::Composite;
            unit.numerator = stringsOf(composition->find("numerator"));
            unit.denominator = stringsOf(composition->find("denominator"));
        } else if (const PlistNode* factor = entry->find("factor"); factor && factor->isString()) {
            unit.kind = UnitKind::Basic;
            unit.factor = factor->text;
            unit.offset = entry->stringAt("offset");
        } else {
            m_problems.push_back("unit " + identifier + " has neither composition nor factor");
            continue;
        }
        const bool basic = unit.kind == UnitKind::Basic;
        addUnit(unit);
        if (!basic) continue;
        const auto own = ownExponents(identifier, "SIPrefixExponents");
        const PlistNode* flag = entry->find("SIPrefixes");
        if (!own && !(flag && flag->isBoolean() && flag->boolean)) continue;
        for (const int exponent : own ? *own : allExponents())
            addPrefixedUnit(m_units.at(identifier), exponent);
    }
}

void UnitsCatalogue::addPrefixedUnit(const CatalogueUnit& base, int exponent) {
    const auto prefix = m_prefixes.find(exponent);
    if (prefix == m_prefixes.end() || prefix->second.factor.empty()) {
        m_problems.push_back("no SI prefix for exponent " + std::to_string(exponent) + " of " +
                             base.identifier);
        return;
    }
    const SIPrefix& p = prefix->second;
    const auto veryShortExponents = ownExponents(base.identifier, "SIPrefixExponents-veryShort");
    const bool symbolAllowed =
        !p.symbol.empty() && (!veryShortExponents || veryShortExponents->count(exponent));
    const auto prefixedWord = [&](const UnitName& name) {
        return p.word + (name.caseSensitive ? name.text : lowercase(name.text));
    };

    CatalogueUnit unit;
    unit.identifier = prefixedIdentifier(exponent, base.identifier);
    unit.category = base.category;
    unit.kind = UnitKind::Prefixed;
    unit.prefixBase = base.identifier;
    unit.exponent = exponent;
    for (const UnitName& name : base.names) {
        if (name.isAlias) continue;
        if (name.type == NameType::VeryShort) {
            if (symbolAllowed) unit.names.push_back({p.symbol + name.text, name.type, false, true});
        } else if (!p.word.empty()) {
            unit.names.push_back({prefixedWord(name), name.type, false, name.caseSensitive});
        }
    }
    for (const UnitName& name : base.names) {
        if (!name.isAlias) continue;
        if (!p.word.empty())
            unit.names.push_back({prefixedWord(name), name.type, true, name.caseSensitive});
        if (symbolAllowed) unit.names.push_back({p.symbol + name.text, name.type, true, true});
    }
    addUnit(std::move(unit));
}

void UnitsCatalogue::loadReferencedPrefixedUnits() {
    std::vector<std::string> references;
    for (const auto& [identifier, unit] : m_units) {
        references.insert(references.end(), unit.numerator.begin(), unit.numerator.end());
        references.insert(references.end(), unit.denominator.begin(), unit.denominator.end());
        for (const auto& [option, target] : unit.targets) references.push_back(target);
    }
    if (const PlistNode* bases = m_unitsFile.find("Base Units"))
        for (const auto& [category, identifier] : bases->entries)
            if (identifier.isString()) references.push_back(identifier.text);
    for (const std::string& reference : references) {
        if (m_units.count(reference)) continue;
        const auto split = splitPrefixedIdentifier(reference);
        if (!split) continue;
        const CatalogueUnit* base = unit(split->second);
        if (!base || base->kind != UnitKind::Basic) {
            m_problems.push_back(reference + " names no basic unit");
            continue;
        }
        addPrefixedUnit(*base, split->first);
    }
}

void UnitsCatalogue::loadCurrencies() {
    const PlistNode* currencies = m_currencyLocalization.find("Currencies");
    if (!currencies || !currencies->isDict()) return;
    for (const auto& [code, entry] : currencies->entries) {
        CatalogueUnit unit;
        unit.identifier = code;
        unit.category = "Currency";
        unit.kind = UnitKind::Currency;
        unit.factor = "1.0";
        const PlistNode* names = entry.find("names");
        const PlistNode* aliases = entry.find("aliases");
        std::set<std::string> caseSensitive;
        if (names) {
            if (const auto* s = names->find("singular"); s && s->isString())
                unit.names.push_back({s->text, NameType::Singular, false, false});
            if (const auto* s = names->find("plural"); s && s->isString())
                unit.names.push_back({s->text, NameType::Plural, false, false});
            if (const auto* s = names->find("symbol"); s && s->isString()) {
                unit.names.push_back({s->text, NameType::Symbol, false, false});
                caseSensitive.insert(s->text);
            }
        }
        unit.names.push_back({code, NameType::VeryShort, false, false});
        if (aliases) {
            for (const auto& text : stringsOf(aliases->find("singular")))
                unit.names.push_back({text, NameType::Singular, true, false});
            for (const auto& text : stringsOf(aliases->find("plurals")))
                unit.names.push_back({text, NameType::Plural, true, false});
            for (const auto& text : stringsOf(aliases->find("symbols"))) {
                unit.names.push_back({text, NameType::VeryShort, true, false});
                caseSensitive.insert(text);
            }
        }
        for (auto& name : unit.names) name.caseSensitive = caseSensitive.count(name.text) > 0;
        addUnit(std::move(unit));
    }
}

void UnitsCatalogue::buildIndex() {
    for (const auto& [identifier, unit] : m_units)
        for (const auto& name : unit.names) m_index[searchKey(name.text)].push_back({&unit, &name});
}

std::vector<const CatalogueUnit*> UnitsCatalogue::unitsMatching(std::string_view typed) const {
    std::vector<const CatalogueUnit*> exact, candidates;
    const auto it = m_index.find(searchKey(typed));
    if (it == m_index.end()) return {};
    const auto add = [](std::vector<const CatalogueUnit*>& list, const CatalogueUnit* unit) {
        if (std::find(list.begin(), list.end(), unit) == list.end()) list.push_back(unit);
    };
    for (const auto& found : it->second) {
        const bool exactCase = found.name->text == typed;
        if (exactCase) add(exact, found.unit);
        if (exactCase || !found.name->caseSensitive) add(candidates, found.unit);
    }
    return exact.empty() ? candidates : exact;
}

const CatalogueUnit* UnitsCatalogue::unitNamed(std::string_view typed,
                                               const std::map<std::string, int>& extraTieBreaks,
                                               std::string& error) const {
    const auto matches = unitsMatching(typed);
    if (matches.empty()) {
        error = "no unit is named \"" + std::string(typed) + "\"";
        return nullptr;
    }
    // Without surrounding units only the tie-break factors and the exact-name bonus decide.
    const CatalogueUnit* best = nullptr;
    std::int64_t bestScore = 0;
    bool tie = false;
    for (const CatalogueUnit* unit : matches) {
        const auto extra = extraTieBreaks.find(unit->identifier);
        const std::int64_t score = (unit->hasName(typed) ? 500 : 0) + unit->tieBreak +
                                   (extra == extraTieBreaks.end() ? 0 : extra->second);
        if (!best || score > bestScore) {
            best = unit;
            bestScore = score;
            tie = false;
        } else if (score == bestScore) {
            tie = true;
        }
    }
    if (tie) {
        error = "\"" + std::string(typed) + "\" is ambiguous";
        return nullptr;
    }
    return best;
}

std::vector<PreferenceChoice> UnitsCatalogue::allPreferenceChoices() const {
    std::vector<PreferenceChoice> choices{PreferenceChoice{}};
    const PlistNode* preferences = m_unitsFile.find("Preferences");
    if (!preferences) return choices;
    for (const auto& [preference, options] : preferences->entries) {
        std::vector<PreferenceChoice> next;
        for (const auto& choice : choices)
            for (const auto& [option, aliases] : options.entries) {
                PreferenceChoice extended = choice;
                extended[preference] = option;
                next.push_back(extended);
            }
        choices = next;
    }
    return choices;
}

PreferenceChoice UnitsCatalogue::defaultPreferenceChoice() const {
    return {{"byte-prefix", "si"}, {"imperial-us-or-metric", "metric"}};
}

bool UnitsCatalogue::resolve(const std::string& identifier, const PreferenceChoice& choice,
                             Quantity& out, std::string& error) const {
    std::vector<std::string> stack;
    out = Quantity{};
    return resolveInto(identifier, choice, stack, out, error);
}

bool UnitsCatalogue::resolveInto(const std::string& identifier, const PreferenceChoice& choice,
                                 std::vector<std::string>& stack, Quantity& out,
                                 std::string& error) const {
    if (std::find(stack.begin(), stack.end(), identifier) != stack.end()) {
        error = "cycle through " + identifier;
        return false;
    }
    const CatalogueUnit* u = unit(identifier);
    if (!u) {
        error = "no unit " + identifier;
        return false;
    }
    stack.push_back(identifier);
    bool ok = true;
    switch (u->kind) {
        case UnitKind::Basic:
        case UnitKind::Currency: {
            const auto factor = Rational::fromFactor(u->factor);
            const auto offset = Rational::fromDecimal(u->offset.empty() ? "0" : u->offset);
            const auto dimension = categoryDimension(u->category);
            if (!factor || !offset || !dimension) {
                error = "unit " + identifier + " has a bad factor, offset or category";
                ok = false;
                break;
            }
            out = Quantity{*factor, *offset, !u->offset.empty(), *dimension};
            break;
        }
        case UnitKind::Prefixed: {
            const auto prefix = m_prefixes.find(u->exponent);
            const auto prefixFactor = prefix == m_prefixes.end()
                                          ? std::nullopt
                                          : Rational::fromDecimal(prefix->second.factor);
            ok = prefixFactor && resolveInto(u->prefixBase, choice, stack, out, error);
            if (ok && out.hasOffset) {
                error = identifier + " prefixes a unit with an offset";
                ok = false;
            }
            if (ok) out.factor = out.factor * *prefixFactor;
            if (!prefixFactor) error = "no prefix factor for " + identifier;
            break;
        }
        case UnitKind::Composite: {
            Quantity total;
            for (int side = 0; side < 2 && ok; ++side) {
                for (const std::string& part : side == 0 ? u->numerator : u->denominator) {
                    Quantity q;
                    ok = resolveInto(part, choice, stack, q, error);
                    if (ok && q.hasOffset) {
                        error = identifier + " composes " + part + ", which has an offset";
                        ok = false;
                    }
                    if (!ok) break;
                    total.factor = side == 0 ? total.factor * q.factor : total.factor / q.factor;
                    addDimension(total.dimension, q.dimension, side == 0 ? 1 : -1);
                }
            }
            if (ok && u->numerator.empty() && u->denominator.empty()) {
                error = identifier + " composes nothing";
                ok = false;
            }
            if (ok) out = total;
            break;
        }
        case UnitKind::PreferenceAlias: {
            const auto option = choice.find(u->preference);
            const auto target =
                option == choice.end() ? u->targets.end() : u->targets.find(option->second);
            if (target == u->targets.end()) {
                error = "alias " + identifier + " has no target for the chosen option";
                ok = false;
                break;
            }
            const CatalogueUnit* t = unit(target->second);
            if (!t || (t->kind != UnitKind::Basic && t->kind != UnitKind::Prefixed)) {
                error = "alias " + identifier + " points at " + target->second +
                        ", which is no basic unit";
                ok = false;
                break;
            }
            ok = resolveInto(target->second, choice, stack, out, error);
            break;
        }
    }
    stack.pop_back();
    return ok;
}

std::optional<Rational> convertQuantity(const Rational& value, const Quantity& from,
                                        const Quantity& to) {
    if (from.dimension == to.dimension) {
        const Rational base = (value + from.offset) * from.factor;
        return base / to.factor - to.offset;
    }
    Dimension inverse;
    for (const auto& [base, power] : from.dimension) inverse[base] = -power;
    if (inverse != to.dimension || from.hasOffset || to.hasOffset || value.isZero())
        return std::nullopt;
    return Rational(1) / (value * from.factor) / to.factor;
}

}  // namespace resources_test
