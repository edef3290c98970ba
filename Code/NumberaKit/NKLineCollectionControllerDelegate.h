// What the line collection controller asks of the document: the text of a line as the text
// view holds it (line references in their stored form, no line break) and the defaults new
// lines are formatted with; and what it tells the document.
#ifndef NUMBERA_KIT_NK_LINE_COLLECTION_CONTROLLER_DELEGATE_H
#define NUMBERA_KIT_NK_LINE_COLLECTION_CONTROLLER_DELEGATE_H

#include <cstdint>
#include <memory>
#include <string>

#include "NCResultFormattingOptions.h"
#include "NCTrigonometryMode.h"
#include "NKFunctions.h"
#include "NSIndexSet.h"

class NCLineCollection;
class NKLineCollectionController;

class NKLineCollectionControllerDelegate {
  public:
    virtual ~NKLineCollectionControllerDelegate() = default;

    virtual std::u16string expressionForLineAtIndex(uint64_t index) = 0;
    virtual NKLocale defaultLocale() = 0;
    virtual NCTrigonometryMode defaultTrigonometryMode() = 0;
    virtual int32_t defaultTextAlignment() = 0;
    virtual std::shared_ptr<NCResultFormattingOptions> defaultFormattingOptions() = 0;

    // Optional: each answers whether it is implemented.
    virtual bool respondsToDidLoadLineCollection() const { return false; }
    virtual void lineCollectionControllerDidLoadLineCollection(NKLineCollectionController*,
                                                               NCLineCollection*) {}
    virtual bool respondsToDidReevaluateLines() const { return false; }
    virtual void lineCollectionControllerLineCollectionDidReevaluateLines(
        NKLineCollectionController*, NCLineCollection*, const NSIndexSet&) {}
};

#endif
