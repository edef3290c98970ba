// Line-reference tokens in the calculation text. A token is one object-replacement character
// (U+FFFC) whose character format carries the attachment's type and reference index; the
// line's stored text holds the core's reference in its functional form instead. The
// attachment controller translates between the two and answers what a token shows.
#ifndef NUMBERA_APP_NB_TEXT_ATTACHMENT_H
#define NUMBERA_APP_NB_TEXT_ATTACHMENT_H

#include <QString>
#include <QTextCharFormat>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "NKLineReferenceDescriber.h"

class NCLine;
class NCLineCollection;
class NBTextViewMetrics;
class QTextCursor;
class QTextDocument;

// A token's type (NKLineReferenceTokenType) and reference index, as the text holds them.
using NBTextAttachment = NKLineReferenceToken;

inline constexpr char16_t NBAttachmentCharacter = 0xFFFC;
inline constexpr int NBTokenObjectType = QTextFormat::UserObject + 1;
inline constexpr int NBTextAttachmentTypeProperty = QTextFormat::UserProperty + 1;
inline constexpr int NBTextAttachmentReferenceIndexProperty = QTextFormat::UserProperty + 2;

// The format of a token's character.
QTextCharFormat NBTextAttachmentFormat(const NBTextAttachment& attachment);
// None for a format that carries no token.
std::optional<NBTextAttachment> NBTextAttachmentFromFormat(const QTextFormat& format);
// The token at a position of the document; none where the character is no token.
std::optional<NBTextAttachment> NBTextAttachmentAt(const QTextDocument* document, int position);
// A plain character format: text typed after a token does not carry the token's properties.
QTextCharFormat NBPlainTextFormat();

// The core's stored text of the token ("(___rel_line(-1))"); empty for types without one.
std::u16string NBCoreTokenTextForAttachment(const NBTextAttachment& attachment);
// The token style a type draws with: 1→3, 2→0, 3→2, 4→5, 0→4, above 4→0.
int32_t NBTokenStyleForAttachmentType(int32_t type);

// A stored text split into plain runs and tokens, in text order.
struct NBTokenizedString {
    struct Piece {
        std::u16string text;  // plain text; empty for a token
        std::optional<NBTextAttachment> attachment;
    };
    std::vector<Piece> pieces;
    // The displayed text: each token one U+FFFC.
    std::u16string displayString() const;
    // Inserted at the cursor, plain text in the plain format.
    void insertAtCursor(QTextCursor& cursor) const;
    bool empty() const { return pieces.empty(); }
};

class NBTextAttachmentController {
  public:
    NBTextAttachmentController(std::shared_ptr<NCLineCollection> lineCollection,
                               std::shared_ptr<NBTextViewMetrics> metrics);

    const std::shared_ptr<NCLineCollection>& lineCollection() const { return m_lineCollection; }
    void setLineCollection(std::shared_ptr<NCLineCollection> lineCollection) {
        m_lineCollection = std::move(lineCollection);
    }
    const std::shared_ptr<NBTextViewMetrics>& metrics() const { return m_metrics; }

    // Core references of the kinds relative, absolute, fixed relative and null (mask 27)
    // become tokens; typed references by line number stay text.
    static NBTokenizedString tokenizedStringFromExpressionString(const std::u16string& stored);
    NBTokenizedString tokenizedStringFromLine(uint64_t lineIndex) const;
    // Type 2: a relative token with offset (referred - line); type 1: an absolute token; any
    // other type tokenizes nothing.
    static NBTokenizedString lineReferenceOfType(int32_t type, uint64_t lineIndex,
                                                 uint64_t referringToLine);

    int64_t lineIndexReferencedByTextAttachment(const NBTextAttachment& attachment,
                                                int64_t lineIndex) const {
        return attachment.referencedLineIndex(lineIndex);
    }
    // The referenced line; null when there is none.
    std::shared_ptr<NCLine> lineForTextAttachment(const NBTextAttachment& attachment,
                                                  int64_t lineIndex) const;
    // What the token shows: its answer, "⚠", the infinity sign, or the medium description.
    std::u16string stringValueForAttachment(const NBTextAttachment& attachment,
                                            int64_t lineIndex) const;
    // The referenced line's answer as a copied token gives it (exponents as "×10^").
    std::u16string answerTextForAttachment(const NBTextAttachment& attachment,
                                           int64_t lineIndex) const;

  private:
    std::shared_ptr<NCLineCollection> m_lineCollection;
    std::shared_ptr<NBTextViewMetrics> m_metrics;
};

// The text between two positions of the document, block breaks as "\n", each token replaced
// by its core text (conversion 0) or its answer (conversion 1, deleted when it has none).
std::u16string NBDetokenizedText(const QTextDocument* document, int from, int to, int conversion,
                                 const NBTextAttachmentController* controller);

#endif
