// Starting the foundation: the arbitrary-precision library, the constant tables and the shared
// lists of every part of the foundation are built once per process, in a fixed order, before
// any expression is evaluated.
#ifndef NUMBERA_FOUNDATION_NBFOUNDATION_H
#define NUMBERA_FOUNDATION_NBFOUNDATION_H

#include "NBFSettings.h"

// Only the first call in a process has an effect; the settings become the current ones. Call
// it before other threads use the foundation.
void NBFoundationInit(NBFSettingsRef settings);
bool NBFoundationIsStarted();
// Kept for callers of the debugging aids; there is nothing to prepare.
void NBFDebugUtilitiesInit();

#endif
