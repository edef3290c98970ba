#include "NBTextViewGeometry.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <algorithm>
#include <optional>

#include "NKTextViewLineMetrics.h"

namespace {

NSRect toNSRect(const QRectF& rect) {
    return NSMakeRect(rect.x(), rect.y(), rect.width(), rect.height());
}

}  // namespace

NBTextViewGeometry::NBTextViewGeometry(QTextEdit* textView,
                                       std::shared_ptr<NKTextViewLineMetrics> lineMetrics,
                                       std::shared_ptr<NKTextViewLineCache> lineCache,
                                       double paragraphSpacing)
    : NKAbstractTextViewGeometry(std::move(lineMetrics), std::move(lineCache), paragraphSpacing),
      m_textView(textView) {}

NBTextViewGeometry::NBTextViewGeometry(std::shared_ptr<NKTextViewLineMetrics> lineMetrics,
                                       std::shared_ptr<NKTextViewLineCache> lineCache,
                                       double paragraphSpacing)
    : NBTextViewGeometry(nullptr, std::move(lineMetrics), std::move(lineCache), paragraphSpacing) {}

NSRect NBTextViewGeometry::boundingRectOfLineAtIndex(uint64_t index) {
    if (!lineCache()) return NSZeroRect;
    std::shared_ptr<NKCachedLine> line = lineCache()->cachedLineAtIndex(index);
    if (!line) return NSZeroRect;
    if (line->rect.size.height == 0.0) {
        const NSRange range =
            lineMetrics() ? lineMetrics()->rangeOfLineAtIndex(index, false) : line->range;
        // Measured downwards from the top (the design measured from the bottom of a flipped
        // view); the kit moves later lines down by a change of height.
        line->rect = rectForCharacterRange(range, false);
        // The last line has no line break under it: one point more keeps the caret's descent
        // inside the line.
        if (!line->hasEndOfLine) line->rect.size.height += 1.0;
        line->oldRect = NSZeroRect;
    }
    return line->rect;
}

NSRect NBTextViewGeometry::rectForCharacterRange(NSRange range, bool flipOrigin) {
    if (!m_textView) return NSZeroRect;
    QTextDocument& document = *m_textView->document();
    NSRect rect = rectForCharacterRange(range, document);
    if (flipOrigin) {
        // The text view is as tall as its text, and at least as tall as what shows of it.
        const double boundsHeight = std::max(document.documentLayout()->documentSize().height(),
                                             static_cast<double>(m_textView->viewport()->height()));
        rect.origin.y = boundsHeight - (rect.origin.y + rect.size.height);
    }
    return rect;
}

NSRect NBTextViewGeometry::rectForCharacterRange(NSRange range, QTextDocument& document) {
    const int length = document.characterCount() - 1;  // without the final paragraph mark
    if (range.location == NSNotFound || range.location > static_cast<uint64_t>(length))
        return NSZeroRect;
    const int start = static_cast<int>(range.location);
    const int end = static_cast<int>(std::min<uint64_t>(NSMaxRange(range), length));
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    std::optional<QRectF> bounds;
    // A range that ends at a block's start does not reach into it, unless it is empty.
    for (QTextBlock block = document.findBlock(start);
         block.isValid() && (block.position() < end || block.position() == start);
         block = block.next()) {
        // Lays the block out when it is not yet.
        const QRectF blockRect = layout->blockBoundingRect(block);
        const QTextLayout* textLayout = block.layout();
        if (!textLayout) continue;
        const QPointF origin = blockRect.topLeft();
        const int blockStart = block.position();
        const int localStart = std::max(start, blockStart) - blockStart;
        const int localEnd = std::min(end, blockStart + block.length() - 1) - blockStart;
        if (localStart > localEnd) continue;
        for (int i = 0; i < textLayout->lineCount(); ++i) {
            const QTextLine line = textLayout->lineAt(i);
            const int lineStart = line.textStart();
            const int lineEnd = lineStart + line.textLength();
            const bool last = i == textLayout->lineCount() - 1;
            // Where nothing of the block's text is covered (an empty range or an empty line),
            // the line that a caret there would stand on counts.
            const bool meets = localStart == localEnd
                                   ? lineStart <= localStart && (localStart < lineEnd || last)
                                   : localStart < lineEnd && localEnd > lineStart;
            if (!meets) continue;
            const double x1 = line.cursorToX(std::max(localStart, lineStart));
            const double x2 = line.cursorToX(std::min(localEnd, lineEnd));
            const QRectF glyphs(origin.x() + std::min(x1, x2), origin.y() + line.y(),
                                std::abs(x2 - x1), line.height());
            bounds = bounds ? bounds->united(glyphs) : glyphs;
        }
    }
    return bounds ? toNSRect(*bounds) : NSZeroRect;
}
