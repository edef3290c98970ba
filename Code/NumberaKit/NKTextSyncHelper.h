// When the line collection and the text view have fallen out of step, so that the document
// must rebuild every line from the text.
#ifndef NUMBERA_KIT_NK_TEXT_SYNC_HELPER_H
#define NUMBERA_KIT_NK_TEXT_SYNC_HELPER_H

#include "NKLineCollectionController.h"
#include "NKTextAction.h"
#include "NKTextViewMetrics.h"

class NKTextSyncHelper {
  public:
    static bool isForceSynchronizeRequiredForTextAction(
        const NKTextAction& action, const NKLineCollectionController& controller,
        NKTextViewMetrics& metrics, const NKTextViewMetricsTextView* textView);
};

#endif
