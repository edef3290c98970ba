// A text source with metrics and a generator over it, as the document window wires them;
// captured log lines and temporary folders.
#ifndef NUMBERA_TESTS_KIT_TEST_SUPPORT_H
#define NUMBERA_TESTS_KIT_TEST_SUPPORT_H

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "Diagnostics.h"
#include "NBFoundation.h"
#include "NKTextActionGenerator.h"
#include "NKTextHelpers.h"
#include "NKTextViewMetrics.h"
#include "PlatformTestSupport.h"

// Starts the foundation once per process with default settings.
inline void startFoundation() {
    if (NBFoundationIsStarted()) return;
    NBFSettingsRef settings = NBFSettingsCreate();
    NBFoundationInit(settings);
    NBFSettingsRelease(settings);
}

// Collects the warnings and errors reported while alive.
struct LogCapture {
    std::vector<std::string> lines;
    Diagnostics::ScopedSink sink{[this](Diagnostics::Stream stream, const std::string& line) {
        if (stream == Diagnostics::Stream::error) lines.push_back(line);
    }};
    bool contains(const std::string& text) const {
        for (const std::string& line : lines)
            if (line.find(text) != std::string::npos) return true;
        return false;
    }
};

struct EditingRig {
    NKPlainTextSource text;
    std::shared_ptr<NKTextViewLineMetrics> lineMetrics =
        std::make_shared<NKTextViewLineMetrics>(&text);
    std::shared_ptr<NKTextViewMetrics> metrics =
        std::make_shared<NKTextViewMetrics>(&text, lineMetrics, nullptr);
    NKTextActionGenerator generator{metrics};

    void setText(const std::u16string& string, NSRange selection) {
        text.setString(string);
        text.setSelectedRange(selection);
        metrics->resetAllCaches();
    }
};

inline std::u16string joinLines(const std::vector<std::u16string>& lines) {
    std::u16string text;
    for (size_t i = 0; i < lines.size(); ++i) text += (i ? u"\n" : u"") + lines[i];
    return text;
}

// The source tree, for the authored resources.
inline std::string sourceDirectory() {
    if (const char* dir = std::getenv("NUMBERA_SOURCE_DIR")) return dir;
    return NUMBERA_SOURCE_DIR_DEFAULT;
}

#endif
