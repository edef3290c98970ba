#include "NBFMAPMContext.h"

#include <utility>

NBFMAPMContextRef NBFMAPMContextCreate(uint16_t significantDigits) {
    auto* context = new NBFMAPMContext();
    context->significantDigits = significantDigits;
    m_apm_enter();
    for (M_APM& reg : context->registers) reg = m_apm_init();
    m_apm_leave();
    return context;
}

NBFMAPMContext::~NBFMAPMContext() {
    m_apm_enter();
    for (M_APM reg : registers) m_apm_free(reg);
    m_apm_leave();
}

NBFMAPMContextRef NBFMAPMContextRetain(NBFMAPMContextRef context) { return NBF::retain(context); }

void NBFMAPMContextRelease(NBFMAPMContextRef context) { NBF::release(context); }

uint16_t NBFMAPMContextGetSignificantDigits(NBFMAPMContextRef context) {
    return context ? context->significantDigits : 0;
}

struct NBFMAPMAccumulator : NBF::Object<NBFMAPMAccumulator> {
    ~NBFMAPMAccumulator() override {
        m_apm_enter();
        m_apm_free(a);
        m_apm_free(b);
        m_apm_leave();
    }
    int32_t significantDigits = 0;
    M_APM a = nullptr;
    M_APM b = nullptr;
    M_APM current = nullptr;
    M_APM spare = nullptr;
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
    return NBF::retain(accumulator);
}

void NBFMAPMAccumulatorRelease(NBFMAPMAccumulatorRef accumulator) { NBF::release(accumulator); }

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
