#include "RandomInput.h"

#include <algorithm>

namespace Desktop {

uint64_t RandomNumbers::next() {
    uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

namespace {

const std::vector<std::string> kOperators = {"+", "-", "*", "/", "^", "(",   ")",
                                             "%", " ", "=", ",", ".", " + ", " * "};
// Names of functions, constants, units, currencies and words the engine reads, and symbols
// typed as they appear in other programs' text.
const std::vector<std::string> kNames = {
    "sum",      "total",        "average", "pi",       "sqrt(",    "sin(",
    "abs(",     " km",          " m",      " kg",      " in ",     " to ",
    " USD",     " EUR",         "x = ",    "x",        "prev",     "ans",
    "today",    " day",         " hours",  "% of ",    " inch",    "e",
    "mod",      "round(",       " cm",     "\xC3\x97", "\xC3\xB7", "\xE2\x88\x92",
    "\xC2\xB2", "\xE2\x82\xAC", "\xC2\xA3"};
const std::vector<std::string> kMoves = {"Left", "Right", "Up",    "Down",
                                         "Home", "End",   "Prior", "Next"};
const std::vector<std::string> kEdits = {"BackSpace",      "Delete",      "Return", "shift+Return",
                                         "ctrl+BackSpace", "ctrl+Delete", "Tab"};

}  // namespace

RandomInput::RandomInput(XSession& x, XInput& input, uint64_t seed, const DocumentArea& area,
                         const EventLimits& limits)
    : m_x(x), m_input(input), m_random(seed), m_area(area), m_limits(limits) {}

Point RandomInput::pointIn(const Rect& area) {
    return {area.x + m_random.between(2, std::max(2, area.width - 3)),
            area.y + m_random.between(2, std::max(2, area.height - 3))};
}

std::string RandomInput::modifiers() {
    switch (m_random.below(6)) {
        case 0:
            return "shift";
        case 1:
            return "ctrl";
        case 2:
            return "ctrl+shift";
        default:
            return "";
    }
}

std::string RandomInput::typing() {
    std::string text;
    switch (m_random.below(5)) {
        case 0:
        case 1: {
            const int digits = m_random.between(1, 6);
            for (int i = 0; i < digits; ++i) text += static_cast<char>('0' + m_random.below(10));
            if (m_random.chance(20)) text += "." + std::to_string(m_random.below(100));
            break;
        }
        case 2:
            text = m_random.pick(kOperators);
            break;
        case 3:
            text = m_random.pick(kNames);
            break;
        default:
            text = "line" + std::to_string(m_random.between(0, 14));
            break;
    }
    m_input.type(text);
    return "type \"" + text + "\"";
}

// Lines as another program's text would bring them: numbers, sums, references and blank lines.
std::string RandomInput::someLines() {
    std::string text;
    const int lines = m_random.between(1, 8);
    for (int i = 0; i < lines; ++i) {
        if (i) text += "\n";
        switch (m_random.below(4)) {
            case 0:
                text += std::to_string(m_random.below(1000));
                break;
            case 1:
                text += std::to_string(m_random.below(100)) + " + " +
                        std::to_string(m_random.below(100));
                break;
            case 2:
                text += "line" + std::to_string(m_random.between(1, 12)) + " * 2";
                break;
            default:
                break;
        }
    }
    return text;
}

std::string RandomInput::pasting(const std::string& how) {
    if (how == "middle") {
        const Point at = pointIn(m_area.text);
        m_input.middleClick(at);
        return "middle click at " + std::to_string(at.x) + "," + std::to_string(at.y);
    }
    m_input.key("ctrl+v");
    return "ctrl+v";
}

std::string RandomInput::next() {
    ++m_count;
    const bool ownLines = m_limits.pastesOwnLines;
    const uint64_t kind = m_random.below(100);
    std::string event;
    if (kind < 34) {
        event = typing();
    } else if (kind < 50) {
        const std::string chord = modifiers();
        const std::string key = m_random.pick(kMoves);
        const int times = m_random.chance(20) ? m_random.between(2, 12) : 1;
        const std::string full = chord.empty() ? key : chord + "+" + key;
        m_input.key(full, times);
        event = "key " + full + " ×" + std::to_string(times);
    } else if (kind < 58) {
        const std::string key = m_random.pick(kEdits);
        m_input.key(key);
        event = "key " + key;
    } else if (kind < 63) {
        const std::string key = m_random.chance(70) ? "ctrl+z" : "ctrl+shift+z";
        m_input.key(key);
        event = "key " + key;
    } else if (kind < 68) {
        const std::string key =
            m_random.pick(std::vector<std::string>{"ctrl+c", "ctrl+x", "ctrl+a", "ctrl+c"});
        m_input.key(key);
        event = "key " + key;
        if (key != "ctrl+a") m_clipboardIsForeign = false;
    } else if (kind < 73) {
        event = ownLines || m_clipboardIsForeign ? pasting("ctrl") : "(no paste)";
    } else if (kind < 76) {
        // Another program copied some lines.
        const std::string text = someLines();
        m_x.setSelectionText(Selection::clipboard, text);
        m_clipboardIsForeign = true;
        event = "clipboard from another program (" + std::to_string(text.size()) + " bytes), " +
                pasting("ctrl");
    } else if (kind < 79) {
        const std::string text = someLines();
        m_x.setSelectionText(Selection::primary, text);
        event = "primary selection from another program, " + pasting("middle");
    } else if (kind < 81) {
        // The primary selection is whatever the program selected last.
        event = ownLines ? pasting("middle") : "(no paste)";
    } else if (kind < 88) {
        const Point at = pointIn(m_area.text);
        const std::string held = m_random.chance(25) ? "shift" : "";
        if (m_random.chance(15))
            m_input.doubleClick(at);
        else
            m_input.click(at, 1, held);
        event =
            "click " + held + " in text at " + std::to_string(at.x) + "," + std::to_string(at.y);
    } else if (kind < 92) {
        const Point from = pointIn(m_area.text);
        const Point to = pointIn(m_area.text);
        m_input.drag(from, to, 1, 6);
        event = "drag in text " + std::to_string(from.x) + "," + std::to_string(from.y) + " to " +
                std::to_string(to.x) + "," + std::to_string(to.y);
    } else if (kind < 97) {
        const Point from = pointIn(m_area.lineNumbers);
        if (m_random.chance(40)) {
            const std::string held = m_random.chance(30) ? "shift" : "";
            m_input.click(from, 1, held);
            event = "click " + held + " in line numbers at " + std::to_string(from.x) + "," +
                    std::to_string(from.y);
        } else {
            const Point to = pointIn(m_area.lineNumbers);
            m_input.drag(from, to, 1, 6);
            event =
                "drag in line numbers " + std::to_string(from.y) + " to " + std::to_string(to.y);
        }
    } else {
        const int clicks = m_random.between(-4, 4);
        m_input.wheel(pointIn(m_area.text), clicks);
        event = "wheel " + std::to_string(clicks);
    }
    return event;
}

}  // namespace Desktop
