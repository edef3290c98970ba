#include "PreviewDocument.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "NBColorController.h"
#include "NCFile.h"
#include "NCLineCollection.h"
#include "NKLineCollectionExporter.h"
#include "NKTextHelpers.h"

namespace NumberaPreview {

std::optional<PreviewFormat> previewFormatNamed(const std::string& name) {
    if (name == "html") return PreviewFormat::HTML;
    if (name == "text") return PreviewFormat::Text;
    if (name == "csv") return PreviewFormat::CSV;
    return std::nullopt;
}

namespace {

std::string refusalReason(int32_t readError) {
    switch (readError) {
        case NBFFileErrorTooLarge:
            return "too large to show (more than " +
                   std::to_string(kNBFFileReaderMaximumFileSize / (1024 * 1024)) + " MB)";
        case NBFFileErrorTooManyLines:
            return "too many lines to show (more than " +
                   std::to_string(kNBFFileReaderMaximumLineCount) + ")";
        case NBFFileErrorTooMuchText:
            return "too much text to evaluate (more than " +
                   std::to_string(kNCFileMaximumEvaluatedTextLength) + " characters)";
        default:
            return "not a valid Numbera document";
    }
}

}  // namespace

std::shared_ptr<NCLineCollection> readDocument(const std::string& path, std::string* reason) {
    auto fail = [&](std::string why) -> std::shared_ptr<NCLineCollection> {
        if (reason) *reason = std::move(why);
        return nullptr;
    };
    // The document reader cannot tell a missing file from an unreadable one; the reason the
    // user sees should.
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) return fail(std::strerror(errno));
    if (S_ISDIR(info.st_mode)) return fail("is a folder, not a document");
    if (!S_ISREG(info.st_mode)) return fail("not a regular file");
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) return fail(std::strerror(errno));
    ::close(descriptor);

    auto file = NCFile::initWithContentsOfFileAtPath(path);
    switch (file->fileFormat()) {
        case NCFileFormatXML:
            break;
        case NCFileFormatPlainText:
            return fail("not a Numbera document");
        default:
            return fail(refusalReason(file->readError()));
    }
    auto collection = file->lineCollection();
    if (!collection) return fail("not a valid Numbera document");
    return collection;
}

namespace {

// Never deleted, and reachable through this variable. Volatile: nothing reads it for good, so
// an optimiser could drop it, and what it holds would then be reported as leaked.
std::vector<std::shared_ptr<NCLineCollection>>* volatile s_keptUntilExit = nullptr;

}  // namespace

void keepUntilExit(std::shared_ptr<NCLineCollection> collection) {
    if (!collection) return;
    if (!s_keptUntilExit) s_keptUntilExit = new std::vector<std::shared_ptr<NCLineCollection>>;
    s_keptUntilExit->push_back(std::move(collection));
}

namespace {

// The line number column's width in the export style sheet.
constexpr uint64_t kLineNumberColumnWidth = 20;

std::shared_ptr<NKLineCollectionExporterHTMLStyle> previewStyle(const NBColorManager& colors) {
    auto style = NBColorController::htmlStyleForColorManager(colors);
    style->setShowsDocumentTitle(false);
    style->setShowsDocumentDate(false);
    style->setShowsDocumentStatistic(false);
    style->setSideInset(0);
    style->setTopInset(0);
    style->setBottomInset(0);
    style->setEnableVerticalAutoresizing(true);
    return style;
}

std::u16string decimal(uint64_t value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

void insertAfterEach(std::u16string& text, const std::u16string& target,
                     const std::u16string& addition) {
    for (size_t at = text.find(target); at != std::u16string::npos;
         at = text.find(target, at + target.size() + addition.size()))
        text.insert(at + target.size(), addition);
}

}  // namespace

std::u16string htmlStringForLineCollection(const std::shared_ptr<NCLineCollection>& collection,
                                           const NBColorManager& colors) {
    NKLineCollectionExporter exporter(collection);
    exporter.setDocumentStatistic(1);
    return exporter.HTMLSourceWithStyle(*previewStyle(colors)).value_or(u"");
}

std::u16string thumbnailHTMLForLineCollection(const std::shared_ptr<NCLineCollection>& collection,
                                              const NBColorManager& colors,
                                              const ThumbnailPageBounds& bounds) {
    NKLineCollectionExporter exporter(collection);
    exporter.setDocumentStatistic(1);
    exporter.setLineLimit(bounds.rows);
    exporter.setExpressionCharacterLimit(bounds.characters);
    auto style = previewStyle(colors);
    std::u16string page = exporter.HTMLSourceWithStyle(*style).value_or(u"");
    // The page's own text is escaped, so these tags can only be the exporter's.
    insertAfterEach(page, u"<table class=\"document_table\"", u" width=\"100%\"");
    if (style->showsLineNumbers())
        insertAfterEach(page, u"<td class=\"line_number\"",
                        u" width=\"" + decimal(kLineNumberColumnWidth) + u"\"");
    insertAfterEach(page, u"<td class=\"answer\"",
                    u" width=\"" + decimal(style->answerWidth()) + u"\"");
    return page;
}

std::string renderPreview(const std::shared_ptr<NCLineCollection>& collection, PreviewFormat format,
                          const NBColorManager& colors) {
    if (format == PreviewFormat::HTML)
        return NKUTF8(htmlStringForLineCollection(collection, colors));
    // As the application exports text: a line without answer is written without " = ".
    // Comma-separated values always have both fields.
    NKLineCollectionExporter exporter(collection);
    exporter.setDelimitEmptyAnswers(false);
    std::optional<std::u16string> text =
        format == PreviewFormat::Text ? exporter.columnatedTextWithSeparator(u" = ", u"", false)
                                      : exporter.CSVText(nullptr, false);
    return NKUTF8(text.value_or(u""));
}

std::string displayName(const std::string& path) {
    std::string name = path;
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    return name;
}

}  // namespace NumberaPreview
