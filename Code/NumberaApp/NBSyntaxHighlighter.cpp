#include "NBSyntaxHighlighter.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>

#include "NBInterfaceHelpers.h"
#include "NBTextAttachment.h"
#include "NBTextAttributes.h"
#include "NBUserDefaultsController.h"
#include "NBUserDefaultsKeys.h"
#include "NCLine.h"
#include "NCLineCollection.h"
#include "Settings.h"

NBSyntaxFormattingContext NBSyntaxFormattingContext::current() {
    NBSyntaxFormattingContext context;
    context.enableColoring = NBUserDefaultsController::syntaxColouringEnabled();
    if (std::shared_ptr<Settings> settings = Settings::standard()) {
        context.enableLabels = settings->boolForKey(NBBoldLabelsEnabled);
        context.enableHeadings = settings->boolForKey(NBBoldHeadingsEnabled);
    }
    context.defaultFont = NBTextAttributes::defaultTextViewFont();
    return context;
}

std::u16string NBStoredTextOfBlock(const QTextBlock& block) {
    std::u16string text;
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QString part = fragment.text();
        const std::optional<NBTextAttachment> attachment =
            NBTextAttachmentFromFormat(fragment.charFormat());
        for (QChar c : part) {
            if (c == QChar(NBAttachmentCharacter) && attachment)
                text += NBCoreTokenTextForAttachment(*attachment);
            else if (c != QChar(NBAttachmentCharacter))
                text += c.unicode();
        }
    }
    return text;
}

NBSyntaxHighlighter::NBSyntaxHighlighter(QTextDocument* document, LineCollection lineCollection)
    : QSyntaxHighlighter(document), m_lineCollection(std::move(lineCollection)) {}

std::vector<QTextCharFormat> NBSyntaxHighlighter::formatsForBlock(const QTextBlock& block) {
    m_formats.clear();
    std::shared_ptr<NCLineCollection> collection = m_lineCollection ? m_lineCollection() : nullptr;
    const int index = block.blockNumber();
    if (!collection || index < 0 || static_cast<uint64_t>(index) >= collection->countOfLines())
        return {};
    std::shared_ptr<NCLine> line = collection->lineAtIndex(static_cast<uint64_t>(index));
    // A line not yet in step with its block is formatted once it is.
    if (!line || line->expressionString().value_or(u"") != NBStoredTextOfBlock(block)) return {};
    if (!m_formatter || m_formatter->lineCollection() != collection) {
        m_formatter = std::make_unique<NKLineCollectionSyntaxFormatter>(collection);
        m_formatter->setDelegate(this);
    }
    m_context = NBSyntaxFormattingContext::current();
    m_blockText = block.text();
    m_blockLength = static_cast<uint64_t>(m_blockText.size());
    m_formats.assign(m_blockText.size(), QTextCharFormat());
    NSAttributedString source(m_blockText.toStdU16String());
    m_formatter->formatLinesAtIndexes(NSIndexSet(static_cast<uint64_t>(index)), source, source,
                                      nullptr);
    return std::move(m_formats);
}

namespace {

// Runs of equal formats, as a layout holds them.
QList<QTextLayout::FormatRange> formatRuns(const std::vector<QTextCharFormat>& formats) {
    QList<QTextLayout::FormatRange> runs;
    for (size_t i = 0; i < formats.size();) {
        size_t end = i + 1;
        while (end < formats.size() && formats[end] == formats[i]) ++end;
        if (formats[i] != QTextCharFormat())
            runs.append({static_cast<int>(i), static_cast<int>(end - i), formats[i]});
        i = end;
    }
    return runs;
}

}  // namespace

void NBSyntaxHighlighter::highlightBlock(const QString&) {
    for (const QTextLayout::FormatRange& run : formatRuns(formatsForBlock(currentBlock())))
        setFormat(run.start, run.length, run.format);
}

void NBSyntaxHighlighter::rehighlightBlocks(const std::vector<QTextBlock>& blocks) {
    QTextDocument* text = document();
    if (!text || blocks.empty()) return;
    int from = text->characterCount();
    int to = 0;
    for (const QTextBlock& block : blocks) {
        if (!block.isValid() || !block.layout()) continue;
        // Text being composed by an input method keeps its own formats: that block goes the
        // highlighter's own way.
        if (!block.layout()->preeditAreaText().isEmpty()) {
            rehighlightBlock(block);
            continue;
        }
        block.layout()->setFormats(formatRuns(formatsForBlock(block)));
        from = std::min(from, block.position());
        to = std::max(to, block.position() + block.length());
    }
    if (from < to) text->markContentsDirty(from, to - from);
}

NSRange NBSyntaxHighlighter::rangeOfLineAtIndex(uint64_t, void*) { return {0, m_blockLength}; }

void NBSyntaxHighlighter::formatToken(const NCExpressionToken& token, NSRange,
                                      const NSAttributedString&, uint64_t, NSAttributedString&,
                                      NSRange destinationRange, void*) {
    if (destinationRange.location + destinationRange.length > m_blockLength ||
        destinationRange.length == 0)
        return;
    const int start = static_cast<int>(destinationRange.location);
    const int length = static_cast<int>(destinationRange.length);
    QTextCharFormat format;
    format.setForeground(m_context.enableColoring
                             ? NBSyntaxColorForTokenType(token.type(), token.subType())
                             : QColor(Qt::black));
    const bool heading = token.type() == NCExpressionTokenTypeComment &&
                         token.subType() == NCExpressionTokenSubTypeRightwardsTitle;
    const bool label = token.type() == NCExpressionTokenTypeComment &&
                       token.subType() == NCExpressionTokenSubTypeLeftwardsTitle;
    if ((heading && m_context.enableHeadings) || (label && m_context.enableLabels))
        format.setFontWeight(QFont::Bold);
    applyFormat(start, length, format);
    if (heading && m_context.enableHeadings &&
        m_blockText.mid(start, length).contains(QLatin1Char('@'))) {
        QTextCharFormat marker = format;
        marker.setForeground(NBSyntaxHeadingMarkerColor());
        marker.setFontWeight(QFont::DemiBold);
        applyFormat(start, 1, marker);
    }
}

void NBSyntaxHighlighter::applyFormat(int start, int length, const QTextCharFormat& format) {
    for (int i = start; i < start + length && i < static_cast<int>(m_formats.size()); ++i)
        m_formats[static_cast<size_t>(i)] = format;
}
