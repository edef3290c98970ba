// Scratch objects for arithmetic: a context (a precision and four registers) and an
// accumulator (a running product or quotient that ping-pongs between two values, so a chain
// of operations allocates nothing). One evaluation uses one of each at a time.
#ifndef NUMBERA_FOUNDATION_NBF_MAPM_CONTEXT_H
#define NUMBERA_FOUNDATION_NBF_MAPM_CONTEXT_H

#include <cstdint>

#include "NBFObject.h"
#include "mapm/m_apm.h"

struct NBFMAPMContext : NBF::Object<NBFMAPMContext> {
    ~NBFMAPMContext() override;
    M_APM registers[4] = {};  // register 0 receives a function's result
    uint16_t significantDigits = 0;
};
typedef NBFMAPMContext* NBFMAPMContextRef;

NBFMAPMContextRef NBFMAPMContextCreate(uint16_t significantDigits);
NBFMAPMContextRef NBFMAPMContextRetain(NBFMAPMContextRef context);
void NBFMAPMContextRelease(NBFMAPMContextRef context);
uint16_t NBFMAPMContextGetSignificantDigits(NBFMAPMContextRef context);  // 0 for null

struct NBFMAPMAccumulator;
typedef NBFMAPMAccumulator* NBFMAPMAccumulatorRef;

NBFMAPMAccumulatorRef NBFMAPMAccumulatorCreate(int32_t significantDigits);
NBFMAPMAccumulatorRef NBFMAPMAccumulatorRetain(NBFMAPMAccumulatorRef accumulator);
void NBFMAPMAccumulatorRelease(NBFMAPMAccumulatorRef accumulator);
void NBFMAPMAccumulatorInitialize(NBFMAPMAccumulatorRef accumulator, M_APM x);
void NBFMAPMAccumulatorMultiplyBy(NBFMAPMAccumulatorRef accumulator, M_APM x);  // exact
void NBFMAPMAccumulatorDivideBy(NBFMAPMAccumulatorRef accumulator, M_APM x);
void NBFMAPMAccumulatorReciprocal(NBFMAPMAccumulatorRef accumulator);
// Borrowed; valid until the next operation on the accumulator.
M_APM NBFMAPMAccumulatorGetResult(NBFMAPMAccumulatorRef accumulator);

// Shared values beside the library's own MM_ constants, made once by NBFMAPMExtensionsInit.
extern M_APM NBF_MAPM_0_5;
extern M_APM NBF_MAPM_0_01;
extern M_APM NBF_MAPM_180;
extern M_APM NBF_MAPM_100;
void NBFMAPMExtensionsInit();

#endif
