// numbera-thumbnailer: a document's thumbnail as a PNG file, for freedesktop file managers
// (see data/numbera.thumbnailer). Renders offscreen: no display is needed.
#include <sys/stat.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>
#include <QString>
#include <QtGlobal>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "NBFErrorLog.h"
#include "NKTextHelpers.h"
#include "PreviewDocument.h"
#include "PreviewEnvironment.h"
#include "ThumbnailRenderer.h"

using namespace NumberaPreview;

namespace {

const char* const kUsage = "usage: numbera-thumbnailer -s SIZE INPUT OUTPUT.png\n";
// A bound on memory: far above the sizes file managers ask for (up to 1024).
constexpr int kLargestSize = 4096;

int usageError(const std::string& message) {
    std::fprintf(stderr, "numbera-thumbnailer: %s\n%s", message.c_str(), kUsage);
    return 2;
}

int failure(const std::string& file, const std::string& reason) {
    std::fprintf(stderr, "numbera-thumbnailer: %s: %s\n", displayName(file).c_str(),
                 reason.c_str());
    return 1;
}

std::optional<int> parseSize(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end) return std::nullopt;
    return value;
}

// Qt's own remarks (missing runtime folder and the like) are not the program's business on
// standard error; its errors still are.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "numbera-thumbnailer: %s\n", message.toLocal8Bit().constData());
}

// The image takes the output's place: only a regular file may be replaced, never a device,
// a pipe or a folder that happens to be named (a link is replaced itself, not what it names).
// Empty when the output is fit or does not exist yet.
std::string unfitOutput(const std::string& output) {
    struct stat info;
    if (::lstat(output.c_str(), &info) != 0) return {};
    if (S_ISREG(info.st_mode) || S_ISLNK(info.st_mode)) return {};
    if (S_ISDIR(info.st_mode)) return "is a folder, not a file";
    return "not a regular file";
}

// Written beside the output and renamed over it, so a failure leaves no file behind.
bool writePNG(const QImage& image, const std::string& output, std::string* reason) {
    std::string temporary = output + ".XXXXXX";
    const int descriptor = ::mkstemp(temporary.data());
    if (descriptor < 0) {
        *reason = std::string("cannot write: ") + std::strerror(errno);
        return false;
    }
    // As an ordinary new file would be, not private as temporary files are.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(descriptor, 0666 & ~mask);
    ::close(descriptor);
    if (!image.save(QString::fromStdString(temporary), "PNG")) {
        ::unlink(temporary.c_str());
        *reason = "cannot write the PNG image";
        return false;
    }
    // The document took a while to draw: the output may have been replaced meanwhile.
    *reason = unfitOutput(output);
    if (!reason->empty()) {
        ::unlink(temporary.c_str());
        return false;
    }
    if (::rename(temporary.c_str(), output.c_str()) != 0) {
        *reason = std::string("cannot write: ") + std::strerror(errno);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    NumberaPreview::silenceDiagnostics();
    std::optional<int> size;
    std::optional<std::string> input, output;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "-h" || argument == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (argument == "-s" || argument == "--size") {
            if (i + 1 >= argc) return usageError(argument + " needs a value");
            size = parseSize(argv[++i]);
            if (!size) return usageError("the size must be a whole number of pixels");
        } else if (argument.size() > 1 && argument[0] == '-') {
            return usageError("unknown option '" + displayName(argument) + "'");
        } else if (!input) {
            input = argument;
        } else if (!output) {
            output = argument;
        } else {
            return usageError("too many arguments");
        }
    }
    if (!size || !input || !output) return usageError("expected -s SIZE, INPUT and OUTPUT");
    if (*size < kSmallestThumbnailSide)
        return failure(*input, "no thumbnail is made below " +
                                   std::to_string(kSmallestThumbnailSide) + " pixels");
    if (*size > kLargestSize)
        return failure(*input, "the size must be at most " + std::to_string(kLargestSize));

    // Refused before the document is read: no work is done for an output that is never written.
    std::string reason = unfitOutput(*output);
    if (!reason.empty()) return failure(*output, reason);

    NBFErrorLogSetEnabled(false);
    if (!bootstrap(std::nullopt, &reason)) {
        std::fprintf(stderr, "numbera-thumbnailer: %s\n", displayName(reason).c_str());
        return 1;
    }
    auto collection = readDocument(*input, &reason);
    if (!collection) return failure(*input, reason);
    const std::string html =
        NKUTF8(thumbnailHTMLForLineCollection(collection, previewColorManager()));
    keepUntilExit(std::move(collection));

    // Thumbnailers run from file managers' helpers, with no display to talk to.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(quietMessages);
    int qtArgc = 1;
    QGuiApplication application(qtArgc, argv);

    const QImage image = renderThumbnail(html, *size, *size);
    if (image.isNull()) return failure(*input, "cannot draw the thumbnail");
    if (!writePNG(image, *output, &reason)) return failure(*output, reason);
    return 0;
}
