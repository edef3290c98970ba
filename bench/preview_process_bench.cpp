// The previewers as whole processes, as a file manager runs them: numbera-preview on mixed
// documents of 2,000 and 10,000 lines, and numbera-thumbnailer on one of 50,000 lines. Each run
// is a fresh program started from nothing; the CPU time it used, the wall-clock time and the
// most memory it held are read from the operating system when it ends. The previewer's
// "cpu_per_line" is net of start-up: a one-line document's run is taken off first.
// NUMBERA_PREVIEW_PROGRAM and NUMBERA_THUMBNAILER_PROGRAM in the environment name other
// builds of the programs, to compare them in one run.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "MixedPreviewDocument.h"

extern char** environ;

namespace {

constexpr const char* kProgram = "preview_process_bench";

// A mixed document of the given size in the temporary folder, for as long as it lives.
struct DocumentFile {
    explicit DocumentFile(int lines) {
        path = (std::filesystem::temp_directory_path() /
                ("numbera-process-bench-" + std::to_string(::getpid()) + "-" +
                 std::to_string(lines) + ".numbera"))
                   .string();
        std::string reason;
        if (!MixedPreviewDocument::writeMixedDocument(kProgram, path, lines, &reason)) {
            std::fprintf(stderr, "%s: %s: %s\n", kProgram, path.c_str(), reason.c_str());
            std::exit(1);
        }
    }
    ~DocumentFile() { std::filesystem::remove(path); }
    std::string path;
};

// The program named in the environment, else the one built beside the benchmark.
std::string program(const char* variable, const char* built) {
    const char* named = std::getenv(variable);
    return named && *named ? named : built;
}

struct Run {
    bool succeeded = false;
    double cpuSeconds = 0;
    double wallSeconds = 0;
    double maxResidentMB = 0;
};

double seconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

// Runs the program with its output thrown away and the data folder of an empty home, so that
// nothing of this machine's user changes what is measured.
Run run(const std::vector<std::string>& arguments) {
    static const std::string home = [] {
        const auto folder = std::filesystem::temp_directory_path() /
                            ("numbera-process-bench-home-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        return folder.string();
    }();
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        if (text.rfind("XDG_DATA_HOME=", 0) != 0) environment.push_back(text);
    }
    environment.push_back("XDG_DATA_HOME=" + home);
    std::vector<char*> argv, envp;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    for (const std::string& entry : environment) envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    Run result;
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return result;
    int status = 0;
    struct rusage usage {};
    if (::wait4(child, &status, 0, &usage) != child) return result;
    result.wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.succeeded = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    result.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    result.maxResidentMB = static_cast<double>(usage.ru_maxrss) / 1024.0;
    return result;
}

// The previewer on a document of the benchmark's size; the time reported is its CPU time.
void BM_PreviewerProcess(benchmark::State& state) {
    const int lines = static_cast<int>(state.range(0));
    const DocumentFile startUp(1), document(lines);
    const std::vector<std::string> base{program("NUMBERA_PREVIEW_PROGRAM", NUMBERA_PREVIEW_PROGRAM),
                                        "--format", "html"};
    double startUpCPU = 0, cpu = 0, rss = 0;
    for (auto _ : state) {
        std::vector<std::string> arguments = base;
        arguments.push_back(startUp.path);
        const Run empty = run(arguments);
        arguments.back() = document.path;
        const Run full = run(arguments);
        if (!empty.succeeded || !full.succeeded) {
            state.SkipWithError("the previewer failed");
            break;
        }
        state.SetIterationTime(full.cpuSeconds);
        startUpCPU += empty.cpuSeconds;
        cpu += full.cpuSeconds;
        rss = full.maxResidentMB;
    }
    const double runs = static_cast<double>(state.iterations());
    if (runs == 0) return;
    state.counters["startup_cpu_ms"] = startUpCPU / runs * 1e3;
    state.counters["cpu_per_line_us"] = (cpu - startUpCPU) / runs / lines * 1e6;
    state.counters["max_rss_MB"] = rss;
}
BENCHMARK(BM_PreviewerProcess)
    ->Arg(2000)
    ->Arg(10000)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

// The thumbnailer on a document of the benchmark's size; the time reported is wall-clock.
void BM_ThumbnailerProcess(benchmark::State& state) {
    const DocumentFile document(static_cast<int>(state.range(0)));
    const std::string image = document.path + ".png";
    double cpu = 0, rss = 0;
    for (auto _ : state) {
        const Run thumbnail =
            run({program("NUMBERA_THUMBNAILER_PROGRAM", NUMBERA_THUMBNAILER_PROGRAM), "-s", "256",
                 document.path, image});
        if (!thumbnail.succeeded) {
            state.SkipWithError("the thumbnailer failed");
            break;
        }
        state.SetIterationTime(thumbnail.wallSeconds);
        cpu += thumbnail.cpuSeconds;
        rss = std::max(rss, thumbnail.maxResidentMB);
    }
    std::filesystem::remove(image);
    const double runs = static_cast<double>(state.iterations());
    if (runs == 0) return;
    state.counters["cpu_ms"] = cpu / runs * 1e3;
    state.counters["max_rss_MB"] = rss;
}
BENCHMARK(BM_ThumbnailerProcess)
    ->Arg(50000)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace
