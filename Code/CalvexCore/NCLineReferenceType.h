// The kinds of line references, as bits so that several kinds can be asked for at once.
#ifndef NUMBERA_CORE_NC_LINE_REFERENCE_TYPE_H
#define NUMBERA_CORE_NC_LINE_REFERENCE_TYPE_H

#include <cstdint>

typedef int32_t NCLineReferenceType;
enum : NCLineReferenceType {
    NCLineReferenceTypeNone = 0,
    NCLineReferenceTypeRelative = 1,       // an offset from the referring line
    NCLineReferenceTypeAbsolute = 2,       // a zero-based line index
    NCLineReferenceTypeByLineNumber = 4,   // a one-based line number, typed as a word
    NCLineReferenceTypeFixedRelative = 8,  // an offset that edits do not move
    NCLineReferenceTypeNull = 16,          // the referenced line was removed
    NCLineReferenceTypeAll = 31,
};

#endif
