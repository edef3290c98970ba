// The real unit catalogue for tests: the files under Resources/ loaded through the units file
// parser, and log lines captured while a test runs.
#ifndef NUMBERA_TESTS_UNITS_FILE_TEST_SUPPORT_H
#define NUMBERA_TESTS_UNITS_FILE_TEST_SUPPORT_H

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "CoreTestSupport.h"
#include "Diagnostics.h"
#include "NCEvaluator.h"
#include "NCUnitCollection.h"
#include "NCUnitsFileParser.h"

inline std::string resourcePath(const std::string& name) {
    const char* source = std::getenv("NUMBERA_SOURCE_DIR");
    return std::string(source && *source ? source : NUMBERA_SOURCE_DIR_DEFAULT) + "/Resources/" +
           name;
}

inline std::shared_ptr<NCUnitsFile> loadRealUnitsFile(const NCUnitsPreferenceChoices& choices) {
    initFoundationConstants();
    return NCUnitsFileParser::readUnitsFile(
        resourcePath("Units.plist"), resourcePath("en.lproj/UnitLocalization.plist"), "", choices);
}

// A unit manager over the real catalogue with the given preferences.
inline std::shared_ptr<NCNewUnitManager> realUnitManager(const NCUnitsPreferenceChoices& choices) {
    auto manager = std::make_shared<NCNewUnitManager>();
    manager->addContentsOfLoadedUnitsFile(*loadRealUnitsFile(choices));
    return manager;
}

// An environment as a document's parent has it: the units given (the real catalogue with the
// default preferences when none), the variables given (the standard ones when none), the
// standard word operators and the built-in functions.
inline std::shared_ptr<NCEnvironment> realEnvironment(
    std::shared_ptr<NCNewUnitManager> units = nullptr,
    std::shared_ptr<NCVariableList> variables = nullptr) {
    initFoundationConstants();
    auto environment = std::make_shared<NCEnvironment>();
    environment->setUnitManager(units ? units
                                      : realUnitManager(NCUnitsPreferences::defaultPreferences()));
    environment->setVariables(variables ? variables : NCVariableList::listWithStandardVariables());
    environment->setWordOperators(NCWordOperatorList::listWithStandardWordOperators());
    environment->setFunctions(std::make_shared<NCFunctionList>(NCEvaluator::builtInFunctions()));
    return environment;
}

// One such environment for the whole test program: loading the catalogue takes a while.
inline std::shared_ptr<NCEnvironment> sharedRealEnvironment() {
    static std::shared_ptr<NCEnvironment> parent = realEnvironment();
    return parent;
}

// Collects the warnings and errors reported while alive, the parser's among them.
class CapturedUnitsLog {
  public:
    CapturedUnitsLog()
        : m_sink([this](Diagnostics::Stream stream, const std::string& line) {
              if (stream == Diagnostics::Stream::error) lines.push_back(line);
          }) {}
    bool contains(const std::string& part) const {
        for (const auto& line : lines)
            if (line.find(part) != std::string::npos) return true;
        return false;
    }
    std::vector<std::string> lines;

  private:
    Diagnostics::ScopedSink m_sink;
};

// A file that is removed again.
class TemporaryFile {
  public:
    explicit TemporaryFile(const std::string& contents) {
        char name[] = "/tmp/numbera-units-XXXXXX";
        int fd = mkstemp(name);
        if (fd >= 0) close(fd);
        path = name;
        std::ofstream(path, std::ios::binary) << contents;
    }
    ~TemporaryFile() { std::remove(path.c_str()); }
    std::string path;
};

#endif
