#include "NKTextSyncHelper.h"

#include "NKLog.h"

bool NKTextSyncHelper::isForceSynchronizeRequiredForTextAction(
    const NKTextAction& action, const NKLineCollectionController& controller,
    NKTextViewMetrics& metrics, const NKTextViewMetricsTextView* textView) {
    if (action.textActionType() == NKTextActionScrewy) {
        NKLog("Warning: NBTextActionType Screwy");
        return true;
    }
    uint64_t lastRedrawn = action.indexesToRedraw() ? action.indexesToRedraw()->lastIndex() : 0;
    uint64_t count = controller.countOfLines();
    if (count == 0 || lastRedrawn > count - 1) {
        NKLog("Warning: Trying to redraw an out of range index %lu",
              static_cast<unsigned long>(lastRedrawn));
        return true;
    }
    if (metrics.countOfLines() != count) {
        if (textView && !textView->string().empty())
            NKLog(
                "Forced Synchronisation Required. Line Collection does not have the same "
                "amount of lines as are in the textView");
        return true;
    }
    return false;
}
