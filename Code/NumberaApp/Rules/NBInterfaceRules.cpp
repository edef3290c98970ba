#include "NBInterfaceRules.h"

#include <sys/utsname.h>

#include "Diagnostics.h"
#include "NBLineFormattingRules.h"
#include "NCExpressionFormattingOptions.h"
#include "NCLine.h"
#include "NCResultFormattingOptions.h"

NBMenuItemModel NBMenuItemModel::headingItemWithTitle(const std::u16string& title) {
    NBMenuItemModel item;
    item.title = title;
    item.tag = kHeadingItemTag;
    item.enabled = false;
    return item;
}

void indentItemsUnderHeadings(std::vector<NBMenuItemModel>& items) {
    std::optional<int> headingLevel;
    for (NBMenuItemModel& item : items) {
        if (item.isHeadingItem()) {
            headingLevel = item.indentationLevel;
        } else if (headingLevel) {
            item.indentationLevel = *headingLevel + 1;
        }
    }
}

namespace {

bool containsOnlyLines(const NBLineArray& lines) {
    for (const auto& line : lines) {
        if (!line) {
            Diagnostics::error("Warning! Array does not contain only lines.");
            return false;
        }
    }
    return true;
}

// Numbers compare by value whatever their kind, as boxed numbers do; texts by their content.
std::optional<double> numberValue(const NSArchiveValue& value) {
    if (auto b = std::get_if<bool>(&value)) return *b ? 1 : 0;
    if (auto i = std::get_if<int64_t>(&value)) return static_cast<double>(*i);
    if (auto d = std::get_if<double>(&value)) return *d;
    return std::nullopt;
}

bool valuesEqual(const std::optional<NSArchiveValue>& a, const std::optional<NSArchiveValue>& b) {
    if (!a || !b) return false;  // a missing value equals nothing, not even another missing one
    const auto numberA = numberValue(*a);
    const auto numberB = numberValue(*b);
    if (numberA || numberB) return numberA && numberB && *numberA == *numberB;
    return std::get<std::u16string>(*a) == std::get<std::u16string>(*b);
}

int64_t displayBase(const NCLine& line) {
    const auto& options = line.customFormattingOptions();
    return options ? options->displayBase : 0;
}

int64_t textAlignment(const NCLine& line) {
    const auto& options = line.expressionFormattingOptions();
    return options ? options->textAlignment() : 0;
}

std::optional<NSArchiveValue> optionValue(const NCLine& line, const std::string& key) {
    const auto& options = line.customFormattingOptions();
    return options ? options->valueForKey(key) : std::nullopt;
}

std::optional<int64_t> integerValue(const NSArchiveValue& value) {
    const auto number = numberValue(value);
    if (!number || !(*number > -9.2e18 && *number < 9.2e18)) return std::nullopt;
    return static_cast<int64_t>(*number);
}

}  // namespace

bool propertyIsUniformAcrossLines(const NBLineArray& lines, const std::string& property) {
    if (!containsOnlyLines(lines)) return false;
    for (size_t index = 1; index < lines.size(); ++index) {
        const NCLine& previous = *lines[index - 1];
        NCLine& line = *lines[index];
        bool same;
        if (property == "base") {
            same = displayBase(previous) == displayBase(line);
        } else if (property == "trigonometryMode") {
            same = previous.trigonometryMode() == line.trigonometryMode();
        } else if (property == "textAlignment") {
            same = textAlignment(previous) == textAlignment(line);
        } else {
            same = valuesEqual(optionValue(previous, property), optionValue(line, property));
        }
        if (!same) return false;
    }
    return true;
}

bool containsLineWithValue(const NBLineArray& lines, const NSArchiveValue& value,
                           const std::string& propertyID) {
    if (!containsOnlyLines(lines)) return false;
    const std::optional<int64_t> integer = integerValue(value);
    for (const auto& line : lines) {
        if (propertyID == "base") {
            // The base menu numbers its items as the formatting bar does.
            const auto base =
                integer ? NBLineFormattingRules::displayBaseForBase(*integer) : std::nullopt;
            if (base && displayBase(*line) == *base) return true;
        } else if (propertyID == "trigonometryMode") {
            if (integer && line->trigonometryMode() == *integer) return true;
        } else if (propertyID == "textAlignment") {
            if (integer && textAlignment(*line) == *integer) return true;
        } else if (valuesEqual(optionValue(*line, propertyID), value)) {
            return true;
        }
    }
    return false;
}

NBMenuItemState stateForFormattingProperty(int itemTag, std::optional<int64_t> objectValue,
                                           const NBLineArray& selectedLines,
                                           const std::string& property) {
    const bool tagIsObjectValue = objectValue && *objectValue == itemTag;
    if (selectedLines.size() < 2)
        return tagIsObjectValue ? NBMenuItemState::On : NBMenuItemState::Off;
    if (propertyIsUniformAcrossLines(selectedLines, property))
        return tagIsObjectValue ? NBMenuItemState::On : NBMenuItemState::Off;
    if (containsLineWithValue(selectedLines, NSArchiveValue(int64_t{itemTag}), property))
        return NBMenuItemState::Mixed;
    return NBMenuItemState::Off;
}

std::u16string keyStrokeRepresentation(bool control, bool option, bool command,
                                       const std::u16string& charactersIgnoringModifiers) {
    if (charactersIgnoringModifiers.empty()) return {};
    std::u16string text;
    if (control) text += u"\u2303";
    if (option) text += u"\u2325";
    if (command) text += u"\u2318";
    if (!text.empty()) text += u' ';
    return text + charactersIgnoringModifiers;
}

namespace {

std::u16string fromAscii(const std::string& text) {
    std::u16string out;
    for (unsigned char c : text) out.push_back(c < 0x80 ? c : u'?');
    return out;
}

}  // namespace

std::u16string operatingSystemVersion() {
    struct utsname name;
    if (uname(&name) != 0) return u"Unknown";
    return fromAscii(std::string(name.sysname) + " " + name.release);
}

std::u16string processorTypeForMachine(const std::optional<std::string>& machine) {
    if (!machine || machine->empty()) return u"Unknown";
    const std::string& m = *machine;
    if (m == "x86_64" || m == "amd64" || m == "x86" ||
        (m.size() == 4 && m[0] == 'i' && m[1] >= '3' && m[1] <= '6' && m.substr(2) == "86"))
        return u"Intel";
    if (m.rfind("ppc", 0) == 0 || m.rfind("powerpc", 0) == 0) return u"PowerPC";
    return fromAscii(m);
}

std::u16string processorType() {
    struct utsname name;
    if (uname(&name) != 0) return processorTypeForMachine(std::nullopt);
    return processorTypeForMachine(std::string(name.machine));
}
