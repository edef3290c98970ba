// The variables every expression knows, in one list shared by the whole process: "pi" (alias
// "π"). Document and global variable lists chain up to it as their last parent.
#ifndef NUMBERA_FOUNDATION_NBF_STANDARD_VARIABLES_H
#define NUMBERA_FOUNDATION_NBF_STANDARD_VARIABLES_H

#include "NBFVariable.h"

// π with 498 digits after the decimal point.
extern const char* const NBFStandardVariablesPiText;

// Makes the shared list on the first call; later calls change nothing. Foundation start-up
// calls it once; it is safe from any thread.
void NBFStandardVariablesInit();
// The shared list. Asking before NBFStandardVariablesInit is a start-up order error that stops
// the process.
NBFVariableListRef NBFStandardVariablesGetSharedListReference();

#endif
