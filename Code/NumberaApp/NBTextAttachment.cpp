#include "NBTextAttachment.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <limits>

#include "NBTextViewMetrics.h"
#include "NCExpression.h"
#include "NCLine.h"
#include "NCLineCollection.h"
#include "NCResult.h"
#include "NCResultFormatter.h"
#include "NCResultFormattingOptions.h"
#include "NKLineReferenceTokens.h"

namespace {

constexpr NCLineReferenceType kTokenizedReferences =
    NCLineReferenceTypeRelative | NCLineReferenceTypeAbsolute | NCLineReferenceTypeFixedRelative |
    NCLineReferenceTypeNull;

// The answer of a line as a token or a copied token writes it; none without a value. A token
// shows only an answer there is: it is measured while the text is laid out, and evaluating a
// line then would redraw the text being laid out.
std::optional<std::u16string> answerOfLine(NCLine& line, bool superscriptExponents) {
    if (superscriptExponents && !line.isEvaluated()) return std::nullopt;
    std::shared_ptr<NCResult> result = line.result();
    if (!result || result->resultType() != NCResultTypeValue) return std::nullopt;
    std::shared_ptr<NCResultFormattingOptions> base = line.formattingOptions();
    std::shared_ptr<NCResultFormattingOptions> options =
        base ? base->copy() : std::make_shared<NCResultFormattingOptions>();
    if (superscriptExponents) {
        // A token is narrow: at least one decimal place, exponents raised in place.
        if (options->decimalPlaces() == 0) options->setDecimalPlaces(1);
        options->scientificNotationConvertsExponentCharactersIntoSuperscript = true;
    } else {
        options->scientificNotationBaseString = u"\u00D710^";
    }
    return NCResultFormatter::sharedInstance().stringValueForResult(result.get(), options.get());
}

}  // namespace

QTextCharFormat NBTextAttachmentFormat(const NBTextAttachment& attachment) {
    QTextCharFormat format;
    format.setObjectType(NBTokenObjectType);
    // The capsule sits on the baseline and dips below it, as the text does.
    format.setVerticalAlignment(QTextCharFormat::AlignBaseline);
    format.setProperty(NBTextAttachmentTypeProperty, attachment.type);
    // Qt hashes an int property by its value but every qlonglong alike, and a document's
    // formats are found by hash: tokens to many lines held as qlonglong made each new token's
    // format a walk over all the others.
    const int64_t index = attachment.referenceIndex;
    if (index >= std::numeric_limits<int>::min() && index <= std::numeric_limits<int>::max())
        format.setProperty(NBTextAttachmentReferenceIndexProperty, static_cast<int>(index));
    else
        format.setProperty(NBTextAttachmentReferenceIndexProperty, static_cast<qlonglong>(index));
    return format;
}

std::optional<NBTextAttachment> NBTextAttachmentFromFormat(const QTextFormat& format) {
    if (format.objectType() != NBTokenObjectType ||
        !format.hasProperty(NBTextAttachmentTypeProperty))
        return std::nullopt;
    return NBTextAttachment{format.intProperty(NBTextAttachmentTypeProperty),
                            format.property(NBTextAttachmentReferenceIndexProperty).toLongLong()};
}

std::optional<NBTextAttachment> NBTextAttachmentAt(const QTextDocument* document, int position) {
    if (!document || position < 0 || position >= document->characterCount() - 1) return {};
    if (document->characterAt(position) != QChar(NBAttachmentCharacter)) return std::nullopt;
    const QTextBlock block = document->findBlock(position);
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (position >= fragment.position() && position < fragment.position() + fragment.length())
            return NBTextAttachmentFromFormat(fragment.charFormat());
    }
    return std::nullopt;
}

QTextCharFormat NBPlainTextFormat() { return QTextCharFormat(); }

std::u16string NBCoreTokenTextForAttachment(const NBTextAttachment& attachment) {
    switch (attachment.type) {
        case NKLineReferenceTokenTypeAbsolute:
            return attachment.referenceIndex < 0
                       ? NCExpression::nullLineReferenceToken()
                       : NCExpression::absoluteLineReferenceTokenWithIndex(
                             static_cast<uint64_t>(attachment.referenceIndex));
        case NKLineReferenceTokenTypeByLine:
            return NCExpression::relativeLineReferenceTokenWithOffset(attachment.referenceIndex);
        case NKLineReferenceTokenTypeByOffset:
            return NCExpression::fixedRelativeLineReferenceTokenWithOffset(
                attachment.referenceIndex);
        case NKLineReferenceTokenTypeNull:
            return NCExpression::nullLineReferenceToken();
        default:
            return {};
    }
}

int32_t NBTokenStyleForAttachmentType(int32_t type) {
    switch (type) {
        case NKLineReferenceTokenTypeNone:
            return 4;
        case NKLineReferenceTokenTypeAbsolute:
            return 3;
        case NKLineReferenceTokenTypeByOffset:
            return 2;
        case NKLineReferenceTokenTypeNull:
            return 5;
        default:
            return 0;
    }
}

std::u16string NBTokenizedString::displayString() const {
    std::u16string text;
    for (const Piece& piece : pieces) {
        if (piece.attachment)
            text += NBAttachmentCharacter;
        else
            text += piece.text;
    }
    return text;
}

void NBTokenizedString::insertAtCursor(QTextCursor& cursor) const {
    for (const Piece& piece : pieces) {
        if (piece.attachment)
            cursor.insertText(QString(QChar(NBAttachmentCharacter)),
                              NBTextAttachmentFormat(*piece.attachment));
        else if (!piece.text.empty())
            cursor.insertText(QString::fromStdU16String(piece.text), NBPlainTextFormat());
    }
}

NBTextAttachmentController::NBTextAttachmentController(
    std::shared_ptr<NCLineCollection> lineCollection, std::shared_ptr<NBTextViewMetrics> metrics)
    : m_lineCollection(std::move(lineCollection)), m_metrics(std::move(metrics)) {}

NBTokenizedString NBTextAttachmentController::tokenizedStringFromExpressionString(
    const std::u16string& stored) {
    NBTokenizedString tokenized;
    uint64_t at = 0;
    for (const auto& token : NKLineReferenceTokensOfTypeInString(kTokenizedReferences, stored)) {
        if (!token) continue;
        const NSRange range = token->range();
        if (range.location < at || range.location + range.length > stored.size()) continue;
        if (range.location > at)
            tokenized.pieces.push_back({stored.substr(at, range.location - at), std::nullopt});
        tokenized.pieces.push_back(
            {{},
             NKLineReferenceToken::tokenForReference(token->lineReferenceType(),
                                                     token->lineReferenceNumber(), 0)});
        at = range.location + range.length;
    }
    if (at < stored.size()) tokenized.pieces.push_back({stored.substr(at), std::nullopt});
    return tokenized;
}

NBTokenizedString NBTextAttachmentController::tokenizedStringFromLine(uint64_t lineIndex) const {
    if (!m_lineCollection || lineIndex >= m_lineCollection->countOfLines()) return {};
    std::shared_ptr<NCLine> line = m_lineCollection->lineAtIndex(lineIndex);
    if (!line) return {};
    return tokenizedStringFromExpressionString(line->expressionString().value_or(u""));
}

NBTokenizedString NBTextAttachmentController::lineReferenceOfType(int32_t type, uint64_t lineIndex,
                                                                  uint64_t referringToLine) {
    std::u16string text;
    if (type == NKLineReferenceTokenTypeByLine)
        text = NCExpression::relativeLineReferenceTokenWithOffset(
            static_cast<int64_t>(referringToLine) - static_cast<int64_t>(lineIndex));
    else if (type == NKLineReferenceTokenTypeAbsolute)
        text = NCExpression::absoluteLineReferenceTokenWithIndex(referringToLine);
    return tokenizedStringFromExpressionString(text);
}

std::shared_ptr<NCLine> NBTextAttachmentController::lineForTextAttachment(
    const NBTextAttachment& attachment, int64_t lineIndex) const {
    const int64_t target = attachment.referencedLineIndex(lineIndex);
    if (!m_lineCollection || target < 0 ||
        static_cast<uint64_t>(target) >= m_lineCollection->countOfLines())
        return nullptr;
    return m_lineCollection->lineAtIndex(static_cast<uint64_t>(target));
}

std::u16string NBTextAttachmentController::stringValueForAttachment(
    const NBTextAttachment& attachment, int64_t lineIndex) const {
    return NKLineReferenceDescriber::textForToken(
        attachment, lineIndex, m_lineCollection.get(),
        [](NCLine& line) { return answerOfLine(line, true); });
}

std::u16string NBTextAttachmentController::answerTextForAttachment(
    const NBTextAttachment& attachment, int64_t lineIndex) const {
    std::shared_ptr<NCLine> line = lineForTextAttachment(attachment, lineIndex);
    if (!line || attachment.refersToItsOwnLine(lineIndex)) return {};
    return answerOfLine(*line, false).value_or(u"");
}

std::u16string NBDetokenizedText(const QTextDocument* document, int from, int to, int conversion,
                                 const NBTextAttachmentController* controller) {
    std::u16string text;
    if (!document || to <= from) return text;
    for (int at = from; at < to; ++at) {
        const QChar c = document->characterAt(at);
        if (c == QChar(0x2029)) {
            text += u'\n';
            continue;
        }
        if (c != QChar(NBAttachmentCharacter)) {
            text += c.unicode();
            continue;
        }
        const std::optional<NBTextAttachment> attachment = NBTextAttachmentAt(document, at);
        if (!attachment) continue;
        if (conversion == 0) {
            text += NBCoreTokenTextForAttachment(*attachment);
        } else if (conversion == 1 && controller) {
            const int64_t line = document->findBlock(at).blockNumber();
            text += controller->answerTextForAttachment(*attachment, line);
        }
    }
    return text;
}
