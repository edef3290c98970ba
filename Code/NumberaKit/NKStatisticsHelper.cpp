#include "NKStatisticsHelper.h"

#include "NCResultFormatter.h"
#include "NCResultFormattingOptionsContextualizer.h"
#include "NSLocalizedString.h"

namespace {
const char16_t* const kTitleKeys[] = {u"Total", u"Average", u"Variance", u"Standard Deviation"};
}

NKStatisticsHelper::NKStatisticsHelper()
    : m_formattingOptions(std::make_shared<NCResultFormattingOptions>()) {
    m_formattingOptions->trailingZeros = false;
    m_formattingOptions->thousandsSeparator = true;
    m_formattingOptions->setDecimalPlaces(4);
    m_formattingOptions->scientificNotationBaseString = u"\u00D710";
    m_formattingOptions->scientificNotationConvertsExponentCharactersIntoSuperscript = true;
}

void NKStatisticsHelper::setLineCollection(std::shared_ptr<NCLineCollection> lineCollection) {
    if (lineCollection == m_lineCollection) return;
    m_lineCollection = std::move(lineCollection);
    m_statistics =
        m_lineCollection ? std::make_shared<NCLineCollectionStatistics>(m_lineCollection) : nullptr;
}

std::shared_ptr<NCResult> NKStatisticsHelper::statistic(int32_t type) {
    return m_statistics ? m_statistics->getStatistic(type) : nullptr;
}

std::shared_ptr<NCResult> NKStatisticsHelper::defaultResult() {
    return statistic(m_defaultStatistic);
}

std::u16string NKStatisticsHelper::statisticsValueForStatistic(int32_t type) {
    std::shared_ptr<NCResult> result = statistic(type);
    if (!result) return {};
    m_formattingOptions->thousandsSeparatorCharacter =
        m_lineCollection->thousandsSeparatorCharacter();
    m_formattingOptions->decimalPlaceCharacter = m_lineCollection->decimalPlaceCharacter();
    std::shared_ptr<NCResultFormattingOptions> options =
        NCResultFormattingOptionsContextualizer().contextualizedOptions(m_formattingOptions,
                                                                        result.get());
    if (!options) options = m_formattingOptions;
    return NCResultFormatter::sharedInstance()
        .stringValueForResult(result.get(), options.get())
        .value_or(u"");
}

std::u16string NKStatisticsHelper::evaluatableStatisticsString() {
    std::shared_ptr<NCResult> result = defaultResult();
    if (!result) return {};
    std::shared_ptr<NCEnvironment> environment = m_lineCollection->environment();
    std::shared_ptr<NCResultFormattingOptions> options =
        NCResultFormattingOptionsContextualizer().contextualizedOptions(
            NCResultFormattingOptions::formattingOptionsWithDisplayFormat(
                0, environment ? environment->locale() : kNCSimpleLocalDefault),
            result.get());
    if (!options) options = m_formattingOptions;
    return NCResultFormatter::sharedInstance()
        .stringValueForResult(result.get(), options.get())
        .value_or(u"");
}

NKStatisticsHelper& NKStatisticsHelper::sharedHelper() {
    static NKStatisticsHelper helper;
    return helper;
}

std::optional<std::u16string> NKStatisticsHelper::statisticsTitleForStatisticsType(
    int32_t type) const {
    if (type < 1 || type > 4) return std::nullopt;
    return NSLocalizedString(kTitleKeys[type - 1]);
}

int32_t NKStatisticsHelper::statisticsTypeForStatisticsTitle(const std::u16string& title) const {
    for (int32_t type = 1; type <= 4; ++type)
        if (statisticsTitleForStatisticsType(type) == title) return type;
    return 1;
}

std::vector<std::u16string> NKStatisticsHelper::allStatisticsTitles() const {
    std::vector<std::u16string> titles;
    for (int32_t type = 1; type <= 4; ++type)
        titles.push_back(*statisticsTitleForStatisticsType(type));
    return titles;
}
