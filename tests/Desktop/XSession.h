// What a user sees or keeps on the X server, read through a connection of the test's own: the
// managed windows (titles, stacking, geometry, state, owning process), the clipboard and the
// primary selection, the screen's pixels, and whether a window's event loop still answers.
#ifndef NUMBERA_TESTS_DESKTOP_X_SESSION_H
#define NUMBERA_TESTS_DESKTOP_X_SESSION_H

#include <sys/types.h>

#include <QImage>
#include <memory>
#include <optional>
#include <string>
#include <vector>

typedef struct _XDisplay Display;

namespace Desktop {

struct Point {
    int x = 0;
    int y = 0;
};

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    Point center() const { return {x + width / 2, y + height / 2}; }
    // A point inside, from the top left corner.
    Point at(int dx, int dy) const { return {x + dx, y + dy}; }
    bool contains(Point p) const {
        return p.x >= x && p.y >= y && p.x < x + width && p.y < y + height;
    }
    bool isEmpty() const { return width <= 0 || height <= 0; }
    // "640x480+10+20"
    std::string toString() const;
};

using WindowId = unsigned long;

struct WindowInfo {
    WindowId id = 0;
    std::string title;  // _NET_WM_NAME, else WM_NAME
    Rect client;        // the application's window, in screen coordinates
    Rect frame;         // with the window manager's decoration
    pid_t pid = 0;      // _NET_WM_PID
    bool viewable = false;
    std::vector<std::string> states;  // _NET_WM_STATE without its prefix: "HIDDEN", "MODAL"…
    std::string type;                 // _NET_WM_WINDOW_TYPE without its prefix: "NORMAL"…
    WindowId transientFor = 0;
    bool hasState(const std::string& state) const;
};

enum class Selection { clipboard, primary };

class XSession {
  public:
    // Connects to `display`, else to DISPLAY.
    explicit XSession(const std::string& display = {});
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    bool ok() const { return m_display != nullptr; }
    Display* display() const { return m_display; }
    int screenWidth() const;
    int screenHeight() const;

    // Windows the manager manages, bottom to top (_NET_CLIENT_LIST_STACKING).
    std::vector<WindowInfo> windows() const;
    // Those of one process that are mapped, bottom to top.
    std::vector<WindowInfo> visibleWindowsOf(pid_t pid) const;
    std::optional<WindowInfo> window(WindowId id) const;
    WindowId activeWindow() const;
    // Titles of a process's visible windows, bottom to top.
    std::vector<std::string> titlesOf(pid_t pid) const;
    // One line per window, for failure messages.
    static std::string describe(const std::vector<WindowInfo>& windows);

    // Asks the manager to activate (raise and focus) or to close a window, as its title bar
    // would.
    void activate(WindowId window);
    void close(WindowId window);
    // Asks the manager to put the window's client area there, as a user moving and resizing
    // its frame would.
    void moveResize(WindowId window, const Rect& client);

    // The selection's text as its owner gives it (UTF8_STRING); none when it has no owner or
    // the owner does not answer in time.
    std::optional<std::string> selectionText(Selection selection, double seconds = 5);
    // The raw data of one target ("text/html", "TARGETS" lists atom names one per line).
    std::optional<std::string> selectionData(Selection selection, const std::string& target,
                                             double seconds = 5);
    // Makes the test the selection's owner with this text, as a program copying it would; kept
    // until another program takes the selection or the session ends.
    void setSelectionText(Selection selection, const std::string& text);

    // The screen's pixels now (a rectangle of it, or the whole screen).
    QImage capture(const Rect& area) const;
    QImage captureScreen() const;
    // A window with its frame.
    QImage capture(const WindowInfo& window) const { return capture(window.frame); }

    // Sends _NET_WM_PING; true when the window's event loop answers within the time. A window
    // whose event loop stalls answers nothing, though the server still reports its title.
    bool ping(WindowId window, double seconds = 2);

  private:
    unsigned long atom(const char* name) const;
    std::optional<std::string> property(WindowId window, const char* name,
                                        unsigned long type = 0) const;
    std::vector<unsigned long> cardinals(WindowId window, const char* name) const;
    void sendToRoot(WindowId window, const char* message, const std::vector<long>& data);

    Display* m_display = nullptr;
    WindowId m_own = 0;  // receives selections and pongs
    class Owner;
    std::unique_ptr<Owner> m_owners[2];
    long m_pingSerial = 1;
};

}  // namespace Desktop

#endif
