#include "XInput.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <thread>

namespace Desktop {

namespace {

// Decodes UTF-8; a broken sequence reads as U+FFFD.
std::vector<char32_t> codePoints(std::string_view text) {
    std::vector<char32_t> points;
    for (size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        int length = byte < 0x80         ? 1
                     : (byte >> 5) == 6  ? 2
                     : (byte >> 4) == 14 ? 3
                     : (byte >> 3) == 30 ? 4
                                         : 0;
        if (length == 0 || i + static_cast<size_t>(length) > text.size()) {
            points.push_back(0xFFFD);
            ++i;
            continue;
        }
        char32_t point = length == 1 ? byte : byte & (0x7F >> length);
        for (int k = 1; k < length; ++k)
            point = (point << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        points.push_back(point);
        i += static_cast<size_t>(length);
    }
    return points;
}

KeySym keysymForCharacter(char32_t c) {
    switch (c) {
        case U'\n':
        case U'\r':
            return XK_Return;
        case U'\t':
            return XK_Tab;
        case U'\b':
            return XK_BackSpace;
        default:
            break;
    }
    if ((c >= 0x20 && c <= 0x7E) || (c >= 0xA0 && c <= 0xFF)) return c;
    return 0x01000000 | c;
}

std::string lower(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

// "ctrl+shift+s" → {"ctrl", "shift"}, "s"; "ctrl++" → {"ctrl"}, "+".
void splitChord(std::string_view chord, std::vector<std::string>* modifiers, std::string* key) {
    std::string_view rest = chord;
    if (rest.size() >= 2 && rest.substr(rest.size() - 2) == "++") {
        *key = "+";
        rest = rest.substr(0, rest.size() - 2);
    } else if (rest == "+") {
        *key = "+";
        rest = {};
    } else {
        const size_t last = rest.rfind('+');
        *key = std::string(last == std::string_view::npos ? rest : rest.substr(last + 1));
        rest = last == std::string_view::npos ? std::string_view() : rest.substr(0, last);
    }
    while (!rest.empty()) {
        const size_t plus = rest.find('+');
        modifiers->push_back(lower(rest.substr(0, plus)));
        rest = plus == std::string_view::npos ? std::string_view() : rest.substr(plus + 1);
    }
}

bool isModifierName(const std::string& name) {
    return name == "ctrl" || name == "control" || name == "shift" || name == "alt" ||
           name == "super" || name == "meta" || name == "win" || name == "altgr";
}

const char* modifierKeyName(const std::string& name) {
    if (name == "ctrl" || name == "control") return "Control_L";
    if (name == "shift") return "Shift_L";
    if (name == "alt") return "Alt_L";
    if (name == "altgr") return "ISO_Level3_Shift";
    return "Super_L";
}

KeySym keysymForKeyName(const std::string& name) {
    const std::string lowered = lower(name);
    static const std::map<std::string, const char*> aliases = {
        {"enter", "Return"},  {"return", "Return"},       {"esc", "Escape"},
        {"escape", "Escape"}, {"backspace", "BackSpace"}, {"del", "Delete"},
        {"delete", "Delete"}, {"pageup", "Prior"},        {"pgup", "Prior"},
        {"pagedown", "Next"}, {"pgdown", "Next"},         {"tab", "Tab"},
        {"up", "Up"},         {"down", "Down"},           {"left", "Left"},
        {"right", "Right"},   {"home", "Home"},           {"end", "End"},
        {"insert", "Insert"}, {"space", "space"},         {"menu", "Menu"}};
    if (auto found = aliases.find(lowered); found != aliases.end())
        return XStringToKeysym(found->second);
    if (lowered == "plus") return '+';
    if (lowered == "minus") return '-';
    const std::vector<char32_t> points = codePoints(name);
    if (points.size() == 1) {
        char32_t c = points[0];
        // A letter names its key: Ctrl+Q is Ctrl and the Q key, without Shift.
        if (c < 0x80 && std::isupper(static_cast<int>(c))) c = std::tolower(static_cast<int>(c));
        return keysymForCharacter(c);
    }
    return XStringToKeysym(name.c_str());
}

}  // namespace

XInput::XInput(XSession& session) : m_session(session) {
    int event, error, major, minor;
    m_ok = session.ok() &&
           XTestQueryExtension(session.display(), &event, &error, &major, &minor) == True;
    if (!m_ok) return;
    // Keys that carry no symbol at all can be lent to characters that are on no key.
    Display* x = session.display();
    int low = 0, high = 0, perKey = 0;
    XDisplayKeycodes(x, &low, &high);
    KeySym* map = XGetKeyboardMapping(x, static_cast<KeyCode>(low), high - low + 1, &perKey);
    for (int code = high; code >= low && m_spare.size() < 8; --code) {
        bool empty = true;
        for (int k = 0; k < perKey; ++k)
            if (map[(code - low) * perKey + k] != NoSymbol) empty = false;
        if (empty) m_spare.push_back(static_cast<unsigned>(code));
    }
    if (map) XFree(map);
}

XInput::~XInput() {
    if (!m_ok) return;
    // Lent keys go back to carrying nothing.
    Display* x = m_session.display();
    for (const auto& [symbol, code] : m_lent) {
        KeySym none[2] = {NoSymbol, NoSymbol};
        XChangeKeyboardMapping(x, static_cast<int>(code), 2, none, 1);
    }
    XSync(x, False);
}

void XInput::pause() const {
    if (m_pauseMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(m_pauseMs));
}

void XInput::fakeKey(unsigned keycode, bool down) {
    XTestFakeKeyEvent(m_session.display(), keycode, down ? True : False, CurrentTime);
    XFlush(m_session.display());
    pause();
}

XInput::KeyStroke XInput::keyFor(unsigned long keysym) {
    Display* x = m_session.display();
    const bool hasLevel3 = XKeysymToKeycode(x, XK_ISO_Level3_Shift) != 0;
    const auto levelOn = [&](unsigned code) {
        for (int level = 0; level < (hasLevel3 ? 4 : 2); ++level)
            if (XkbKeycodeToKeysym(x, static_cast<KeyCode>(code), 0, level) == keysym) return level;
        return -1;
    };
    if (auto lent = m_lent.find(keysym); lent != m_lent.end()) return {lent->second, 0};
    if (const KeyCode code = XKeysymToKeycode(x, keysym)) {
        if (const int level = levelOn(code); level >= 0) return {code, level};
    }
    int low = 0, high = 0;
    XDisplayKeycodes(x, &low, &high);
    for (int code = low; code <= high; ++code) {
        if (std::find(m_spare.begin(), m_spare.end(), static_cast<unsigned>(code)) != m_spare.end())
            continue;
        if (const int level = levelOn(static_cast<unsigned>(code)); level >= 0)
            return {static_cast<unsigned>(code), level};
    }
    if (m_spare.empty()) return {};
    // On no key: lend a spare one, and give the clients a moment to read the new map.
    const unsigned code = m_spare[m_nextSpare++ % m_spare.size()];
    for (auto it = m_lent.begin(); it != m_lent.end(); ++it) {
        if (it->second != code) continue;
        m_lent.erase(it);
        break;
    }
    KeySym symbols[2] = {keysym, keysym};
    XChangeKeyboardMapping(x, static_cast<int>(code), 2, symbols, 1);
    XSync(x, False);
    m_lent[keysym] = code;
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
    return {code, 0};
}

unsigned XInput::keycodeOfModifier(const std::string& name) {
    return XKeysymToKeycode(m_session.display(), XStringToKeysym(modifierKeyName(name)));
}

void XInput::tapKey(const KeyStroke& press, const std::vector<unsigned>& held) {
    if (!press.keycode) return;
    std::vector<unsigned> extra;
    const auto hold = [&](const char* name) {
        const unsigned code = keycodeOfModifier(name);
        if (!code || std::find(held.begin(), held.end(), code) != held.end()) return;
        fakeKey(code, true);
        extra.push_back(code);
    };
    if (press.level == 1 || press.level == 3) hold("shift");
    if (press.level >= 2) hold("altgr");
    fakeKey(press.keycode, true);
    fakeKey(press.keycode, false);
    for (auto it = extra.rbegin(); it != extra.rend(); ++it) fakeKey(*it, false);
}

void XInput::type(std::string_view text) {
    if (!m_ok) return;
    for (char32_t c : codePoints(text)) tapKey(keyFor(keysymForCharacter(c)), {});
}

void XInput::holdModifiers(std::string_view modifiers, bool down, std::vector<unsigned>* held) {
    if (modifiers.empty()) return;
    std::vector<std::string> names;
    std::string ignored;
    splitChord(std::string(modifiers) + "+x", &names, &ignored);
    if (down) {
        for (const std::string& name : names) {
            const unsigned code = keycodeOfModifier(name);
            if (!code) continue;
            fakeKey(code, true);
            held->push_back(code);
        }
    } else {
        for (auto it = held->rbegin(); it != held->rend(); ++it) fakeKey(*it, false);
        held->clear();
    }
}

void XInput::key(std::string_view chord, int times) {
    if (!m_ok) return;
    std::vector<std::string> modifiers;
    std::string name;
    splitChord(chord, &modifiers, &name);
    for (const std::string& modifier : modifiers)
        if (!isModifierName(modifier)) return;
    std::string joined;
    for (const std::string& modifier : modifiers) joined += (joined.empty() ? "" : "+") + modifier;
    for (int i = 0; i < times; ++i) {
        std::vector<unsigned> held;
        holdModifiers(joined, true, &held);
        if (isModifierName(lower(name))) {
            const unsigned code = keycodeOfModifier(lower(name));
            fakeKey(code, true);
            fakeKey(code, false);
        } else {
            tapKey(keyFor(keysymForKeyName(name)), held);
        }
        holdModifiers(joined, false, &held);
    }
}

void XInput::keyDown(std::string_view key) {
    if (!m_ok) return;
    const std::string name = lower(key);
    if (isModifierName(name)) {
        fakeKey(keycodeOfModifier(name), true);
        return;
    }
    const KeyStroke press = keyFor(keysymForKeyName(std::string(key)));
    if (press.keycode) fakeKey(press.keycode, true);
}

void XInput::keyUp(std::string_view key) {
    if (!m_ok) return;
    const std::string name = lower(key);
    if (isModifierName(name)) {
        fakeKey(keycodeOfModifier(name), false);
        return;
    }
    const KeyStroke press = keyFor(keysymForKeyName(std::string(key)));
    if (press.keycode) fakeKey(press.keycode, false);
}

void XInput::moveTo(Point point) {
    if (!m_ok) return;
    XTestFakeMotionEvent(m_session.display(), -1, point.x, point.y, CurrentTime);
    XFlush(m_session.display());
    pause();
}

void XInput::press(int button) {
    if (!m_ok) return;
    XTestFakeButtonEvent(m_session.display(), static_cast<unsigned>(button), True, CurrentTime);
    XFlush(m_session.display());
    pause();
}

void XInput::release(int button) {
    if (!m_ok) return;
    XTestFakeButtonEvent(m_session.display(), static_cast<unsigned>(button), False, CurrentTime);
    XFlush(m_session.display());
    pause();
}

void XInput::click(Point point, int button, std::string_view modifiers) {
    std::vector<unsigned> held;
    moveTo(point);
    holdModifiers(modifiers, true, &held);
    press(button);
    release(button);
    holdModifiers(modifiers, false, &held);
}

void XInput::doubleClick(Point point, int button, std::string_view modifiers) {
    std::vector<unsigned> held;
    moveTo(point);
    holdModifiers(modifiers, true, &held);
    press(button);
    release(button);
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    press(button);
    release(button);
    holdModifiers(modifiers, false, &held);
}

void XInput::drag(Point from, Point to, int button, int steps, std::string_view modifiers) {
    std::vector<unsigned> held;
    moveTo(from);
    holdModifiers(modifiers, true, &held);
    press(button);
    steps = std::max(steps, 1);
    for (int i = 1; i <= steps; ++i) {
        moveTo({from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    release(button);
    holdModifiers(modifiers, false, &held);
}

void XInput::wheel(Point point, int clicks, bool horizontal) {
    moveTo(point);
    const int button = horizontal ? (clicks > 0 ? 7 : 6) : (clicks > 0 ? 5 : 4);
    for (int i = 0; i < std::abs(clicks); ++i) {
        press(button);
        release(button);
    }
}

}  // namespace Desktop
