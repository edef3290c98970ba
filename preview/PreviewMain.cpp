// numbera-preview: a document's preview page, text or comma-separated values on standard
// output, for terminals, scripts and file managers.
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "NBFErrorLog.h"
#include "PreviewDocument.h"
#include "PreviewEnvironment.h"

using namespace NumberaPreview;

namespace {

const char* const kUsage =
    "usage: numbera-preview [--format html|text|csv] [--data-folder DIR] FILE\n";

int usageError(const std::string& message) {
    std::fprintf(stderr, "numbera-preview: %s\n%s", message.c_str(), kUsage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    NumberaPreview::silenceDiagnostics();
    PreviewFormat format = PreviewFormat::HTML;
    std::optional<std::string> dataFolder;
    std::optional<std::string> file;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "-h" || argument == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (argument == "--format" || argument == "--data-folder") {
            if (i + 1 >= argc) return usageError(argument + " needs a value");
            const std::string value = argv[++i];
            if (argument == "--data-folder") {
                dataFolder = value;
            } else if (auto named = previewFormatNamed(value)) {
                format = *named;
            } else {
                return usageError("unknown format '" + displayName(value) + "'");
            }
        } else if (argument.size() > 1 && argument[0] == '-' && argument != "--") {
            return usageError("unknown option '" + displayName(argument) + "'");
        } else {
            if (argument == "--") {
                if (i + 1 >= argc) break;
                ++i;
            }
            if (file || i + 1 < argc) return usageError("expected exactly one FILE");
            file = argv[i];
        }
    }
    if (!file) return usageError("expected exactly one FILE");

    // The reason printed below is the whole report; the reader's own log would repeat it.
    NBFErrorLogSetEnabled(false);
    std::string reason;
    if (!bootstrap(dataFolder, &reason)) {
        std::fprintf(stderr, "numbera-preview: %s\n", displayName(reason).c_str());
        return 1;
    }
    auto collection = readDocument(*file, &reason);
    if (!collection) {
        std::fprintf(stderr, "numbera-preview: %s: %s\n", displayName(*file).c_str(),
                     reason.c_str());
        return 1;
    }
    const std::string output = renderPreview(collection, format, previewColorManager());
    keepUntilExit(std::move(collection));
    if (std::fwrite(output.data(), 1, output.size(), stdout) != output.size() ||
        std::fflush(stdout) != 0) {
        std::fprintf(stderr, "numbera-preview: %s: cannot write the preview: %s\n",
                     displayName(*file).c_str(), std::strerror(errno));
        return 1;
    }
    return 0;
}
