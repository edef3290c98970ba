#include "NBFoundation.h"

#include <atomic>

#include "NBFExpressionScanner.h"
#include "NBFMAPMContext.h"
#include "NBFNumber.h"
#include "NBFStandardFunctions.h"
#include "NBFStandardVariables.h"
#include "NBFSyntaxTree.h"
#include "NBFUnitDisambiguator.h"
#include "NBFUnitTypeFactorings.h"
#include "NBFWordOperatorCompiler.h"
#include "NBFWordOperatorList.h"

namespace {

std::atomic<bool> s_started{false};

}  // namespace

void NBFoundationInit(NBFSettingsRef settings) {
    if (s_started.exchange(true)) return;
    // The library's own tables exist before any thread uses it.
    m_apm_enter();
    M_APM one = m_apm_init();
    m_apm_set_long(one, 1);
    m_apm_free(one);
    m_apm_leave();
    NBFSettingsSet(settings);
    NBFMAPMExtensionsInit();
    NBFNumber_ConstantsInit();
    NBFUnitDisambiguatorInit();
    NBF::UnitTypeFactorings::initialize();
    NBFStandardVariablesInit();
    NBFStandardFunctionsInit();
    NBFWordOperatorCompilerInit(NBFStandardFunctionsGetSharedListReference());
    NBFStandardWordOperatorsInit();
    NBFStandardSyntaxTreesInit();
    NBFExpressionScannerInit();
}

bool NBFoundationIsStarted() { return s_started.load(); }

void NBFDebugUtilitiesInit() {}
