// Rewrites a line's stored text with each line reference replaced by a text the caller
// chooses (for export, copying and display), references inside comments included.
#ifndef NUMBERA_CORE_NC_LINE_REFERENCE_SUBSTITUTER_H
#define NUMBERA_CORE_NC_LINE_REFERENCE_SUBSTITUTER_H

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "NCEnvironment.h"
#include "NCLineReferenceType.h"
#include "NCParsedExpression.h"
#include "NSAttributedString.h"

class NCLineCollection;

// A plain replacement, or an attributed one where attributed output was asked for.
typedef std::variant<std::u16string, NSAttributedString> NCLineReferenceReplacement;

struct NCLineReferenceSubstituterDelegate {
    virtual ~NCLineReferenceSubstituterDelegate() = default;
    // The text for a reference of the kind and number on the line at lineIndex; none leaves
    // the reference as it is.
    virtual std::optional<NCLineReferenceReplacement> stringForLineReference(
        NCLineReferenceType kind, int64_t number, int64_t lineIndex,
        NCLineCollection* lineCollection, void* contextInfo) = 0;
};

// Writes a reference as the referenced line's answer, or as "line" and the line number where
// there is no answer to show.
class NCPlainTextLineReferenceSubstituterDelegate : public NCLineReferenceSubstituterDelegate {
  public:
    const std::optional<std::u16string>& prefix() const { return m_prefix; }
    // Put in front of every replacement.
    void setPrefix(std::optional<std::u16string> prefix) { m_prefix = std::move(prefix); }

    std::optional<NCLineReferenceReplacement> stringForLineReference(
        NCLineReferenceType kind, int64_t number, int64_t lineIndex,
        NCLineCollection* lineCollection, void* contextInfo) override;

  private:
    std::optional<std::u16string> m_prefix;
};

class NCLineReferenceSubstituter {
  public:
    NCLineReferenceSubstituter() = default;
    // The delegate is not retained.
    NCLineReferenceSubstituter(std::shared_ptr<NCLineCollection> lineCollection,
                               NCLineReferenceSubstituterDelegate* substitutionDelegate)
        : m_lineCollection(std::move(lineCollection)),
          m_substitutionDelegate(substitutionDelegate) {}
    static std::shared_ptr<NCLineReferenceSubstituter> substituterWithLineCollection(
        std::shared_ptr<NCLineCollection> lineCollection,
        NCLineReferenceSubstituterDelegate* delegate) {
        return std::make_shared<NCLineReferenceSubstituter>(std::move(lineCollection), delegate);
    }

    const std::shared_ptr<NCLineCollection>& lineCollection() const { return m_lineCollection; }
    NCLineReferenceSubstituterDelegate* substitutionDelegate() const {
        return m_substitutionDelegate;
    }
    void setSubstitutionDelegate(NCLineReferenceSubstituterDelegate* delegate) {
        m_substitutionDelegate = delegate;
    }
    NCPlainTextLineReferenceSubstituterDelegate& plainTextDelegate() { return m_plainTextDelegate; }
    // Writes the references inside comments, always as plain text; the plain-text delegate
    // when none is set. Not retained.
    void setCommentSubstitutionDelegate(NCLineReferenceSubstituterDelegate* delegate) {
        m_commentSubstitutionDelegate = delegate;
    }

    // The stored text with every reference whose kind is in the mask replaced by the delegate's
    // text, from the last token back; with lookInsideComments, references inside comments are
    // written as plain text. An NSAttributedString when attributed output is asked for. None
    // without an expression or stored text.
    std::optional<NCLineReferenceReplacement> stringByReplacingLineReferencesOfType(
        NCLineReferenceType mask, const std::shared_ptr<NCExpression>& expression,
        NCParsedExpression* parsedExpression, int64_t lineIndex, void* contextInfo,
        NCLineReferenceSubstituterDelegate* substitutionDelegate, bool attributedString,
        bool lookInsideComments);
    // The parsed expression's own expression, comments looked into, the substituter's delegate.
    std::optional<NCLineReferenceReplacement> stringByReplacingLineReferencesOfType(
        NCLineReferenceType mask, NCParsedExpression& parsedExpression, int64_t lineIndex,
        void* contextInfo, bool attributedString);
    // A bare text parsed in the shared parsing environment without comments.
    std::optional<NCLineReferenceReplacement> substitutedExpressionString(
        const std::optional<std::u16string>& string, NCLineReferenceType mask, int64_t lineIndex,
        void* contextInfo, NCLineReferenceSubstituterDelegate* substitutionDelegate,
        bool isAttributedString);

    // A temporary substituter over the collection.
    static std::optional<std::u16string> stringByReplacingLineReferencesOfType(
        NCLineReferenceType mask, NCParsedExpression& parsedExpression, int64_t lineIndex,
        std::shared_ptr<NCLineCollection> lineCollection,
        NCLineReferenceSubstituterDelegate* delegate, void* contextInfo);
    static std::optional<NSAttributedString> attributedStringByReplacingLineReferencesOfType(
        NCLineReferenceType mask, NCParsedExpression& parsedExpression, int64_t lineIndex,
        std::shared_ptr<NCLineCollection> lineCollection,
        NCLineReferenceSubstituterDelegate* delegate, void* contextInfo);

    // Made once: the environment bare texts are parsed in.
    static std::shared_ptr<NCEnvironment> parsingEnvironment();

  private:
    std::shared_ptr<NCLineCollection> m_lineCollection;
    NCLineReferenceSubstituterDelegate* m_substitutionDelegate = nullptr;
    NCPlainTextLineReferenceSubstituterDelegate m_plainTextDelegate;
    NCLineReferenceSubstituterDelegate* m_commentSubstitutionDelegate = nullptr;
};

// The plain text of a replacement.
std::u16string NCLineReferenceReplacementText(const NCLineReferenceReplacement& replacement);

#endif
