// The rules of the interface additions that need no toolkit: heading items of menus, the
// state of formatting menu items over the selected lines, keystroke text and the system
// texts of bug reports.
#ifndef NUMBERA_APP_RULES_NB_INTERFACE_RULES_H
#define NUMBERA_APP_RULES_NB_INTERFACE_RULES_H

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "NSKeyedArchive.h"

class NCLine;

// Heading items carry this tag: disabled titles that group the items below them.
inline constexpr int kHeadingItemTag = 8476521;

struct NBMenuItemModel {
    std::u16string title;
    int tag = 0;
    int indentationLevel = 0;
    bool enabled = true;

    // Disabled, with the heading tag.
    static NBMenuItemModel headingItemWithTitle(const std::u16string& title);
    bool isHeadingItem() const { return tag == kHeadingItemTag; }
};

// Every item after a heading gets that heading's indentation level plus one; items before the
// first heading are untouched.
void indentItemsUnderHeadings(std::vector<NBMenuItemModel>& items);

enum class NBMenuItemState { Off, On, Mixed };

// Lines are shared; a null entry stands for an element that is not a line: it is reported
// ("Warning! Array does not contain only lines.") and the answer is false.
using NBLineArray = std::vector<std::shared_ptr<NCLine>>;

// Property names: "base" (display base), "trigonometryMode", "textAlignment", or any key of
// the custom formatting options (NCResultFormattingOptions::valueForKey).
// True for no lines; else whether every line has the same value as the one before it.
bool propertyIsUniformAcrossLines(const NBLineArray& lines, const std::string& property);
// Whether some line has the value. For "base" the value is the menu's numbering: 0 matches
// base 10, 1 base 2, 2 base 16.
bool containsLineWithValue(const NBLineArray& lines, const NSArchiveValue& value,
                           const std::string& propertyID);
// The state of a formatting menu item of the tag, where objectValue is the formatting
// object's current value of the property (none when it has none).
NBMenuItemState stateForFormattingProperty(int itemTag, std::optional<int64_t> objectValue,
                                           const NBLineArray& selectedLines,
                                           const std::string& property);

// "⌃⌥⌘ k": the held modifiers in that order, a space when any, then the characters. Empty
// when there are no characters. The caller maps its keyboard's modifiers to these bits.
std::u16string keyStrokeRepresentation(bool control, bool option, bool command,
                                       const std::u16string& charactersIgnoringModifiers);

// The running system's release text for bug reports: the kernel name and release ("Linux
// 6.1.0-13-amd64"), else "Unknown".
std::u16string operatingSystemVersion();
// "Intel" for x86 machines, else the machine name the kernel reports ("aarch64"), "Unknown"
// when it cannot be read.
std::u16string processorType();
// The machine-name rule alone.
std::u16string processorTypeForMachine(const std::optional<std::string>& machine);

#endif
