#include "NBLineState.h"

#include "NCExpressionFormattingOptions.h"
#include "NCLine.h"
#include "NCResultFormattingOptions.h"

namespace {

const std::string kOptionsPrefix = "resultFormattingOptions.";

}  // namespace

NBLineState NBLineState::initFromLine(const NCLine* line) {
    NBLineState state;
    if (!line) return state;
    state.m_index = static_cast<int64_t>(line->index());
    state.m_trigonometryMode = line->trigonometryMode();
    state.m_resultFormattingOptions = std::make_shared<NCResultFormattingOptions>();
    if (line->customFormattingOptions())
        state.m_resultFormattingOptions->acquireValuesFromFormattingOptions(
            line->customFormattingOptions().get());
    state.m_expressionFormattingOptions = line->expressionFormattingOptions();
    return state;
}

void NBLineState::applyToLine(NCLine& line) const {
    if (m_expressionFormattingOptions && line.expressionFormattingOptions())
        line.expressionFormattingOptions()->setTextAlignment(
            m_expressionFormattingOptions->textAlignment());
    line.setTrigonometryMode(m_trigonometryMode);
    if (m_resultFormattingOptions && line.customFormattingOptions())
        line.customFormattingOptions()->acquireValuesFromFormattingOptions(
            m_resultFormattingOptions.get());
}

void NBLineState::encodeWithCoder(NSKeyedArchive& coder) const {
    coder.encodeInt32(m_trigonometryMode, "trigonometryMode");
    coder.encodeInteger(
        m_expressionFormattingOptions ? m_expressionFormattingOptions->textAlignment() : 0,
        "textAlignment");
    if (!m_resultFormattingOptions) return;
    NSKeyedArchive options;
    m_resultFormattingOptions->encodeWithCoder(options);
    for (const auto& [key, value] : options.values()) coder.setValue(value, kOptionsPrefix + key);
}

NBLineState NBLineState::initWithCoder(const NSKeyedArchive& coder) {
    NBLineState state;
    state.m_trigonometryMode = coder.decodeInt32("trigonometryMode").value_or(0);
    state.m_expressionFormattingOptions = std::make_shared<NCExpressionFormattingOptions>();
    state.m_expressionFormattingOptions->setTextAlignment(
        static_cast<int32_t>(coder.decodeInt32("textAlignment").value_or(0)));
    NSKeyedArchive options;
    bool any = false;
    for (const auto& [key, value] : coder.values())
        if (key.rfind(kOptionsPrefix, 0) == 0) {
            options.setValue(value, key.substr(kOptionsPrefix.size()));
            any = true;
        }
    if (any) state.m_resultFormattingOptions = NCResultFormattingOptions::initWithCoder(options);
    return state;
}
