// Random but reproducible input for a document window: a generator whose numbers depend only on
// its seed (the same on every machine and library), and a mix of what a user does in a document
// (typing numbers, operators, names, units and line references, moving and selecting with
// modifiers, clicking and dragging in the text and the line-number column, copying and pasting
// through both selections, undoing and redoing). Each event is described in words, so that a
// failing session can say what led to it.
#ifndef NUMBERA_TESTS_NUMBERA_RANDOM_INPUT_H
#define NUMBERA_TESTS_NUMBERA_RANDOM_INPUT_H

#include <cstdint>
#include <string>
#include <vector>

#include "XInput.h"
#include "XSession.h"

namespace Desktop {

// splitmix64: small, fast, and defined bit for bit (the standard distributions are not).
class RandomNumbers {
  public:
    explicit RandomNumbers(uint64_t seed) : m_state(seed) {}
    uint64_t next();
    // A number from 0 to count − 1.
    uint64_t below(uint64_t count) { return count ? next() % count : 0; }
    // A number from low to high, both included.
    int between(int low, int high) {
        return low + static_cast<int>(below(static_cast<uint64_t>(high - low + 1)));
    }
    bool chance(int percent) { return below(100) < static_cast<uint64_t>(percent); }
    template <typename T>
    const T& pick(const std::vector<T>& items) {
        return items[below(items.size())];
    }

  private:
    uint64_t m_state;
};

// Where the events land: the text and the line-number column of one document window, in
// screen coordinates.
struct DocumentArea {
    Rect text;
    Rect lineNumbers;
};

// What the next event may not do, for paths known to fail that are mended elsewhere.
struct EventLimits {
    // Pastes (Ctrl+V, middle click) of lines the program itself copied or selected; when off,
    // only text that another program put on the clipboard or the primary selection is pasted.
    bool pastesOwnLines = true;
};

class RandomInput {
  public:
    RandomInput(XSession& x, XInput& input, uint64_t seed, const DocumentArea& area,
                const EventLimits& limits = {});

    // Sends the next event and answers its description.
    std::string next();
    // How many events were sent.
    uint64_t count() const { return m_count; }

  private:
    Point pointIn(const Rect& area);
    std::string modifiers();
    std::string typing();
    std::string pasting(const std::string& how);
    std::string someLines();

    XSession& m_x;
    XInput& m_input;
    RandomNumbers m_random;
    DocumentArea m_area;
    EventLimits m_limits;
    uint64_t m_count = 0;
    // Whether the clipboard holds text of another program's (the program's own copies hold
    // its lines).
    bool m_clipboardIsForeign = false;
};

}  // namespace Desktop

#endif
