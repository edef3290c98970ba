// The mixed documents the previewer benchmarks read: each line one of the kinds a notepad
// holds (arithmetic, powers, roots, trigonometry, logarithms, percentages and unit
// conversions), numbers varying by line.
#ifndef NUMBERA_BENCH_MIXED_PREVIEW_DOCUMENT_H
#define NUMBERA_BENCH_MIXED_PREVIEW_DOCUMENT_H

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "NCLine.h"
#include "NCLineCollection.h"
#include "PreviewEnvironment.h"

namespace MixedPreviewDocument {

inline std::u16string u16(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

// Line i of the mixed document.
inline std::u16string mixedLine(int i) {
    const std::string n = std::to_string(i);
    switch (i % 7) {
        case 0:
            return u16(std::to_string(i % 9 + 2) + "^" + std::to_string(i % 4 + 2) + " + " + n);
        case 1:
            return u16("sqrt(" + n + ")");
        case 2:
            return u16("sin(" + std::to_string(i % 360) + ")");
        case 3:
            return u16("ln(" + std::to_string(i + 1) + ") * 2");
        case 4:
            return u16(std::to_string(i % 50 + 1) + "% of " + n);
        case 5:
            return u16(n + " km in miles");
        default:
            return u16(n + " + " + std::to_string(i % 20 + 1) + "%");
    }
}

// The environment the previewer loads. The shipped resources are asked for by name so that a
// user's preview data folder on this machine does not change what is measured.
inline void startPreview(const char* program) {
    static const bool started = [program] {
        NumberaPreview::silenceDiagnostics();
        std::string reason;
        if (!NumberaPreview::bootstrap(NumberaPreview::shippedResourcesFolder(), &reason)) {
            std::fprintf(stderr, "%s: %s\n", program, reason.c_str());
            std::exit(1);
        }
        return true;
    }();
    (void)started;
}

inline bool writeMixedDocument(const char* program, const std::string& path, int lines,
                               std::string* reason) {
    startPreview(program);
    auto collection = std::make_shared<NCLineCollection>();
    collection->beginBatchUpdate();
    for (int i = 0; i < lines; ++i)
        collection->addLine(NCLine::lineWithExpressionString(mixedLine(i)));
    collection->endBatchUpdate();
    return collection->archiveToPath(path, {}, reason);
}

}  // namespace MixedPreviewDocument

#endif
