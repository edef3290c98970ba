// Copies the lines under the selection as property-list dictionaries that keep each line's
// stored text, its formatting and the identity of the lines its references point to, and
// turns such dictionaries back into new lines whose relative references are re-targeted for
// their new place. Pasted data is untrusted: values of the wrong type or out of range are
// ignored and the line keeps its defaults.
#ifndef NUMBERA_KIT_NK_PASTEBOARD_HELPER_H
#define NUMBERA_KIT_NK_PASTEBOARD_HELPER_H

#include <memory>
#include <optional>
#include <vector>

#include "NCLine.h"
#include "NCLineCollection.h"
#include "NCPropertyListValue.h"
#include "NKTextViewMetrics.h"
#include "PropertyListFile.h"

// The pasteboard type the document window uses for the lines.
inline constexpr const char* NBLinesPboardType = "NBLinesPboardType";

struct NKPasteboardHelperDelegate {
    virtual ~NKPasteboardHelperDelegate() = default;
    // Options new lines start from; none leaves the line's own defaults.
    virtual std::shared_ptr<NCResultFormattingOptions> defaultResultFormattingOptions() {
        return nullptr;
    }
};

class NKPasteboardHelper {
  public:
    const std::shared_ptr<NCLineCollection>& lineCollection() const { return m_lineCollection; }
    void setLineCollection(std::shared_ptr<NCLineCollection> collection) {
        m_lineCollection = std::move(collection);
    }
    const std::shared_ptr<NKTextViewMetrics>& metrics() const { return m_metrics; }
    void setMetrics(std::shared_ptr<NKTextViewMetrics> metrics) { m_metrics = std::move(metrics); }
    NKPasteboardHelperDelegate* delegate() const { return m_delegate; }
    void setDelegate(NKPasteboardHelperDelegate* delegate) { m_delegate = delegate; }

    // An array of line dictionaries for the selected ranges.
    PlistPtr pasteboardDataForCopyAtPresentPosition();
    // New lines, not yet in any collection, placed from the current line on; none for data
    // that is not an array.
    std::vector<std::shared_ptr<NCLine>> pastedlinesForPasteboardData(
        const NCPropertyListValue& data);

    // `selection` is a range of the line's displayed text.
    PlistPtr dictionaryRepForLine(NCLine& line, NSRange selection);
    std::shared_ptr<NCLine> lineForDictionary(
        const NCPropertyListValue& dictionary,
        std::shared_ptr<const NCPropertyListValue>* otherInfo);
    static int64_t newOffsetForOldLineIndex(int64_t oldIndex, int64_t newIndex, int64_t oldOffset,
                                            const std::shared_ptr<NCLine>& previouslyReferencedLine,
                                            NSRange rangeOfPastedLines);

  private:
    std::shared_ptr<NCLineCollection> m_lineCollection;
    std::shared_ptr<NKTextViewMetrics> m_metrics;
    NKPasteboardHelperDelegate* m_delegate = nullptr;  // not retained
};

#endif
