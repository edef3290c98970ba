// numbera-sample: writes the built-in sample document to a file, for `make run` and for
// trying the previewers. Lives in the build folder only.
#include <cstdio>
#include <string>

#include "NCLineCollection.h"
#include "PreviewEnvironment.h"

int main(int argc, char** argv) {
    NumberaPreview::silenceDiagnostics();
    if (argc != 2) {
        std::fprintf(stderr, "usage: numbera-sample FILE\n");
        return 2;
    }
    std::string reason;
    if (!NumberaPreview::bootstrap(std::nullopt, &reason)) {
        std::fprintf(stderr, "numbera-sample: %s\n", reason.c_str());
        return 1;
    }
    auto sample = NCLineCollection::lineCollectionWithDefaultContent();
    if (!sample->archiveToPath(argv[1], {}, &reason)) {
        std::fprintf(stderr, "numbera-sample: %s: %s\n", argv[1], reason.c_str());
        return 1;
    }
    return 0;
}
