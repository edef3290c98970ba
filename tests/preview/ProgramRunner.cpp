#include "ProgramRunner.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

extern char** environ;

namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

std::vector<std::string> ProgramRun::errorLines() const {
    std::vector<std::string> lines;
    std::istringstream in(err);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::map<std::string, std::string>& environment) {
    // Output goes through files: a pipe per stream could fill while the other is read.
    std::string folder = (std::filesystem::temp_directory_path() / "numbera-run-XXXXXX").string();
    ProgramRun run;
    if (!::mkdtemp(folder.data())) return run;
    const std::string outPath = folder + "/out", errPath = folder + "/err";

    std::map<std::string, std::string> variables;
    for (char** entry = environ; *entry; ++entry) {
        std::string text = *entry;
        const size_t equals = text.find('=');
        if (equals != std::string::npos)
            variables[text.substr(0, equals)] = text.substr(equals + 1);
    }
    for (const auto& [name, value] : environment) {
        if (value.empty())
            variables.erase(name);
        else
            variables[name] = value;
    }
    std::vector<std::string> envText, argText{program};
    for (const auto& [name, value] : variables) envText.push_back(name + "=" + value);
    argText.insert(argText.end(), arguments.begin(), arguments.end());
    std::vector<char*> envp, argv;
    for (auto& text : envText) envp.push_back(text.data());
    for (auto& text : argText) argv.push_back(text.data());
    envp.push_back(nullptr);
    argv.push_back(nullptr);

    const pid_t child = ::fork();
    if (child == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0) ::_exit(126);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(err, STDERR_FILENO);
        ::execve(program.c_str(), argv.data(), envp.data());
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage = {};
    if (child > 0 && ::wait4(child, &status, 0, &usage) == child) {
        if (WIFEXITED(status)) run.exitStatus = WEXITSTATUS(status);
        run.peakResidentKilobytes = usage.ru_maxrss;
    }
    run.out = slurp(outPath);
    run.err = slurp(errPath);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return run;
}
