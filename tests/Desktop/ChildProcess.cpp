#include "ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

extern char** environ;

namespace Desktop {

std::vector<std::string> environmentWith(const std::map<std::string, std::string>& changes) {
    std::map<std::string, std::string> variables;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        const size_t equals = text.find('=');
        if (equals != std::string::npos)
            variables[text.substr(0, equals)] = text.substr(equals + 1);
    }
    for (const auto& [name, value] : changes) {
        if (value.empty())
            variables.erase(name);
        else
            variables[name] = value;
    }
    std::vector<std::string> list;
    for (const auto& [name, value] : variables) list.push_back(name + "=" + value);
    return list;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

ChildProcess::ChildProcess(const Options& options)
    : m_outputPath(options.outputPath), m_errorPath(options.errorPath) {
    // Everything the child needs is made before the fork: a child of a program with threads
    // may only call what is safe after fork() until it executes.
    std::vector<std::string> arguments = options.arguments;
    std::vector<std::string> environment = environmentWith(options.environment);
    std::vector<char*> argv, envp;
    for (auto& text : arguments) argv.push_back(text.data());
    for (auto& text : environment) envp.push_back(text.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    if (argv.size() < 2) return;
    const bool inherit = options.outputPath == "-";
    const std::string outPath = options.outputPath.empty() ? "/dev/null" : options.outputPath;
    const std::string errPath = options.errorPath.empty() ? outPath : options.errorPath;
    const int out =
        inherit ? -1 : ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const int err = inherit || errPath == outPath
                        ? -1
                        : ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const int in = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    const pid_t parent = ::getpid();

    m_pid = ::fork();
    if (m_pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) ::_exit(126);
        ::setpgid(0, 0);
        if (in >= 0) ::dup2(in, STDIN_FILENO);
        if (out >= 0) ::dup2(out, STDOUT_FILENO);
        if (err >= 0 || out >= 0) ::dup2(err >= 0 ? err : out, STDERR_FILENO);
        if (options.extraFd >= 0) {
            if (options.extraFd == 3)
                ::fcntl(3, F_SETFD, 0);
            else
                ::dup2(options.extraFd, 3);
        }
        if (!options.workingFolder.empty() && ::chdir(options.workingFolder.c_str()) != 0)
            ::_exit(126);
        ::execvpe(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    if (m_pid > 0) ::setpgid(m_pid, m_pid);
    for (int fd : {out, err, in})
        if (fd >= 0) ::close(fd);
}

ChildProcess::~ChildProcess() { kill(); }

ChildProcess::ChildProcess(ChildProcess&& other) noexcept { *this = std::move(other); }

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this == &other) return *this;
    kill();
    m_pid = other.m_pid;
    m_ended = other.m_ended;
    m_exitStatus = other.m_exitStatus;
    m_signal = other.m_signal;
    m_outputPath = std::move(other.m_outputPath);
    m_errorPath = std::move(other.m_errorPath);
    other.m_pid = -1;
    other.m_ended = true;
    return *this;
}

void ChildProcess::reap(int status) {
    m_ended = true;
    if (WIFEXITED(status)) m_exitStatus = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) m_signal = WTERMSIG(status);
    // Whatever the program left running in its group goes with it.
    ::kill(-m_pid, SIGKILL);
}

bool ChildProcess::running() {
    if (m_pid <= 0 || m_ended) return false;
    int status = 0;
    const pid_t ended = ::waitpid(m_pid, &status, WNOHANG);
    if (ended == m_pid) reap(status);
    return !m_ended;
}

bool ChildProcess::waitForExit(double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (running()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

std::string ChildProcess::describeEnd() const {
    if (m_pid <= 0) return "never started";
    if (!m_ended) return "still running";
    if (m_exitStatus) return "exited with status " + std::to_string(*m_exitStatus);
    if (m_signal) return "ended by signal " + std::to_string(*m_signal);
    return "ended";
}

void ChildProcess::sendSignal(int signal) {
    if (m_pid > 0 && !m_ended) ::kill(m_pid, signal);
}

void ChildProcess::kill() {
    if (m_pid <= 0 || m_ended) return;
    ::kill(-m_pid, SIGKILL);
    ::kill(m_pid, SIGKILL);
    int status = 0;
    if (::waitpid(m_pid, &status, 0) == m_pid) reap(status);
    m_ended = true;
}

std::string ChildProcess::output() const { return readFile(m_outputPath); }

std::string ChildProcess::errors() const {
    return readFile(m_errorPath.empty() ? m_outputPath : m_errorPath);
}

}  // namespace Desktop
