// Syntax colouring of the calculation text: each block is its line, formatted by the kit's
// line-collection syntax formatter through this highlighter as its delegate. Numbers,
// operators, units and the other token kinds take their colours from the colour manager, or
// black with colouring off; headings and labels turn bold by their own settings either way.
#ifndef NUMBERA_APP_NB_SYNTAX_HIGHLIGHTER_H
#define NUMBERA_APP_NB_SYNTAX_HIGHLIGHTER_H

#include <QFont>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <functional>
#include <memory>
#include <vector>

#include "NKLineCollectionSyntaxFormatter.h"

class NCLineCollection;

// The settings of one formatting pass.
struct NBSyntaxFormattingContext {
    bool enableColoring = true;
    bool enableLabels = false;
    bool enableHeadings = true;
    QFont defaultFont;
    // The settings as they are now.
    static NBSyntaxFormattingContext current();
};

class NBSyntaxHighlighter : public QSyntaxHighlighter,
                            private NKLineCollectionSyntaxFormatterDelegate {
    Q_OBJECT

  public:
    using LineCollection = std::function<std::shared_ptr<NCLineCollection>()>;
    NBSyntaxHighlighter(QTextDocument* document, LineCollection lineCollection);

    // Formats many lines with one relayout of the range they span. Rehighlighting block by
    // block relayouts every later block each time: a whole long document would take minutes.
    void rehighlightBlocks(const std::vector<QTextBlock>& blocks);

  protected:
    void highlightBlock(const QString& text) override;

  private:
    // The block's format character by character, or nothing while its line is not in step.
    std::vector<QTextCharFormat> formatsForBlock(const QTextBlock& block);
    void applyFormat(int start, int length, const QTextCharFormat& format);
    NSRange rangeOfLineAtIndex(uint64_t index, void* contextInfo) override;
    void preFormatLine(NCLine&, NSRange, const NSAttributedString&, NSAttributedString&, NSRange,
                       void*) override {}
    void formatToken(const NCExpressionToken& token, NSRange sourceRange,
                     const NSAttributedString& source, uint64_t lineIndex,
                     NSAttributedString& destination, NSRange destinationRange,
                     void* contextInfo) override;
    void postFormatLine(NCLine&, NSRange, const NSAttributedString&, NSAttributedString&, NSRange,
                        void*) override {}

    LineCollection m_lineCollection;
    std::unique_ptr<NKLineCollectionSyntaxFormatter> m_formatter;
    uint64_t m_blockLength = 0;
    QString m_blockText;
    std::vector<QTextCharFormat> m_formats;
    NBSyntaxFormattingContext m_context;
};

// The stored text of a block: each token written as the core's reference.
std::u16string NBStoredTextOfBlock(const QTextBlock& block);

#endif
