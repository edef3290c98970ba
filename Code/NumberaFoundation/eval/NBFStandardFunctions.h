// The standard functions every expression can call, built once at start-up and shared.
#ifndef NUMBERA_FOUNDATION_NBF_STANDARD_FUNCTIONS_H
#define NUMBERA_FOUNDATION_NBF_STANDARD_FUNCTIONS_H

#include "NBFFunctionList.h"

// Builds the shared list; later calls change nothing.
void NBFStandardFunctionsInit();
// The shared list, borrowed; null before NBFStandardFunctionsInit.
NBFFunctionListRef NBFStandardFunctionsGetSharedListReference();

#endif
