#include "NBSyntaxHighlighter.h"

#include <QTextBlock>

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

void NBSyntaxHighlighter::highlightBlock(const QString& text) {
    std::shared_ptr<NCLineCollection> collection = m_lineCollection ? m_lineCollection() : nullptr;
    const int index = currentBlock().blockNumber();
    if (!collection || index < 0 || static_cast<uint64_t>(index) >= collection->countOfLines())
        return;
    std::shared_ptr<NCLine> line = collection->lineAtIndex(static_cast<uint64_t>(index));
    // A line not yet in step with its block is formatted once it is.
    if (!line || line->expressionString().value_or(u"") != NBStoredTextOfBlock(currentBlock()))
        return;
    if (!m_formatter || m_formatter->lineCollection() != collection) {
        m_formatter = std::make_unique<NKLineCollectionSyntaxFormatter>(collection);
        m_formatter->setDelegate(this);
    }
    m_context = NBSyntaxFormattingContext::current();
    m_blockLength = static_cast<uint64_t>(text.size());
    NSAttributedString source(text.toStdU16String());
    m_formatter->formatLinesAtIndexes(NSIndexSet(static_cast<uint64_t>(index)), source, source,
                                      nullptr);
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
    setFormat(start, length, format);
    if (heading && m_context.enableHeadings &&
        currentBlock().text().mid(start, length).contains(QLatin1Char('@'))) {
        QTextCharFormat marker = format;
        marker.setForeground(NBSyntaxHeadingMarkerColor());
        marker.setFontWeight(QFont::DemiBold);
        setFormat(start, 1, marker);
    }
}
