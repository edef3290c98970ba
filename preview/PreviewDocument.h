// A document as the previewers show it: read once from its file, refused unless it is a
// readable document, and rendered as the preview page, plain text or comma-separated values.
#ifndef NUMBERA_PREVIEW_PREVIEW_DOCUMENT_H
#define NUMBERA_PREVIEW_PREVIEW_DOCUMENT_H

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "ThumbnailGeometry.h"

class NBColorManager;
class NCLineCollection;

namespace NumberaPreview {

enum class PreviewFormat { HTML, Text, CSV };

// "html", "text" or "csv"; none for anything else.
std::optional<PreviewFormat> previewFormatNamed(const std::string& name);

// The document's lines, evaluated in the shared environment and in the document's own number
// characters, as the document file reads them. None, with a short reason
// ("no such file", "not a Numbera document"...), for anything that is not a readable
// document: such a file never reaches the exporter.
std::shared_ptr<NCLineCollection> readDocument(const std::string& path, std::string* reason);

// Keeps the document, and all it holds, until the process ends: a program about to exit would
// spend a tenth of its preview taking the document apart line by line, and the system takes
// the memory back at once. It stays reachable, so the leak checker reports nothing.
void keepUntilExit(std::shared_ptr<NCLineCollection> collection);

// The page of the preview: the exporter's page without title, date or statistic row, with
// no insets, in the colours of the scheme.
std::u16string htmlStringForLineCollection(const std::shared_ptr<NCLineCollection>& collection,
                                           const NBColorManager& colors);

// How much of a document the thumbnail's page holds: its first rows, and the first characters
// of their expressions, as many as the thumbnail can show. None holds all of them.
struct ThumbnailPageBounds {
    std::optional<uint64_t> rows = kThumbnailRowsShown;
    std::optional<uint64_t> characters = kThumbnailCharactersShown;
};

// The preview page for a rich-text renderer that, unlike a browser, ignores the style sheet's
// widths: the widths of the table (the page's) and of the line number and answer columns are
// also written as attributes, so the page is laid out as a browser shows it. Only the top of
// the page is drawn, so only what can show there is written.
std::u16string thumbnailHTMLForLineCollection(const std::shared_ptr<NCLineCollection>& collection,
                                              const NBColorManager& colors,
                                              const ThumbnailPageBounds& bounds = {});

// The preview in the format, as UTF-8. Text is "expression = answer" per line and CSV the
// two quoted fields per line, the answer's empty when there is none; line references show as
// the document's tokens show them.
std::string renderPreview(const std::shared_ptr<NCLineCollection>& collection, PreviewFormat format,
                          const NBColorManager& colors);

// A file name fit for a one-line message: control characters become "?".
std::string displayName(const std::string& path);

}  // namespace NumberaPreview

#endif
