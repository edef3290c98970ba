// Runs one of the built programs as a child process with a controlled environment and
// collects its exit status and both output streams.
#ifndef NUMBERA_TESTS_PROGRAM_RUNNER_H
#define NUMBERA_TESTS_PROGRAM_RUNNER_H

#include <map>
#include <string>
#include <vector>

struct ProgramRun {
    int exitStatus = -1;  // -1 when the program did not exit normally
    std::string out;
    std::string err;
    long peakResidentKilobytes = 0;  // the child's largest resident set
    // Lines of standard error, without their line ends.
    std::vector<std::string> errorLines() const;
};

// `environment` entries replace or add variables of the test's own environment; an empty
// value removes the variable.
ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::map<std::string, std::string>& environment);

#endif
