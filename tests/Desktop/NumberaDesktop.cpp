#include "NumberaDesktop.h"

#include <unistd.h>

#include <QSettings>
#include <QString>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "DesktopWaiting.h"

#ifndef NUMBERA_APP_PROGRAM
#define NUMBERA_APP_PROGRAM "numbera"
#endif
#ifndef NUMBERA_PREVIEW_PROGRAM
#define NUMBERA_PREVIEW_PROGRAM "numbera-preview"
#endif

namespace fs = std::filesystem;

namespace Desktop {

namespace {

std::string escapeXml(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '&':
                escaped += "&amp;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

}  // namespace

bool titleStartsWith(const std::string& title, const std::string& start) {
    return title.compare(0, start.size(), start) == 0;
}

Home::Home() {
    std::string folder = (fs::temp_directory_path() / "numbera-home-XXXXXX").string();
    if (::mkdtemp(folder.data())) m_path = folder;
    for (const std::string& sub :
         {configFolder(), m_path + "/.local/share", m_path + "/.cache", m_path + "/runtime"})
        fs::create_directories(sub);
    fs::permissions(m_path + "/runtime", fs::perms::owner_all);
}

Home::~Home() {
    std::error_code ignored;
    if (!m_path.empty() && !std::getenv("NUMBERA_KEEP_TEST_HOMES")) fs::remove_all(m_path, ignored);
}

void Home::setSetting(const std::string& key, const std::string& value) {
    QSettings settings(QString::fromStdString(settingsFile()), QSettings::IniFormat);
    settings.setValue(QString::fromStdString(key), QString::fromStdString(value));
    settings.sync();
}

std::optional<std::string> Home::setting(const std::string& key) const {
    QSettings settings(QString::fromStdString(settingsFile()), QSettings::IniFormat);
    if (!settings.contains(QString::fromStdString(key))) return std::nullopt;
    return settings.value(QString::fromStdString(key)).toString().toStdString();
}

void Home::setSettledUser() {
    setSetting("NBShowWelcomeWindowOnLaunch", "false");
    setSetting("NBTutorialHasRun", "true");
    for (const char* aid :
         {"NBAddSpacesAroundOperators", "NBAddClosingBracket", "NBAddClosingQuotationMarks"})
        setSetting(aid, "false");
}

std::map<std::string, std::string> Home::environment() const {
    const char* display = std::getenv("DISPLAY");
    return {{"HOME", m_path},
            {"XDG_CONFIG_HOME", configFolder()},
            {"XDG_DATA_HOME", m_path + "/.local/share"},
            {"XDG_CACHE_HOME", m_path + "/.cache"},
            {"XDG_RUNTIME_DIR", m_path + "/runtime"},
            {"DISPLAY", display ? display : ""},
            // No session bus: without one named, the accessibility bridge may wait for ever on
            // one being found for it; one that is not there fails at once.
            {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + m_path + "/no-session-bus"},
            {"QT_QPA_PLATFORM", "xcb"},
            // No desktop's theme or input method: the same look on every machine.
            {"QT_QPA_PLATFORMTHEME", ""},
            {"QT_IM_MODULE", ""},
            {"XMODIFIERS", ""},
            {"NUMBERA_QUOTE_SERVICE", ""},
            {"NUMBERA_DATA_SERVICE", ""},
            {"NUMBERA_BITCOIN_SERVICE", ""}};
}

std::string Home::writeDocument(const std::string& name, const std::vector<std::string>& lines) {
    const std::string path = m_path + "/" + name;
    std::ofstream out(path);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<data><info><version>0.6</version>"
           "</info><settings/><lines>";
    for (const std::string& line : lines)
        out << "<line><expression>" << escapeXml(line) << "</expression></line>";
    out << "</lines></data>\n";
    return path;
}

std::string Home::previewText(const std::string& documentPath) const {
    ChildProcess::Options options;
    options.arguments = {NUMBERA_PREVIEW_PROGRAM, "--format", "text", documentPath};
    options.environment = environment();
    options.outputPath = m_path + "/preview.out";
    options.errorPath = m_path + "/preview.err";
    ChildProcess preview(options);
    if (!preview.waitForExit(60)) return "(the previewer did not finish)";
    if (preview.exitStatus() != 0)
        return "(the previewer " + preview.describeEnd() + ": " + preview.errors() + ")";
    return preview.output();
}

App::App(Home& home, XSession& x, const Options& options) : m_x(x) {
    ChildProcess::Options run;
    run.arguments = options.launcher;
    run.arguments.push_back(NUMBERA_APP_PROGRAM);
    run.arguments.insert(run.arguments.end(), options.arguments.begin(), options.arguments.end());
    run.environment = home.environment();
    for (const auto& [name, value] : options.environment) run.environment[name] = value;
    static int launches = 0;
    const std::string log = home.path() + "/numbera-" + std::to_string(++launches) + ".log";
    run.outputPath = log;
    run.workingFolder = home.path();
    m_process = ChildProcess(run);
}

App::~App() {
    // A test that ends with the program still running was not careful; it goes anyway.
    m_process.kill();
}

std::optional<WindowInfo> App::waitForWindow(const std::function<bool(const WindowInfo&)>& match,
                                             double seconds) {
    std::optional<WindowInfo> found;
    waitUntil(
        [&] {
            for (const WindowInfo& window : windows())
                if (match(window)) {
                    found = window;
                    return true;
                }
            return !m_process.running();
        },
        seconds);
    return found;
}

bool App::answersPing(double seconds) {
    const std::vector<WindowInfo> shown = windows();
    return !shown.empty() && m_x.ping(shown.back().id, seconds);
}

std::optional<WindowInfo> App::waitForTitle(const std::string& start, double seconds) {
    return waitForWindow(
        [&](const WindowInfo& window) { return titleStartsWith(window.title, start); }, seconds);
}

bool App::waitUntilActive(WindowId window, double seconds) {
    return waitUntil([&] { return m_x.activeWindow() == window; }, seconds);
}

std::string threadStacks(pid_t pid) {
    static const bool haveGdb = std::system("command -v gdb >/dev/null 2>&1") == 0;
    if (!haveGdb || pid <= 0) return {};
    const std::string path =
        (fs::temp_directory_path() / ("numbera-stacks-" + std::to_string(pid))).string();
    ChildProcess::Options options;
    options.arguments = {"gdb",    "-p",  std::to_string(pid),
                         "-batch", "-ex", "thread apply all bt 20"};
    options.outputPath = path;
    ChildProcess gdb(options);
    if (!gdb.waitForExit(60)) return "(gdb did not finish)";
    std::string stacks;
    std::istringstream lines(readFile(path));
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("#", 0) == 0 || line.rfind("Thread", 0) == 0) stacks += line + "\n";
    std::error_code ignored;
    fs::remove(path, ignored);
    return stacks;
}

std::string App::describe() const {
    std::string text = "numbera (pid " + std::to_string(m_process.pid()) + ") " +
                       m_process.describeEnd() + "; " + XSession::describe(windows());
    std::string output = log();
    if (output.size() > 3000) output = "…" + output.substr(output.size() - 3000);
    text += "\nits log:\n" + output;
    if (m_process.running()) text += "\nits threads:\n" + threadStacks(m_process.pid());
    return text;
}

}  // namespace Desktop
