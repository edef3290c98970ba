#include "NKPasteboardHelper.h"

#include "NCExpressionParser.h"
#include "NCUtilityFunctions.h"
#include "NKLineCollectionSyntaxFormatter.h"
#include "NKLineReferenceTokens.h"
#include "NKLog.h"
#include "NKTextHelpers.h"

namespace {

namespace plf = PropertyListFile;

// Highest decimal places a pasted line may ask for; more is no real answer's need.
constexpr int64_t kMaximumDecimalPlaces = 100;

std::optional<int64_t> integerForKey(const NCPropertyListValue& dictionary, const char16_t* key) {
    std::shared_ptr<const NCPropertyListValue> value = dictionary.valueForKey(key);
    if (!value || value->kind() != NCPropertyListValue::Kind::Integer) return std::nullopt;
    return value->integer();
}

std::optional<bool> booleanForKey(const NCPropertyListValue& dictionary, const char16_t* key) {
    std::shared_ptr<const NCPropertyListValue> value = dictionary.valueForKey(key);
    if (!value) return std::nullopt;
    if (value->kind() == NCPropertyListValue::Kind::Boolean) return value->boolean();
    if (value->kind() == NCPropertyListValue::Kind::Integer) return value->integer() != 0;
    return std::nullopt;
}

bool inRange(const std::optional<int64_t>& value, int64_t low, int64_t high) {
    return value && *value >= low && *value <= high;
}

}  // namespace

PlistPtr NKPasteboardHelper::pasteboardDataForCopyAtPresentPosition() {
    PlistPtr lines = plf::array();
    if (!m_metrics || !m_lineCollection) return lines;
    for (NSRange selected : m_metrics->selectedRanges()) {
        const NSRange indexes = m_metrics->indexRangeOfLinesContainingRange(selected);
        if (indexes.location == NSNotFound) continue;
        for (uint64_t i = indexes.location; i < indexes.location + indexes.length; ++i) {
            std::shared_ptr<NCLine> line = m_lineCollection->lineAtIndex(i);
            if (!line) continue;
            const NSRange lineRange = m_metrics->rangeOfLineAtIndex(i, false);
            const uint64_t start = std::max(selected.location, lineRange.location);
            const uint64_t end = std::min(selected.location + selected.length,
                                          lineRange.location + lineRange.length);
            const NSRange local = {start - lineRange.location, end > start ? end - start : 0};
            plf::append(lines.get(), dictionaryRepForLine(*line, local));
        }
    }
    return lines;
}

PlistPtr NKPasteboardHelper::dictionaryRepForLine(NCLine& line, NSRange selection) {
    std::u16string text =
        line.expression() ? line.expression()->originalString().value_or(u"") : u"";
    if (text.size() > selection.length) {
        NCExpressionParser parser;
        const NSRange stored =
            parser.convertHighLevelRange(selection, NCExpression::expressionWithString(text));
        if (stored.location == NSNotFound || stored.location + stored.length > text.size())
            NKLog("Warning, serious error with creating a dictionary rep for a line!");
        else
            text = text.substr(stored.location, stored.length);
    }
    std::shared_ptr<NCResultFormattingOptions> options = line.customFormattingOptions();
    PlistPtr dictionary = plf::dictionary();
    plf::set(dictionary.get(), "NBLineExpression", plf::string(text));
    plf::set(dictionary.get(), "NBTextAlignment",
             plf::integer(line.expressionFormattingOptions()
                              ? line.expressionFormattingOptions()->textAlignment()
                              : 0));
    if (options) {
        plf::set(dictionary.get(), "NBThousandsSeperatorEnabled",
                 plf::boolean(options->thousandsSeparator));
        plf::set(dictionary.get(), "NBSciNoteMode", plf::integer(options->scientificNotationMode));
        plf::set(dictionary.get(), "NBDecimalPlaces",
                 plf::integer(static_cast<int64_t>(options->decimalPlaces())));
        plf::set(dictionary.get(), "NBBase", plf::integer(options->displayBase));
    }
    plf::set(dictionary.get(), "NBTrigMode", plf::integer(line.trigonometryMode()));

    PlistPtr references = plf::dictionary();
    for (const auto& token : NKLineReferenceTokensOfType(NCLineReferenceTypeAll, line)) {
        const int64_t target =
            NCLineReferenceIndex(token->lineReferenceType(), token->lineReferenceNumber(),
                                 static_cast<int64_t>(line.index()));
        std::shared_ptr<NCLine> referenced =
            m_lineCollection && target >= 0 ? m_lineCollection->lineAtIndex(target) : nullptr;
        if (!referenced) continue;
        plf::set(references.get(),
                 NKUTF8(NCLineReferenceIdentifier(token->lineReferenceType(),
                                                  token->lineReferenceNumber())),
                 plf::string(referenced->uniqueIdentifier()));
    }
    PlistPtr otherInfo = plf::dictionary();
    plf::set(otherInfo.get(), "NBLineIndex", plf::integer(static_cast<int64_t>(line.index())));
    plf::set(otherInfo.get(), "NBTokenReferenceIDs", std::move(references));
    plf::set(dictionary.get(), "NBLineOtherInfo", std::move(otherInfo));
    return dictionary;
}

std::shared_ptr<NCLine> NKPasteboardHelper::lineForDictionary(
    const NCPropertyListValue& dictionary, std::shared_ptr<const NCPropertyListValue>* otherInfo) {
    std::shared_ptr<const NCPropertyListValue> expression =
        dictionary.valueForKey(u"NBLineExpression");
    std::shared_ptr<NCLine> line = NCLine::lineWithExpressionString(
        expression && expression->isString() ? expression->string() : u"");
    std::shared_ptr<NCResultFormattingOptions> options = line->customFormattingOptions();
    if (m_delegate && options)
        if (auto defaults = m_delegate->defaultResultFormattingOptions())
            options->acquireValuesFromFormattingOptions(defaults.get());

    const std::optional<int64_t> alignment = integerForKey(dictionary, u"NBTextAlignment");
    if (inRange(alignment, 0, 4) && line->expressionFormattingOptions())
        line->expressionFormattingOptions()->setTextAlignment(static_cast<int32_t>(*alignment));
    const std::optional<int64_t> trigonometry = integerForKey(dictionary, u"NBTrigMode");
    if (inRange(trigonometry, 0, 2)) line->setTrigonometryMode(static_cast<int32_t>(*trigonometry));
    if (options) {
        if (std::optional<bool> separator =
                booleanForKey(dictionary, u"NBThousandsSeperatorEnabled"))
            options->thousandsSeparator = *separator;
        const std::optional<int64_t> mode = integerForKey(dictionary, u"NBSciNoteMode");
        if (inRange(mode, 0, 2)) options->scientificNotationMode = static_cast<int32_t>(*mode);
        const std::optional<int64_t> places = integerForKey(dictionary, u"NBDecimalPlaces");
        if (inRange(places, 0, kMaximumDecimalPlaces))
            options->setDecimalPlaces(static_cast<uint64_t>(*places));
        const std::optional<int64_t> base = integerForKey(dictionary, u"NBBase");
        if (base && (*base == 2 || *base == 10 || *base == 16))
            options->displayBase = static_cast<int32_t>(*base);
    }
    if (otherInfo) {
        std::shared_ptr<const NCPropertyListValue> info =
            dictionary.valueForKey(u"NBLineOtherInfo");
        *otherInfo = info && info->isDictionary() ? info : nullptr;
    }
    return line;
}

std::vector<std::shared_ptr<NCLine>> NKPasteboardHelper::pastedlinesForPasteboardData(
    const NCPropertyListValue& data) {
    std::vector<std::shared_ptr<NCLine>> lines;
    std::vector<std::shared_ptr<const NCPropertyListValue>> infos;
    if (!data.isArray()) return lines;
    for (const auto& entry : data.array()) {
        if (!entry->isDictionary()) continue;
        std::shared_ptr<const NCPropertyListValue> info;
        lines.push_back(lineForDictionary(*entry, &info));
        if (!info) NKLog("Warning! Info dict could not be generated");
        infos.push_back(info);
    }
    const uint64_t current = m_metrics ? m_metrics->indexOfCurrentLine() : 0;
    const NSRange pasted = {current, lines.size()};
    for (size_t j = 0; j < lines.size(); ++j) {
        NCLine& line = *lines[j];
        const NCPropertyListValue* info = infos[j].get();
        const std::optional<int64_t> oldIndex =
            info ? integerForKey(*info, u"NBLineIndex") : std::nullopt;
        std::shared_ptr<const NCPropertyListValue> identifiers =
            info ? info->valueForKey(u"NBTokenReferenceIDs") : nullptr;
        const int64_t newIndex = static_cast<int64_t>(current + j);
        std::optional<std::u16string> text;
        NCExpressionTokenArray tokens =
            NKLineReferenceTokensOfType(NCLineReferenceTypeRelative, line);
        for (auto token = tokens.rbegin(); token != tokens.rend(); ++token) {
            const int64_t offset = (*token)->lineReferenceNumber();
            std::shared_ptr<NCLine> referenced;
            if (identifiers && identifiers->isDictionary()) {
                std::shared_ptr<const NCPropertyListValue> identifier = identifiers->valueForKey(
                    NCLineReferenceIdentifier(NCLineReferenceTypeRelative, offset));
                if (identifier && identifier->isString() && m_lineCollection)
                    referenced = m_lineCollection->lineWithIdentifier(identifier->string());
            }
            const int64_t newOffset = newOffsetForOldLineIndex(
                oldIndex.value_or(newIndex), newIndex, offset, referenced, pasted);
            if (newOffset == offset) continue;
            if (!text) text = line.expression()->originalString().value_or(u"");
            const NSRange range = (*token)->range();
            if (range.location + range.length > text->size()) continue;
            text->replace(range.location, range.length,
                          NCExpression::relativeLineReferenceTokenWithOffset(newOffset));
        }
        if (text) line.setExpressionString(*text);
    }
    return lines;
}

int64_t NKPasteboardHelper::newOffsetForOldLineIndex(
    int64_t oldIndex, int64_t newIndex, int64_t oldOffset,
    const std::shared_ptr<NCLine>& previouslyReferencedLine, NSRange rangeOfPastedLines) {
    const int64_t x =
        previouslyReferencedLine ? static_cast<int64_t>(previouslyReferencedLine->index()) : 0;
    const int64_t s = static_cast<int64_t>(rangeOfPastedLines.location);
    const int64_t k = static_cast<int64_t>(rangeOfPastedLines.length);
    const int64_t target = newIndex + oldOffset;
    if (x != oldIndex && target >= s && target - s < k) return oldOffset;
    if (previouslyReferencedLine) return (s < x ? x + k - 1 : x) - newIndex;
    return oldOffset + oldIndex - newIndex;
}
