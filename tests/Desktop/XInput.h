// Input as from a keyboard and a mouse, sent through the X server's XTest extension: every
// character is typed on its key with the Shift or AltGr press it needs (a character on no key
// is put on a spare key for the moment), chords press their modifiers first and release them
// last, and the pointer moves before it clicks. Events reach whichever window has the focus or
// lies under the pointer, through the window manager, exactly as a user's do.
#ifndef NUMBERA_TESTS_DESKTOP_X_INPUT_H
#define NUMBERA_TESTS_DESKTOP_X_INPUT_H

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "XSession.h"

namespace Desktop {

class XInput {
  public:
    explicit XInput(XSession& session);
    ~XInput();

    // False when the server has no XTest.
    bool ok() const { return m_ok; }
    // The pause after each event, so that the application sees them as separate moments.
    void setPause(int milliseconds) { m_pauseMs = milliseconds; }

    // Types UTF-8 text: "\n" is Return, "\t" Tab.
    void type(std::string_view text);
    // A chord, modifiers first: "ctrl+q", "shift+Up", "ctrl+shift+s", "alt+F4", "Return",
    // "ctrl+plus" or "ctrl++". Modifiers: ctrl, shift, alt, super, altgr. Keys: X key names
    // (Return, Escape, BackSpace, Delete, Home, End, Prior, Next, Up, F1…) or one character.
    // A key that is a shifted character on the keyboard gets its Shift press too.
    void key(std::string_view chord, int times = 1);
    // Presses or releases one key or modifier, held between the two (e.g. Shift over clicks).
    void keyDown(std::string_view key);
    void keyUp(std::string_view key);

    void moveTo(Point point);
    void press(int button = 1);
    void release(int button = 1);
    // Moves there, then clicks; `modifiers` ("shift", "ctrl+alt") are held around it.
    void click(Point point, int button = 1, std::string_view modifiers = {});
    void doubleClick(Point point, int button = 1, std::string_view modifiers = {});
    void middleClick(Point point) { click(point, 2); }
    void rightClick(Point point) { click(point, 3); }
    // Presses at `from`, moves in steps to `to`, releases there.
    void drag(Point from, Point to, int button = 1, int steps = 12,
              std::string_view modifiers = {});
    // Wheel clicks at the point: positive scrolls down (or right), negative up (or left).
    void wheel(Point point, int clicks, bool horizontal = false);

  private:
    struct KeyStroke {
        unsigned keycode = 0;
        int level = 0;  // 0 plain, 1 Shift, 2 AltGr, 3 Shift+AltGr
    };
    KeyStroke keyFor(unsigned long keysym);
    unsigned keycodeOfModifier(const std::string& name);
    void fakeKey(unsigned keycode, bool down);
    void tapKey(const KeyStroke& press, const std::vector<unsigned>& held);
    void holdModifiers(std::string_view modifiers, bool down, std::vector<unsigned>* held);
    void pause() const;

    XSession& m_session;
    bool m_ok = false;
    int m_pauseMs = 6;
    // Spare keycodes lent to characters on no key, and what they carry now.
    std::vector<unsigned> m_spare;
    std::map<unsigned long, unsigned> m_lent;
    size_t m_nextSpare = 0;
};

}  // namespace Desktop

#endif
