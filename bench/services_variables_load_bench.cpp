// Loading a Variables.plist of many entries into a fresh variables manager: the whole start-up
// cost of a large variables file (reading, parsing, building and listing each variable).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "NBFoundation.h"
#include "NKVariablesManager.h"

namespace {

void startFoundation() {
    if (NBFoundationIsStarted()) return;
    NBFSettingsRef settings = NBFSettingsCreate();
    NBFoundationInit(settings);
    NBFSettingsRelease(settings);
}

// A data file of `count` enabled variables v0, v1, ... in the temporary folder.
std::string writeVariablesFile(int64_t count) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("numbera-bench-variables-" + std::to_string(::getpid()) + "-" +
                               std::to_string(count) + ".plist"))
                                 .string();
    std::ofstream out(path, std::ios::binary);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
           "<key>NKVariables</key><array>\n";
    for (int64_t i = 0; i < count; ++i)
        out << "<dict><key>name</key><string>v" << i << "</string><key>value</key><string>" << i
            << "</string><key>enabled</key><true/><key>type</key><integer>0</integer></dict>\n";
    out << "</array></dict></plist>\n";
    return path;
}

void BM_LoadVariablesFile(benchmark::State& state) {
    startFoundation();
    const std::string path = writeVariablesFile(state.range(0));
    for (auto _ : state) {
        auto manager = std::make_shared<NKVariablesManager>(std::make_shared<NCVariableList>(),
                                                            NCUnitCollection::create());
        benchmark::DoNotOptimize(manager->loadFromPath(path));
    }
    state.SetComplexityN(state.range(0));
    std::filesystem::remove(path);
}
BENCHMARK(BM_LoadVariablesFile)
    ->Arg(50000)
    ->Arg(100000)
    ->Arg(200000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
