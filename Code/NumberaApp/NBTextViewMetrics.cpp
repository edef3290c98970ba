#include "NBTextViewMetrics.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>

#include "NBTextAttachment.h"

void NBTextViewMirror::setString(std::u16string text) {
    m_text = std::move(text);
    m_selection.location = std::min<uint64_t>(m_selection.location, m_text.size());
    m_selection.length =
        std::min<uint64_t>(m_selection.length, m_text.size() - m_selection.location);
}

void NBTextViewMirror::replaceCharactersInRange(NSRange range, const std::u16string& replacement) {
    const uint64_t start = std::min<uint64_t>(range.location, m_text.size());
    const uint64_t length = std::min<uint64_t>(range.length, m_text.size() - start);
    m_text.replace(start, length, replacement);
    m_selection = {start + replacement.size(), 0};
}

namespace {

// The rectangles of the lines. None yet: the column rows and paragraph heights are measured
// from the editor's layout directly.
std::shared_ptr<NKTextViewGeometry> geometryForTextView(
    QTextEdit*, const std::shared_ptr<NKTextViewLineMetrics>&) {
    return nullptr;
}

}  // namespace

NBTextViewMetrics::NBTextViewMetrics(QTextEdit* textView)
    : NBTextViewMetrics(textView, std::make_shared<NBTextViewMirror>()) {}

NBTextViewMetrics::NBTextViewMetrics(QTextEdit* textView, std::shared_ptr<NBTextViewMirror> mirror)
    : NBTextViewMetrics(textView, mirror, std::make_shared<NKTextViewLineMetrics>(mirror.get())) {}

NBTextViewMetrics::NBTextViewMetrics(QTextEdit* textView, std::shared_ptr<NBTextViewMirror> mirror,
                                     std::shared_ptr<NKTextViewLineMetrics> lineMetrics)
    : NKTextViewMetrics(mirror.get(), lineMetrics, geometryForTextView(textView, lineMetrics)),
      m_textView(textView),
      m_mirror(std::move(mirror)) {}

std::optional<std::u16string> NBTextViewMetrics::stringForLineAtIndex(uint64_t index,
                                                                      bool includeEndOfLine,
                                                                      bool substituteTokens) {
    std::optional<std::u16string> text =
        NKTextViewMetrics::stringForLineAtIndex(index, includeEndOfLine);
    if (!substituteTokens || !text || text->find(NBAttachmentCharacter) == std::u16string::npos)
        return text;
    // Each token is written as its stored reference, read from the editor's character at the
    // same place: the mirror is level with the editor whenever the lines are read.
    const NSRange range = rangeOfLineAtIndex(index, includeEndOfLine);
    std::u16string stored;
    for (size_t i = 0; i < text->size(); ++i) {
        const char16_t c = (*text)[i];
        if (c != NBAttachmentCharacter) {
            stored += c;
            continue;
        }
        if (auto attachment =
                NBTextAttachmentAt(m_textView->document(), static_cast<int>(range.location + i)))
            stored += NBCoreTokenTextForAttachment(*attachment);
    }
    return stored;
}

std::u16string NBTextViewMetrics::currentLineString() {
    return NKTextViewMetrics::stringForLineAtIndex(indexOfCurrentLine(), false).value_or(u"");
}

NSRange NBTextViewMetrics::rangeOfAllText() { return {0, totalStringLength()}; }

NSIndexSet NBTextViewMetrics::linesInCurrentSelection() {
    return indexesOfLinesContainingRanges(selectedRanges());
}

NSIndexSet NBTextViewMetrics::allLines() { return NSIndexSet(NSRange{0, countOfLines()}); }

NSIndexSet NBTextViewMetrics::indexesOfLinesContainingRanges(const std::vector<NSRange>& ranges) {
    NSIndexSet lines;
    for (const NSRange& range : ranges)
        if (auto found = indexesOfLinesContainingRange(range)) lines.addIndexes(*found);
    return lines;
}

std::u16string NBTextViewMetrics::characterAtCharIndex(uint64_t index) {
    return stringForRange({index, 1});
}

double NBTextViewMetrics::paragraphHeightOfLineAtIndex(uint64_t index) const {
    const QTextBlock block = m_textView->document()->findBlockByNumber(static_cast<int>(index));
    if (!block.isValid()) return 0;
    return m_textView->document()->documentLayout()->blockBoundingRect(block).height();
}
