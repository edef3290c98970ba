#include "XSession.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

#include "DesktopWaiting.h"

namespace Desktop {

namespace {

// A window that went away between two requests is no reason to end the test program.
int ignoreErrors(Display*, XErrorEvent*) { return 0; }

void installErrorHandler() {
    static std::once_flag once;
    std::call_once(once, [] {
        XInitThreads();
        XSetErrorHandler(ignoreErrors);
    });
}

using Clock = std::chrono::steady_clock;

// Waits for an event that `match` accepts, dropping the others; false after the time. The
// test's own event loop runs meanwhile when `pumping` (a window of this process may be the
// one that must answer).
template <typename Match>
bool waitForEvent(Display* x, double seconds, XEvent* event, Match match, bool pumping = false) {
    const auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        while (XPending(x)) {
            XNextEvent(x, event);
            if (match(*event)) return true;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return false;
        pollfd waiting{ConnectionNumber(x), POLLIN, 0};
        ::poll(&waiting, 1, static_cast<int>(std::min<long long>(left, pumping ? 5 : 50)));
        if (pumping) runEventPump();
    }
}

std::string atomName(Display* x, Atom atom) {
    char* name = XGetAtomName(x, atom);
    std::string text = name ? name : "";
    if (name) XFree(name);
    return text;
}

}  // namespace

std::string Rect::toString() const {
    return std::to_string(width) + "x" + std::to_string(height) + "+" + std::to_string(x) + "+" +
           std::to_string(y);
}

bool WindowInfo::hasState(const std::string& state) const {
    for (const std::string& s : states)
        if (s == state) return true;
    return false;
}

// The owner of one selection: a connection and a thread of its own that answer requests for
// the text until another program takes the selection.
class XSession::Owner {
  public:
    Owner(const std::string& displayName, Selection selection, std::string text)
        : m_text(std::move(text)) {
        m_display = XOpenDisplay(displayName.c_str());
        if (!m_display) return;
        m_selection = XInternAtom(
            m_display, selection == Selection::clipboard ? "CLIPBOARD" : "PRIMARY", False);
        m_window =
            XCreateSimpleWindow(m_display, DefaultRootWindow(m_display), 0, 0, 1, 1, 0, 0, 0);
        // A timestamp of our own: a property change answers with the server's time.
        XSelectInput(m_display, m_window, PropertyChangeMask);
        const Atom stamp = XInternAtom(m_display, "NUMBERA_TEST_STAMP", False);
        XChangeProperty(m_display, m_window, stamp, XA_STRING, 8, PropModeReplace, nullptr, 0);
        XEvent event;
        Time time = CurrentTime;
        if (waitForEvent(m_display, 2, &event,
                         [&](const XEvent& e) { return e.type == PropertyNotify; }))
            time = event.xproperty.time;
        XSetSelectionOwner(m_display, m_selection, m_window, time);
        XSync(m_display, False);
        m_thread = std::thread([this] { serve(); });
    }

    ~Owner() {
        m_stop = true;
        if (m_thread.joinable()) m_thread.join();
        if (m_display) XCloseDisplay(m_display);
    }

  private:
    void serve() {
        const Atom targets = XInternAtom(m_display, "TARGETS", False);
        const Atom utf8 = XInternAtom(m_display, "UTF8_STRING", False);
        const Atom plain = XInternAtom(m_display, "text/plain;charset=utf-8", False);
        const Atom text = XInternAtom(m_display, "TEXT", False);
        while (!m_stop) {
            XEvent event;
            if (!waitForEvent(m_display, 0.05, &event, [](const XEvent& e) {
                    return e.type == SelectionRequest || e.type == SelectionClear;
                }))
                continue;
            if (event.type == SelectionClear) return;
            const XSelectionRequestEvent& request = event.xselectionrequest;
            XSelectionEvent reply{};
            reply.type = SelectionNotify;
            reply.requestor = request.requestor;
            reply.selection = request.selection;
            reply.target = request.target;
            reply.time = request.time;
            reply.property = request.property ? request.property : request.target;
            if (request.target == targets) {
                const Atom offered[] = {targets, utf8, plain, text, XA_STRING};
                XChangeProperty(m_display, request.requestor, reply.property, XA_ATOM, 32,
                                PropModeReplace, reinterpret_cast<const unsigned char*>(offered),
                                5);
            } else if (request.target == utf8 || request.target == plain ||
                       request.target == text || request.target == XA_STRING) {
                XChangeProperty(m_display, request.requestor, reply.property,
                                request.target == text ? utf8 : request.target, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(m_text.data()),
                                static_cast<int>(m_text.size()));
            } else {
                reply.property = None;
            }
            XSendEvent(m_display, request.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
            XFlush(m_display);
        }
    }

    Display* m_display = nullptr;
    Window m_window = 0;
    Atom m_selection = 0;
    std::string m_text;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

XSession::XSession(const std::string& displayName) {
    installErrorHandler();
    m_display = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
    if (!m_display) return;
    m_own = XCreateSimpleWindow(m_display, DefaultRootWindow(m_display), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(m_display, m_own, PropertyChangeMask);
    // Pongs come back to the root window with the structure-notify mask.
    XSelectInput(m_display, DefaultRootWindow(m_display), StructureNotifyMask);
    XSync(m_display, False);
}

XSession::~XSession() {
    for (auto& owner : m_owners) owner.reset();
    if (m_display) XCloseDisplay(m_display);
}

int XSession::screenWidth() const { return DisplayWidth(m_display, DefaultScreen(m_display)); }

int XSession::screenHeight() const { return DisplayHeight(m_display, DefaultScreen(m_display)); }

unsigned long XSession::atom(const char* name) const { return XInternAtom(m_display, name, False); }

std::optional<std::string> XSession::property(WindowId window, const char* name,
                                              unsigned long type) const {
    Atom actual;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(m_display, window, atom(name), 0, 1 << 24, False,
                           type ? type : AnyPropertyType, &actual, &format, &count, &after,
                           &data) != Success ||
        actual == None) {
        if (data) XFree(data);
        return std::nullopt;
    }
    const size_t unit = format == 32 ? sizeof(long) : static_cast<size_t>(format / 8);
    std::string bytes(reinterpret_cast<const char*>(data), count * unit);
    XFree(data);
    return bytes;
}

std::vector<unsigned long> XSession::cardinals(WindowId window, const char* name) const {
    std::vector<unsigned long> values;
    const auto bytes = property(window, name);
    if (!bytes) return values;
    values.resize(bytes->size() / sizeof(long));
    if (!values.empty()) std::memcpy(values.data(), bytes->data(), values.size() * sizeof(long));
    return values;
}

std::optional<WindowInfo> XSession::window(WindowId id) const {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(m_display, id, &attributes)) return std::nullopt;
    WindowInfo info;
    info.id = id;
    info.viewable = attributes.map_state == IsViewable;
    if (auto name = property(id, "_NET_WM_NAME", atom("UTF8_STRING")))
        info.title = *name;
    else if (auto old = property(id, "WM_NAME"))
        info.title = *old;
    Window child;
    int x = 0, y = 0;
    XTranslateCoordinates(m_display, id, DefaultRootWindow(m_display), 0, 0, &x, &y, &child);
    info.client = {x, y, attributes.width, attributes.height};
    info.frame = info.client;
    const auto extents = cardinals(id, "_NET_FRAME_EXTENTS");  // left, right, top, bottom
    if (extents.size() == 4) {
        info.frame = {x - static_cast<int>(extents[0]), y - static_cast<int>(extents[2]),
                      attributes.width + static_cast<int>(extents[0] + extents[1]),
                      attributes.height + static_cast<int>(extents[2] + extents[3])};
    }
    if (const auto pid = cardinals(id, "_NET_WM_PID"); !pid.empty())
        info.pid = static_cast<pid_t>(pid[0]);
    for (unsigned long state : cardinals(id, "_NET_WM_STATE")) {
        std::string name = atomName(m_display, state);
        if (name.rfind("_NET_WM_STATE_", 0) == 0) name = name.substr(14);
        info.states.push_back(name);
    }
    if (const auto types = cardinals(id, "_NET_WM_WINDOW_TYPE"); !types.empty()) {
        info.type = atomName(m_display, types[0]);
        if (info.type.rfind("_NET_WM_WINDOW_TYPE_", 0) == 0) info.type = info.type.substr(20);
    }
    Window transient = 0;
    if (XGetTransientForHint(m_display, id, &transient)) info.transientFor = transient;
    return info;
}

std::vector<WindowInfo> XSession::windows() const {
    std::vector<WindowInfo> list;
    for (unsigned long id : cardinals(DefaultRootWindow(m_display), "_NET_CLIENT_LIST_STACKING"))
        if (auto info = window(id)) list.push_back(*info);
    return list;
}

std::vector<WindowInfo> XSession::visibleWindowsOf(pid_t pid) const {
    std::vector<WindowInfo> list;
    for (const WindowInfo& info : windows())
        if (info.pid == pid && info.viewable) list.push_back(info);
    return list;
}

std::vector<std::string> XSession::titlesOf(pid_t pid) const {
    std::vector<std::string> titles;
    for (const WindowInfo& info : visibleWindowsOf(pid)) titles.push_back(info.title);
    return titles;
}

WindowId XSession::activeWindow() const {
    const auto active = cardinals(DefaultRootWindow(m_display), "_NET_ACTIVE_WINDOW");
    return active.empty() ? 0 : active[0];
}

std::string XSession::describe(const std::vector<WindowInfo>& windows) {
    if (windows.empty()) return "no windows";
    std::string text = "windows, bottom to top:";
    for (const WindowInfo& info : windows) {
        text += "\n  \"" + info.title + "\" " + info.frame.toString() + " pid " +
                std::to_string(info.pid) + (info.viewable ? "" : " (unmapped)");
        for (const std::string& state : info.states) text += " " + state;
    }
    return text;
}

void XSession::sendToRoot(WindowId window, const char* message, const std::vector<long>& data) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = atom(message);
    event.xclient.format = 32;
    for (size_t i = 0; i < data.size() && i < 5; ++i) event.xclient.data.l[i] = data[i];
    XSendEvent(m_display, DefaultRootWindow(m_display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(m_display);
}

void XSession::activate(WindowId window) {
    // Source 2: a pager, which the manager obeys without focus-stealing rules.
    sendToRoot(window, "_NET_ACTIVE_WINDOW", {2, CurrentTime, 0});
}

void XSession::close(WindowId window) { sendToRoot(window, "_NET_CLOSE_WINDOW", {CurrentTime, 2}); }

void XSession::moveResize(WindowId window, const Rect& client) {
    // Static gravity: the position is the client's own; x, y, width and height all given;
    // source 2, a pager.
    const long flags = 10 | (1 << 8) | (1 << 9) | (1 << 10) | (1 << 11) | (2 << 12);
    sendToRoot(window, "_NET_MOVERESIZE_WINDOW",
               {flags, client.x, client.y, client.width, client.height});
}

std::optional<std::string> XSession::selectionData(Selection selection, const std::string& target,
                                                   double seconds) {
    const Atom which = atom(selection == Selection::clipboard ? "CLIPBOARD" : "PRIMARY");
    if (XGetSelectionOwner(m_display, which) == None) return std::nullopt;
    const Atom into = atom("NUMBERA_TEST_SELECTION");
    XDeleteProperty(m_display, m_own, into);
    XConvertSelection(m_display, which, atom(target.c_str()), into, m_own, CurrentTime);
    XFlush(m_display);
    XEvent event;
    if (!waitForEvent(
            m_display, seconds, &event,
            [&](const XEvent& e) {
                return e.type == SelectionNotify && e.xselection.requestor == m_own;
            },
            true))
        return std::nullopt;
    if (event.xselection.property == None) return std::nullopt;

    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    XGetWindowProperty(m_display, m_own, into, 0, 0, False, AnyPropertyType, &type, &format, &count,
                       &after, &data);
    if (data) XFree(data);
    std::string bytes;
    const auto read = [&]() -> bool {
        unsigned char* chunk = nullptr;
        if (XGetWindowProperty(m_display, m_own, into, 0, 1 << 24, True, AnyPropertyType, &type,
                               &format, &count, &after, &chunk) != Success)
            return false;
        if (type == XA_ATOM && format == 32) {
            // Atom lists come back as their names, one per line.
            const auto* atoms = reinterpret_cast<const Atom*>(chunk);
            for (unsigned long i = 0; i < count; ++i) bytes += atomName(m_display, atoms[i]) + "\n";
        } else if (chunk) {
            bytes.append(reinterpret_cast<const char*>(chunk),
                         count * (format == 32 ? sizeof(long) : format / 8));
        }
        if (chunk) XFree(chunk);
        return true;
    };
    if (type != atom("INCR")) {
        if (!read()) return std::nullopt;
        return bytes;
    }
    // Large data comes in pieces, each announced by a new value of the property.
    XDeleteProperty(m_display, m_own, into);
    XFlush(m_display);
    for (;;) {
        if (!waitForEvent(
                m_display, seconds, &event,
                [&](const XEvent& e) {
                    return e.type == PropertyNotify && e.xproperty.window == m_own &&
                           e.xproperty.atom == into && e.xproperty.state == PropertyNewValue;
                },
                true))
            return std::nullopt;
        const size_t before = bytes.size();
        if (!read()) return std::nullopt;
        if (bytes.size() == before) return bytes;
    }
}

std::optional<std::string> XSession::selectionText(Selection selection, double seconds) {
    return selectionData(selection, "UTF8_STRING", seconds);
}

void XSession::setSelectionText(Selection selection, const std::string& text) {
    auto& owner = m_owners[selection == Selection::clipboard ? 0 : 1];
    owner.reset();
    owner = std::make_unique<Owner>(DisplayString(m_display), selection, text);
}

QImage XSession::capture(const Rect& requested) const {
    Rect area = requested;
    // Only what lies on the screen can be read.
    const int right = std::min(area.x + area.width, screenWidth());
    const int bottom = std::min(area.y + area.height, screenHeight());
    area.x = std::max(area.x, 0);
    area.y = std::max(area.y, 0);
    area.width = right - area.x;
    area.height = bottom - area.y;
    if (area.isEmpty()) return {};
    XImage* image = XGetImage(m_display, DefaultRootWindow(m_display), area.x, area.y,
                              static_cast<unsigned>(area.width), static_cast<unsigned>(area.height),
                              AllPlanes, ZPixmap);
    if (!image) return {};
    QImage picture(area.width, area.height, QImage::Format_RGB32);
    for (int y = 0; y < area.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < area.width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            line[x] = qRgb(static_cast<int>((pixel & image->red_mask) >> 16),
                           static_cast<int>((pixel & image->green_mask) >> 8),
                           static_cast<int>(pixel & image->blue_mask));
        }
    }
    XDestroyImage(image);
    return picture;
}

QImage XSession::captureScreen() const {
    return capture(Rect{0, 0, screenWidth(), screenHeight()});
}

bool XSession::ping(WindowId window, double seconds) {
    const long serial = ++m_pingSerial;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = atom("WM_PROTOCOLS");
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(atom("_NET_WM_PING"));
    event.xclient.data.l[1] = serial;
    event.xclient.data.l[2] = static_cast<long>(window);
    XSendEvent(m_display, window, False, NoEventMask, &event);
    XFlush(m_display);
    const Atom protocols = atom("WM_PROTOCOLS");
    const Atom pingAtom = atom("_NET_WM_PING");
    return waitForEvent(m_display, seconds, &event, [&](const XEvent& e) {
        return e.type == ClientMessage && e.xclient.message_type == protocols &&
               static_cast<Atom>(e.xclient.data.l[0]) == pingAtom &&
               e.xclient.data.l[1] == serial &&
               static_cast<WindowId>(e.xclient.data.l[2]) == window;
    });
}

}  // namespace Desktop
