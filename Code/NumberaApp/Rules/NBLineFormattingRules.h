// The formatting bar's rules that need no toolkit: which of a line's options each property of
// the bar shows and writes, what a mixed selection shows, how a menu item shows its state over
// the selected lines, how the decimal-places field checks its text, and how a global default
// reaches every line of a document.
#ifndef NUMBERA_APP_RULES_NB_LINE_FORMATTING_RULES_H
#define NUMBERA_APP_RULES_NB_LINE_FORMATTING_RULES_H

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Settings.h"

class NCLine;
class NCLineCollection;

inline constexpr const char* NBLineFormattingOptionsDidChange = "NBLineFormattingOptionsDidChange";

namespace NBLineFormattingRules {

// "thousandsSeparator", "decimalPlaces", "scientificNotationMode": the same name and value in
// the bar and in the line's custom formatting options.
const std::vector<std::string>& directlyTransferableKeys();
// "base", "trigonometryMode", "textAlignment": converted on the way.
const std::vector<std::string>& customKeys();
// The user defaults applied to every line: "NBNotationThreshold", "NBNotationStyle". The number
// signs are a line's locale: its text is converted with them when the locale changes, so they
// reach the lines by that road (the document's environment refresh), never set apart from it.
const std::vector<std::string>& globalKeys();
// The value the bar shows for the key when the selected lines differ.
int64_t mixedSelectionValue(const std::string& key);

// The bar's value of the key for one line; base is 0 decimal, 1 binary, 2 hexadecimal, and a
// display base of none of those answers `currentBase`.
int64_t valueOfLine(const std::string& key, const NCLine& line, int64_t currentBase = 0);
// Writes a directly transferable or custom key's bar value into the line.
void setValueOnLine(const std::string& key, int64_t value, NCLine& line);
// Whether every line agrees on the key (the display base, trigonometry mode, alignment, or the
// option's value). An empty list is uniform.
bool isUniform(const std::string& key, const std::vector<std::shared_ptr<NCLine>>& lines);
// The bar's value over the lines: the first line's when uniform, else the mixed value.
int64_t valueOfLines(const std::string& key, const std::vector<std::shared_ptr<NCLine>>& lines,
                     int64_t currentValue);

// The display base a bar base selects (10, 2, 16), none for another value; and the display
// format that goes with it (0 for decimal, 4 spaced groups otherwise).
std::optional<int32_t> displayBaseForBase(int64_t base);
int32_t displayFormatForBase(int64_t base);

// A menu item's state for the key over the lines: 1 on, 0 off, -1 mixed. One line or a
// uniform property: on when the tag is the bar's value; otherwise mixed when some line has
// the tag as its value.
int menuItemState(const std::string& key, int64_t tag,
                  const std::vector<std::shared_ptr<NCLine>>& lines, int64_t barValue);

inline constexpr int64_t kMaximumDecimalPlaces = 50;
enum class DecimalPlacesEntry { Accepted, RestorePrevious, Clamped };
struct DecimalPlacesCheck {
    DecimalPlacesEntry entry;
    int64_t value;  // what the field then holds
};
// The text's leading integer ("12 dp" is 12; no digits is 0): below 1 restores the previous
// value, above the maximum is clamped to it, anything else is taken.
DecimalPlacesCheck checkDecimalPlacesEntry(const std::u16string& text, int64_t previous,
                                           int64_t maximum = kMaximumDecimalPlaces);

// Sets the option that the global default feeds on every line of the collection. False for a
// key that is not global or a value of the wrong kind.
bool applyGlobalDefault(const std::string& key, const SettingsValue& value,
                        NCLineCollection& lines);

}  // namespace NBLineFormattingRules

#endif
