// Keystroke replacements: a key combination bound to a text that a calculation text view
// inserts in place of the key's own character. A combination keeps the design's modifier bits
// (the application maps Ctrl to Command, Alt to Option, Meta to Control and Shift to Shift),
// the key's characters with and without modifiers, and its key code.
#ifndef NUMBERA_APP_RULES_NB_MATH_KEY_H
#define NUMBERA_APP_RULES_NB_MATH_KEY_H

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class NCPropertyListValue;

// Modifier bits of a stored combination.
inline constexpr uint64_t NBEventModifierFlagCapsLock = 1ull << 16;
inline constexpr uint64_t NBEventModifierFlagShift = 1ull << 17;
inline constexpr uint64_t NBEventModifierFlagControl = 1ull << 18;
inline constexpr uint64_t NBEventModifierFlagOption = 1ull << 19;
inline constexpr uint64_t NBEventModifierFlagCommand = 1ull << 20;
inline constexpr uint64_t NBEventModifierFlagNumericPad = 1ull << 21;
inline constexpr uint64_t NBEventModifierFlagFunction = 1ull << 23;
// The bits that tell two combinations apart: Control, Option, Command, Help and all above.
inline constexpr uint64_t NBMathKeyModifierMask = 0xff5c0000ull;
// No key.
inline constexpr uint16_t NBMathKeyNoKeyCode = 0xFFFF;

// A key-down event as a combination is stored.
struct NBKeyEvent {
    uint64_t modifierFlags = 0;
    std::u16string characters;
    std::u16string charactersIgnoringModifiers;
    uint16_t keyCode = NBMathKeyNoKeyCode;
    friend bool operator==(const NBKeyEvent&, const NBKeyEvent&) = default;
};

class NBMathKey {
  public:
    // An empty, enabled key with no key.
    NBMathKey() = default;
    // The event, no string, not enabled.
    explicit NBMathKey(NBKeyEvent event) : m_event(std::move(event)), m_enabled(false) {}
    // From a stored dictionary; missing texts are empty.
    static NBMathKey withDictionaryRep(const NCPropertyListValue& dictionary);

    const NBKeyEvent& event() const { return m_event; }
    void setEvent(NBKeyEvent event) { m_event = std::move(event); }
    const std::u16string& string() const { return m_string; }
    void setString(std::u16string string) { m_string = std::move(string); }
    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }

    // The same combination: equal modifier bits under the mask and equal characters ignoring
    // modifiers (Shift counts only through the characters).
    bool isEqualTo(const NBMathKey& other) const;
    // "⌥P", "⌃⌘X": the modifiers in the order Control, Option, Shift, Command, then the key.
    std::u16string stringValue() const;
    static std::u16string keyStrokeRepresentation(const NBKeyEvent& event);
    // The combination as the desktop names keys: "Alt+P", "Ctrl+Alt+K" (Ctrl for the stored
    // command bit, Alt for option, Meta for control), the file keeping the stored form.
    static std::u16string desktopKeyStrokeText(const NBKeyEvent& event);
    std::u16string desktopStringValue() const { return desktopKeyStrokeText(m_event); }

  private:
    NBKeyEvent m_event;
    std::u16string m_string;
    bool m_enabled = true;
};

// The process's keystroke-replacement list, read from "Mathkeys.plist" in the data folder (or
// the bundled default list) and written back there.
class NBMathKeyController {
  public:
    NBMathKeyController() = default;
    static NBMathKeyController& sharedInstance();

    // The user file at the path, else the bundled file; a user file that cannot be read is
    // moved aside so that a later save never overwrites it. An empty bundled path: none.
    void beginLife(const std::string& dataSourcePath, const std::string& bundledPath);
    // The list written to the data-source path; false, logged, when that failed.
    bool endLife();
    bool save() { return endLife(); }

    // The text of the first matching, enabled key with a non-empty string; none otherwise.
    std::optional<std::u16string> stringForMathKey(const NBMathKey& probe) const;
    std::optional<std::u16string> stringForEvent(const NBKeyEvent& event) const {
        return stringForMathKey(NBMathKey(event));
    }
    void addMathkey(NBMathKey key) { m_keystrokeReplacements.push_back(std::move(key)); }
    std::vector<NBMathKey>& keystrokeReplacements() { return m_keystrokeReplacements; }
    const std::string& dataSourcePath() const { return m_dataSourcePath; }
    void setDataSourcePath(std::string path) { m_dataSourcePath = std::move(path); }

  private:
    bool loadFrom(const std::string& path, bool logFailure);

    std::vector<NBMathKey> m_keystrokeReplacements;
    std::string m_dataSourcePath;
};

#endif
