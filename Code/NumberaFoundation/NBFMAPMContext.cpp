#include "NBFMAPMContext.h"

#include <utility>

NBFMAPMContextRef NBFMAPMContextCreate(uint16_t significantDigits) {
    auto* context = new NBFMAPMContext{{1}, {}, significantDigits};
    m_apm_enter();
    for (M_APM& reg : context->registers) reg = m_apm_init();
    m_apm_leave();
    return context;
}

NBFMAPMContextRef NBFMAPMContextRetain(NBFMAPMContextRef context) {
    if (context) context->refCount.fetch_add(1, std::memory_order_relaxed);
    return context;
}

void NBFMAPMContextRelease(NBFMAPMContextRef context) {
    if (!context || context->refCount.fetch_sub(1, std::memory_order_acq_rel) > 1) return;
    m_apm_enter();
    for (M_APM reg : context->registers) m_apm_free(reg);
    m_apm_leave();
    delete context;
}

uint16_t NBFMAPMContextGetSignificantDigits(NBFMAPMContextRef context) {
    return context ? context->significantDigits : 0;
}

struct NBFMAPMAccumulator {
    std::atomic<int32_t> refCount{1};
    int32_t significantDigits;
    M_APM a;
    M_APM b;
    M_APM current;
    M_APM spare;
};

NBFMAPMAccumulatorRef NBFMAPMAccumulatorCreate(int32_t significantDigits) {
    auto* accumulator = new NBFMAPMAccumulator();
    accumulator->significantDigits = significantDigits;
    m_apm_enter();
    accumulator->a = m_apm_init();
    accumulator->b = m_apm_init();
    m_apm_leave();
    accumulator->current = accumulator->a;
    accumulator->spare = accumulator->b;
    return accumulator;
}

NBFMAPMAccumulatorRef NBFMAPMAccumulatorRetain(NBFMAPMAccumulatorRef accumulator) {
    if (accumulator) accumulator->refCount.fetch_add(1, std::memory_order_relaxed);
    return accumulator;
}

void NBFMAPMAccumulatorRelease(NBFMAPMAccumulatorRef accumulator) {
    if (!accumulator || accumulator->refCount.fetch_sub(1, std::memory_order_acq_rel) > 1) return;
    m_apm_enter();
    m_apm_free(accumulator->a);
    m_apm_free(accumulator->b);
    m_apm_leave();
    delete accumulator;
}

void NBFMAPMAccumulatorInitialize(NBFMAPMAccumulatorRef accumulator, M_APM x) {
    if (accumulator && x) m_apm_copy_mt(accumulator->current, x);
}

void NBFMAPMAccumulatorMultiplyBy(NBFMAPMAccumulatorRef accumulator, M_APM x) {
    if (!accumulator || !x) return;
    m_apm_multiply_mt(accumulator->spare, accumulator->current, x);
    std::swap(accumulator->current, accumulator->spare);
}

void NBFMAPMAccumulatorDivideBy(NBFMAPMAccumulatorRef accumulator, M_APM x) {
    if (!accumulator || !x) return;
    m_apm_divide_mt(accumulator->spare, accumulator->significantDigits, accumulator->current, x);
    std::swap(accumulator->current, accumulator->spare);
}

void NBFMAPMAccumulatorReciprocal(NBFMAPMAccumulatorRef accumulator) {
    if (!accumulator) return;
    m_apm_reciprocal_mt(accumulator->spare, accumulator->significantDigits, accumulator->current);
    std::swap(accumulator->current, accumulator->spare);
}

M_APM NBFMAPMAccumulatorGetResult(NBFMAPMAccumulatorRef accumulator) {
    return accumulator ? accumulator->current : nullptr;
}

M_APM NBF_MAPM_0_5 = nullptr;
M_APM NBF_MAPM_0_01 = nullptr;
M_APM NBF_MAPM_180 = nullptr;
M_APM NBF_MAPM_100 = nullptr;

void NBFMAPMExtensionsInit() {
    m_apm_enter();
    auto make = [](M_APM& constant, const char* text) {
        if (constant) return;
        constant = m_apm_init();
        m_apm_set_string(constant, text);
    };
    make(NBF_MAPM_0_5, "0.5");
    make(NBF_MAPM_0_01, "0.01");
    make(NBF_MAPM_180, "180");
    make(NBF_MAPM_100, "100");
    m_apm_leave();
}
