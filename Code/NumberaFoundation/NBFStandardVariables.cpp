#include "NBFStandardVariables.h"

#include <atomic>
#include <mutex>

#include "NBFErrorLog.h"

// Digits computed once with MPFR at 2200 bits and cut after 498 decimals (the next digit is
// 1, so cutting and rounding agree).
const char* const NBFStandardVariablesPiText =
    "3.141592653589793238462643383279502884197169399375105820974944592307816406286208"
    "99862803482534211706798214808651328230664709384460955058223172535940812848111745"
    "02841027019385211055596446229489549303819644288109756659334461284756482337867831"
    "65271201909145648566923460348610454326648213393607260249141273724587006606315588"
    "17488152092096282925409171536436789259036001133053054882046652138414695194151160"
    "94330572703657595919530921861173819326117931051185480744623799627495673518857527"
    "24891227938183011949";

namespace {

// Written once under the once flag; read by any thread.
std::atomic<NBFVariableListRef> s_sharedList{nullptr};

NBFVariableListRef makeStandardList() {
    NBFVariableListRef list = NBFVariableListCreate();
    NBFVariableRef pi = NBFVariableCreate();
    NBFStringRef name = NBFStringCreateWithUTF8("pi");
    NBFStringRef alias = NBFStringCreateWithUTF8("\u03c0");
    NBFStringRef value = NBFStringCreateWithUTF8(NBFStandardVariablesPiText);
    NBFVariableSetName(pi, name);
    NBFVariableAddAlias(pi, alias);
    NBFVariableSetValue(pi, value, 0, nullptr);
    NBFVariableListAddVariable(list, pi);
    NBFStringRelease(name);
    NBFStringRelease(alias);
    NBFStringRelease(value);
    NBFVariableRelease(pi);
    return list;
}

}  // namespace

void NBFStandardVariablesInit() {
    static std::once_flag s_once;
    std::call_once(s_once, [] { s_sharedList.store(makeStandardList()); });
}

NBFVariableListRef NBFStandardVariablesGetSharedListReference() {
    NBFVariableListRef s_builtInVariables = s_sharedList.load();
    NBF_VERIFY_TRUE(s_builtInVariables, "the standard variables were asked for before start-up");
    return s_builtInVariables;
}

NBFVariableListRef NBFVariableListGetStandardList() {
    return NBFStandardVariablesGetSharedListReference();
}
