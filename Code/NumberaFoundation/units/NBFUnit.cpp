#include "NBFUnit.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>

#include "NBFErrorLog.h"
#include "NBFObject.h"

namespace {

constexpr int kNameSlots = 5;

char* copyText(const char* text) {
    if (!text) return nullptr;
    size_t size = std::strlen(text) + 1;
    char* copy = static_cast<char*>(std::malloc(size));
    std::memcpy(copy, text, size);
    return copy;
}

// Name types 0, 3, 1, 2, 4 in slots 0..4.
int slotOfNameType(NBFUnitNameType nameType) {
    static constexpr int kSlot[kNameSlots] = {0, 2, 3, 1, 4};
    if (nameType < 0 || nameType >= kNameSlots) NBF_ABORT("Unexpected unit name type");
    return kSlot[nameType];
}

M_APM parseDecimal(const char* text) {
    M_APM value = m_apm_init();
    if (text) m_apm_set_string(value, text);
    return value;
}

// Significant digits of the decimal value of a ratio factor: as many as fractions keep.
constexpr int kRatioFactorDigits = 100;

// A factor in its exact form, numerator / denominator, and as one decimal value. A decimal
// text is its own numerator over 1; "5/9" keeps definitions such as the degree Fahrenheit
// exact, so conversions that cancel them (32 °F in °C) leave no rounding behind.
struct Factor {
    M_APM value = nullptr;
    M_APM numerator = nullptr;
    M_APM denominator = nullptr;  // null for a decimal factor
};

// Needs the arbitrary-precision lock.
Factor* parseFactor(const char* text) {
    auto* factor = new Factor();
    const char* slash = text ? std::strchr(text, '/') : nullptr;
    if (!slash) {
        factor->numerator = parseDecimal(text);
        factor->value = factor->numerator;
        return factor;
    }
    factor->numerator = parseDecimal(std::string(text, slash).c_str());
    M_APM denominator = parseDecimal(slash + 1);
    if (m_apm_sign(denominator) == 0) {
        // Unparseable, like any other bad factor text.
        m_apm_free(denominator);
        m_apm_set_string(factor->numerator, "0");
        factor->value = factor->numerator;
        return factor;
    }
    factor->denominator = denominator;
    factor->value = m_apm_init();
    m_apm_divide(factor->value, kRatioFactorDigits - 1, factor->numerator, denominator);
    return factor;
}

void freeFactor(Factor* factor) {
    if (!factor) return;
    m_apm_enter();
    if (factor->value != factor->numerator) m_apm_free(factor->value);
    m_apm_free(factor->numerator);
    if (factor->denominator) m_apm_free(factor->denominator);
    m_apm_leave();
    delete factor;
}

}  // namespace

struct NBFUnit : NBF::Object<NBFUnit> {
    ~NBFUnit() override;
    char* identifier = nullptr;
    NBFStringRef names[kNameSlots] = {};
    NBFStringRef identifierString = nullptr;
    NBFArrayRef aliases[kNameSlots] = {};
    char* baseFactor = nullptr;
    std::atomic<Factor*> baseFactorValue{nullptr};
    NBFStringRef offset = nullptr;
    std::atomic<M_APM> offsetValue{nullptr};
    std::atomic<int8_t> siExponent{NBFUnitSIExponentUnknown};
    NBFUnitType type = NBFUnitTypeNone;
    uint32_t options = 0;
    void* objectReference = nullptr;
    int32_t ambiguousTieBreakFactor = 0;
};

namespace {

void dropCachedValue(std::atomic<M_APM>& cache) {
    if (M_APM old = cache.exchange(nullptr)) m_apm_free_mt(old);
}

void dropCachedValue(std::atomic<Factor*>& cache) { freeFactor(cache.exchange(nullptr)); }

// Fills the cache once; the lock makes a second thread wait and then find the value.
template <typename T, typename Make>
T* cachedValue(std::atomic<T*>& cache, Make make) {
    if (T* value = cache.load(std::memory_order_acquire)) return value;
    m_apm_enter();
    T* value = cache.load(std::memory_order_acquire);
    if (!value) {
        value = make();
        cache.store(value, std::memory_order_release);
    }
    m_apm_leave();
    return value;
}

}  // namespace

NBFUnitRef NBFUnitCreate(NBFUnitType type, const char* baseFactor) {
    auto* unit = new NBFUnit();
    unit->type = type;
    unit->baseFactor = copyText(baseFactor);
    return unit;
}

NBFUnitRef NBFUnitCreate(NBFUnitType type, const char* baseFactor, const char* identifier) {
    NBFUnitRef unit = NBFUnitCreate(type, baseFactor);
    NBFUnitSetIdentifier(unit, identifier);
    unit->identifierString = NBFStringCreateWithUTF8(identifier);
    return unit;
}

NBFUnitRef NBFUnitCreateWithSingularName(NBFStringRef name, NBFUnitType type,
                                         const char* baseFactor) {
    NBFUnitRef unit = NBFUnitCreate(type, baseFactor);
    NBFUnitSetName(unit, name, NBFUnitNameTypeSingular);
    return unit;
}

NBFUnit::~NBFUnit() {
    for (int slot = 0; slot < kNameSlots; ++slot) {
        NBFStringRelease(names[slot]);
        if (NBFArrayRef slotAliases = aliases[slot]) {
            for (void* alias : slotAliases->items)
                NBFStringRelease(static_cast<NBFStringRef>(alias));
            NBFArrayRelease(slotAliases);
        }
    }
    NBFStringRelease(identifierString);
    NBFStringRelease(offset);
    dropCachedValue(baseFactorValue);
    dropCachedValue(offsetValue);
    std::free(baseFactor);
    std::free(identifier);
}

NBFUnitRef NBFUnitRetain(NBFUnitRef unit) { return NBF::retain(unit); }

void NBFUnitRelease(NBFUnitRef unit) { NBF::release(unit); }

void NBFUnitSetName(NBFUnitRef unit, NBFStringRef name, NBFUnitNameType nameType) {
    if (!unit) return;
    int slot = slotOfNameType(nameType);
    if (!name) return;
    NBFStringRef copy = NBFStringCopy(name);
    NBFStringRelease(unit->names[slot]);
    unit->names[slot] = copy;
}

NBFStringRef NBFUnitGetName(NBFUnitRef unit, NBFUnitNameType nameType) {
    return unit ? unit->names[slotOfNameType(nameType)] : nullptr;
}

NBFStringRef NBFUnitGetNamePreferringType(NBFUnitRef unit, NBFUnitNameType nameType) {
    if (!unit) return nullptr;
    if (nameType == NBFUnitNameTypeIdentifier) return unit->identifierString;
    if (NBFStringRef name = NBFUnitGetName(unit, nameType)) return name;
    if (nameType == NBFUnitNameTypeSymbol) {
        if (NBFStringRef name = NBFUnitGetName(unit, NBFUnitNameTypeVeryShort)) return name;
    }
    if (NBFStringRef name = NBFUnitGetName(unit, NBFUnitNameTypeSingular)) return name;
    return unit->identifierString;
}

NBFArrayRef NBFUnitGetAliasesArrayReference(NBFUnitRef unit, NBFUnitNameType nameType) {
    if (!unit) return nullptr;
    int slot = slotOfNameType(nameType);
    if (!unit->aliases[slot]) unit->aliases[slot] = NBFArrayCreate();
    return unit->aliases[slot];
}

void NBFUnitAddAlias(NBFUnitRef unit, NBFStringRef alias, NBFUnitNameType nameType) {
    if (!unit || !alias) return;
    NBFArrayAddItem(NBFUnitGetAliasesArrayReference(unit, nameType), NBFStringRetain(alias));
}

namespace {
std::atomic<uint64_t> s_factorGeneration{1};
}  // namespace

uint64_t NBFUnitGetFactorGeneration() { return s_factorGeneration.load(); }

void NBFUnitSetBaseFactor(NBFUnitRef unit, const char* text) {
    if (!unit) return;
    char* copy = copyText(text);
    std::free(unit->baseFactor);
    unit->baseFactor = copy;
    dropCachedValue(unit->baseFactorValue);
    unit->siExponent.store(NBFUnitSIExponentUnknown);
    s_factorGeneration.fetch_add(1);
}

const char* NBFUnitGetBaseFactor(NBFUnitRef unit) { return unit ? unit->baseFactor : nullptr; }

namespace {

Factor* factorOf(NBFUnitRef unit) {
    return cachedValue(unit->baseFactorValue, [unit] { return parseFactor(unit->baseFactor); });
}

}  // namespace

M_APM NBFUnitGetBaseFactorMAPMReference(NBFUnitRef unit) {
    return unit ? factorOf(unit)->value : nullptr;
}

void NBFUnitMultiplyExactBaseFactor(NBFUnitRef unit, M_APM numerator, M_APM denominator) {
    if (!unit) return;
    Factor* factor = factorOf(unit);
    m_apm_multiply(numerator, numerator, factor->numerator);
    if (factor->denominator) m_apm_multiply(denominator, denominator, factor->denominator);
}

void NBFUnitSetOffset(NBFUnitRef unit, NBFStringRef text) {
    if (!unit || text == unit->offset) return;
    if (text && unit->offset && NBFStringCompare(text, unit->offset) == 0) return;
    NBFStringRetain(text);
    NBFStringRelease(unit->offset);
    unit->offset = text;
    dropCachedValue(unit->offsetValue);
}

NBFStringRef NBFUnitGetOffset(NBFUnitRef unit) { return unit ? unit->offset : nullptr; }

M_APM NBFUnitGetOffsetMAPMReference(NBFUnitRef unit) {
    if (!unit || !unit->offset) return nullptr;
    return cachedValue(unit->offsetValue, [unit] {
        return parseDecimal(NBFStringGetCppString(unit->offset).c_str());
    });
}

NBFUnitType NBFUnitGetType(NBFUnitRef unit) { return unit ? unit->type : NBFUnitTypeNone; }
uint32_t NBFUnitGetOptions(NBFUnitRef unit) { return unit ? unit->options : 0; }

void NBFUnitSetOptions(NBFUnitRef unit, uint32_t options) {
    if (unit) unit->options = options;
}

void NBFUnitSetObjectReference(NBFUnitRef unit, void* object) {
    if (unit) unit->objectReference = object;
}

void* NBFUnitGetObjectReference(NBFUnitRef unit) { return unit ? unit->objectReference : nullptr; }

void NBFUnitSetAmbiguousTieBreakFactor(NBFUnitRef unit, int32_t factor) {
    if (unit) unit->ambiguousTieBreakFactor = factor;
}

int32_t NBFUnitGetAmbiguousTieBreakFactor(NBFUnitRef unit) {
    return unit ? unit->ambiguousTieBreakFactor : 0;
}

void NBFUnitSetIdentifier(NBFUnitRef unit, const char* identifier) {
    if (!unit) return;
    char* copy = copyText(identifier);
    std::free(unit->identifier);
    unit->identifier = copy;
}

const char* NBFUnitGetIdentifier(NBFUnitRef unit) { return unit ? unit->identifier : nullptr; }

namespace {

// Needs the arbitrary-precision lock.
int8_t computeSIExponent(M_APM factor) {
    if (!m_apm_is_integer(factor) || m_apm_sign(factor) <= 0) return NBFUnitSIExponentNone;
    int exponent = m_apm_exponent(factor);
    if (exponent < -24 || exponent > 24) return NBFUnitSIExponentNone;
    if (exponent % 3 != 0 && (exponent < -2 || exponent > 2)) return NBFUnitSIExponentNone;
    // A whole factor is exactly 10^e when its only significant digit is a leading 1.
    M_APM power = m_apm_init();
    m_apm_integer_pow_nr(power, MM_Ten, exponent);
    bool isPower = m_apm_compare(factor, power) == 0;
    m_apm_free(power);
    return isPower ? static_cast<int8_t>(exponent) : NBFUnitSIExponentNone;
}

}  // namespace

int8_t NBFUnitGetSIExponent(NBFUnitRef unit) {
    if (!unit) return NBFUnitSIExponentNone;
    int8_t cached = unit->siExponent.load();
    if (cached != NBFUnitSIExponentUnknown) return cached;
    M_APM factor = NBFUnitGetBaseFactorMAPMReference(unit);
    m_apm_enter();
    int8_t exponent = computeSIExponent(factor);
    m_apm_leave();
    unit->siExponent.store(exponent);
    return exponent;
}

bool NBFUnitIsSIBaseUnit(NBFUnitRef unit) {
    return unit && NBFUnitGetSIExponent(unit) != NBFUnitSIExponentNone;
}

bool NBFUnitIsEqualToUnit(NBFUnitRef a, NBFUnitRef b) {
    if (!a || !b) return !a && !b;
    if (a->type != b->type) return false;
    return m_apm_compare_mt(NBFUnitGetBaseFactorMAPMReference(a),
                            NBFUnitGetBaseFactorMAPMReference(b)) == 0;
}

namespace NBF {

bool StringId::operator()(const char* a, const char* b) const {
    return std::strcmp(a ? a : "", b ? b : "") < 0;
}

bool UniqueObj::operator()(const NBFUnit* a, const NBFUnit* b) const {
    const char* idA = a ? a->identifier : nullptr;
    const char* idB = b ? b->identifier : nullptr;
    if (idA && idB) return std::strcmp(idA, idB) < 0;
    if (idA || idB) return idA != nullptr;
    return std::less<const NBFUnit*>()(a, b);
}

}  // namespace NBF
