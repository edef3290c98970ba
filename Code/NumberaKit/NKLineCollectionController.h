// Keeps a document's line collection in step with the calculation text: applies the text
// actions of each edit (lines appended, inserted, removed and re-read from the document),
// rewrites line references (relative, absolute and by line number) whose target moved, turns
// references to removed lines into null references, and reports which lines to redraw and
// which lines' text it rewrote.
#ifndef NUMBERA_KIT_NK_LINE_COLLECTION_CONTROLLER_H
#define NUMBERA_KIT_NK_LINE_COLLECTION_CONTROLLER_H

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "NCLine.h"
#include "NCLineCollection.h"
#include "NKFunctions.h"
#include "NKLineCollectionControllerDelegate.h"
#include "NKTextAction.h"

// The references of one line that point at lines being removed.
struct NKLineReferencesToNullify {
    std::vector<NSRange> rangesInTheLine;  // "rangesInTheLine"
    std::shared_ptr<NCLine> lineObject;    // "lineObject"
    // The stored text under each range when it was found: a range is only replaced while it
    // still holds that text.
    std::vector<std::u16string> tokenTexts;
    // Whether each reference stands after the edited characters, so that it moves with the
    // end of its line when the line is re-read; the others stand before them and keep their
    // place.
    std::vector<bool> followsTheEdit;
    // The length of the line's text the ranges were found in.
    uint64_t originalLength = 0;
};

// Which re-evaluation reports of the collection reach the delegate.
typedef int64_t NKNotifyMode;
enum : NKNotifyMode {
    NKNotifyModeAutomaticUpdates = 0,  // lines evaluated without being changed themselves
    NKNotifyModeAllUpdates = 1,        // every line evaluated in the pass
    NKNotifyModeSilent = 2,            // none (while the document rebuilds every line)
};

class NKLineCollectionController {
  public:
    NKLineCollectionController();
    ~NKLineCollectionController();
    NKLineCollectionController(const NKLineCollectionController&) = delete;
    NKLineCollectionController& operator=(const NKLineCollectionController&) = delete;

    const std::shared_ptr<NCLineCollection>& lineCollection() const { return m_lineCollection; }
    void setLineCollection(std::shared_ptr<NCLineCollection> collection);
    NKLineCollectionControllerDelegate* delegate() const { return m_delegate; }
    // Not retained.
    void setDelegate(NKLineCollectionControllerDelegate* delegate) { m_delegate = delegate; }
    NKNotifyMode notifyMode() const { return m_notifyMode; }
    void setNotifyMode(NKNotifyMode mode) { m_notifyMode = mode; }
    NKLocale locale() const { return m_locale; }
    void setLocale(NKLocale locale);

    const std::optional<NSIndexSet>& linesToRedraw() const { return m_linesToRedraw; }
    const std::optional<NSIndexSet>& linesWhoseExpressionsHaveChanged() const {
        return m_linesWhoseExpressionsHaveChanged;
    }
    void resetLinesToRedrawCache() { m_linesToRedraw.reset(); }
    void resetLinesWhoseExpressionsChangedCache() { m_linesWhoseExpressionsHaveChanged.reset(); }
    uint64_t countOfLines() const;

    void updateLineCollectionFromTextAction(const NKTextAction& action);

    // The index values of the set are not used: one line is appended per index.
    void addLinesAtIndexes(const NSIndexSet& indexes, bool withFormattingOfPreviousLine);
    void insertLinesAtIndexes(const NSIndexSet& indexes, bool withFormattingOfPreviousLine);
    void removeLinesAtIndexes(const NSIndexSet& indexes);
    void reevaluateLinesAtIndexes(const NSIndexSet& indexes, bool batchMode = true);

    // The ranges of the line's relative references to the referred line, last first.
    std::vector<NSRange> rangesOfTokensOnLine(uint64_t lineIndex, uint64_t referredLineIndex);
    std::vector<NKLineReferencesToNullify> linesWithReferencesToNullifyFromTextAction(
        const NKTextAction& action);
    void nullifyLines(const std::vector<NKLineReferencesToNullify>& lines);
    // Adds the change to every relative reference within the range of the line's text; a
    // reference that would point at its own line or above line 0 becomes a null reference.
    void adjustTokensOnLine(uint64_t lineIndex, NSRange range, int64_t offsetChange);
    // As above, but each reference gets the exact offset to its old target's new place: the
    // references stood on `sourceLineIndex` before an edit that removed `removed` (old
    // indexes) and then inserted `inserted` (new indexes); a removed target gives a null
    // reference.
    void adjustTokensOnLine(uint64_t lineIndex, NSRange range, uint64_t sourceLineIndex,
                            const NSIndexSet& removed, const NSIndexSet& inserted);
    void addIndexesToReloadInTextView(const NSIndexSet& indexes);

    void formatLineFromDefaults(NCLine& line);
    void formatLine(NCLine& line, const NCLine& fromLine);

    // Reports of the line collection.
    void lineCollectionDidUpdateLinesAtIndexes(NCLineCollection* collection,
                                               const NSIndexSet& indexes);
    void lineCollectionDidAutomaticallyUpdateLinesAtIndexes(NCLineCollection* collection,
                                                            const NSIndexSet& indexes);
    // For each line, its references (by identifier, "%d%+d" of kind and number) and how far
    // each must move. A reference by line number keeps its word as the user wrote it.
    void lineCollectionDidNoticeThatLineReferenceOnLinesShouldShiftBy(
        NCLineCollection* collection, const std::vector<std::shared_ptr<NCLine>>& lines,
        const std::vector<std::map<std::u16string, int64_t>>& shifts);

    void cacheLinesNeedingRedrawAndNotifyDelegate(const NSIndexSet& indexes);

    // A transcript of the collection's lines, for diagnosing.
    void printLineCollectionStateIntoUnitTest();
    const std::u16string& unitTestFromTextAction() const { return m_unitTestFromTextAction; }

  private:
    struct CollectionDelegate;
    // An absolute reference or one by line number as it stood before an action.
    struct PlacedReference {
        uint64_t location = 0;  // in the whole text
        std::u16string text;
        NCLineReferenceType kind = NCLineReferenceTypeAbsolute;
        uint64_t lineIndex = 0;    // of the line holding it
        uint64_t targetIndex = 0;  // of the line it names
        std::shared_ptr<NCLine> target;
    };
    // The ordinal-th absolute or numbered reference of a line, which must still read `text`,
    // becomes `replacement`.
    struct PlacedReferenceRewrite {
        size_t ordinal = 0;
        std::u16string text, replacement;
    };
    typedef std::vector<std::pair<std::shared_ptr<NCLine>, std::vector<PlacedReferenceRewrite>>>
        PlacedReferenceRewrites;

    std::shared_ptr<NCLine> newEmptyLine();
    // Rewrites the relative references of the lines that held some before the action, from the
    // indexes each line and its targets had then (the collection's own announcements of moved
    // references are not taken).
    void followMovedReferences(
        const NKTextAction& action,
        const std::vector<std::pair<std::shared_ptr<NCLine>, uint64_t>>& placesBefore);
    // Absolute references and references by line number name their target by its place, not
    // by their own line: they are found by where they stand in the whole text before the
    // action, found again after it (wherever their text went) and given their target's new
    // place. The rewrites are planned while the lines hold the text view's text and made after
    // the relative references were rewritten, which never adds or removes one of these.
    std::vector<PlacedReference> placedReferencesBeforeAction() const;
    PlacedReferenceRewrites planPlacedReferenceRewrites(
        const NKTextAction& action, const std::vector<PlacedReference>& before) const;
    void rewritePlacedReferences(const PlacedReferenceRewrites& rewrites);
    void setExpressionOfLine(NCLine& line, const std::u16string& text);
    void noteExpressionChanged(uint64_t index);

    std::shared_ptr<NCLineCollection> m_lineCollection;
    std::unique_ptr<CollectionDelegate> m_collectionDelegate;
    std::optional<NSIndexSet> m_linesToRedraw;
    std::optional<NSIndexSet> m_linesWhoseExpressionsHaveChanged;
    NKNotifyMode m_notifyMode = NKNotifyModeAutomaticUpdates;
    std::u16string m_unitTestFromTextAction;
    NKLocale m_locale = standardLocale();
    NKLineCollectionControllerDelegate* m_delegate = nullptr;
};

#endif
