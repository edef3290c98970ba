#include <cstdio>
#include <functional>

#include "Diagnostics.h"
#include "NCFile.h"
#include "NCLineCollection.h"

namespace {

// Order-sensitive: each line's part is mixed with everything before it, so neither swapping
// two lines nor repeating one cancels out (as an exclusive-or would).
size_t mixed(size_t seed, size_t value) {
    return seed ^ (value + 0x9e3779b97f4a7c15ull + (seed << 12) + (seed >> 4));
}

std::u16string textOrEmpty(const std::optional<std::u16string>& text) {
    return text ? *text : std::u16string();
}

}  // namespace

std::shared_ptr<NCLineCollection> NCLineCollection::lineCollectionFromPath(
    const std::string& path) {
    return NCFile::initWithContentsOfFileAtPath(path)->lineCollection();
}

bool NCLineCollection::archiveToPath(const std::string& path,
                                     const std::map<std::string, NSArchiveValue>& info,
                                     std::string* errorMessage) {
    // The file holds the collection for the write only; it must not outlive this call.
    std::shared_ptr<NCLineCollection> unowned(this, [](NCLineCollection*) {});
    auto file = NCFile::initWithLineCollection(unowned);
    for (const auto& [key, value] : info) file->setValue(value, key);
    return file->writeToPath(path, errorMessage);
}

bool NCLineCollection::isEmpty() const {
    uint64_t count = countOfLines();
    for (uint64_t i = 0; i < count; ++i) {
        std::shared_ptr<NCLine> line = lineAtIndex(i);
        if (!line || !line->expression()) continue;
        const std::optional<std::u16string>& text = line->expression()->originalString();
        if (text && !text->empty()) return false;
    }
    return true;
}

size_t NCLineCollection::hash() const {
    std::hash<std::u16string> hashText;
    uint64_t count = countOfLines();
    size_t value = 0;
    for (uint64_t i = 0; i < count; ++i) {
        std::shared_ptr<NCLine> line = lineAtIndex(i);
        if (!line) continue;
        std::shared_ptr<NCResult> result = line->result();
        value = mixed(value, hashText(textOrEmpty(line->expressionString())));
        value = mixed(value,
                      hashText(textOrEmpty(result ? result->completeStringValue() : std::nullopt)));
    }
    return value;
}

std::vector<std::shared_ptr<NCResult>> NCLineCollection::results() const {
    std::vector<std::shared_ptr<NCResult>> answers;
    uint64_t count = countOfLines();
    for (uint64_t i = 0; i < count; ++i) {
        std::shared_ptr<NCLine> line = lineAtIndex(i);
        if (line && line->hasResult()) answers.push_back(line->result());
    }
    return answers;
}

bool NCLineCollection::resultsDifferFromResults(
    const std::vector<std::shared_ptr<NCResult>>& other) const {
    std::vector<std::shared_ptr<NCResult>> mine = results();
    if (mine.size() != other.size()) return true;
    for (size_t i = 0; i < mine.size(); ++i) {
        if (mine[i] == other[i]) continue;
        if (!mine[i] || !other[i] || !mine[i]->isEqual(other[i].get())) return true;
    }
    return false;
}

std::vector<std::shared_ptr<NCLine>> NCLineCollection::linesWithIndexes(
    const NSIndexSet& indexes) const {
    std::vector<std::shared_ptr<NCLine>> lines;
    for (uint64_t index : indexes.indexes()) {
        std::shared_ptr<NCLine> line = lineAtIndex(index);
        if (!line) {
            Diagnostics::error("Asking for an out of range line");
            continue;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

std::u16string NCLineCollection::fullPreview() const {
    std::vector<std::u16string> texts;
    uint64_t count = countOfLines();
    for (uint64_t i = 0; i < count; ++i) {
        std::shared_ptr<NCLine> line = lineAtIndex(i);
        std::u16string text = line ? textOrEmpty(line->expressionString()) : std::u16string();
        if (!text.empty()) texts.push_back(std::move(text));
    }
    std::u16string preview;
    for (size_t i = 0; i < texts.size(); ++i) {
        preview += texts[i];
        if (i + 1 < texts.size()) preview += u", ";
    }
    if (preview.size() > 100) preview.resize(100);
    return preview;
}

std::u16string NCLineCollection::stringOfAllExpressionsSeperatedByDivider(
    const std::u16string& divider) const {
    std::u16string joined;
    uint64_t count = countOfLines();
    for (uint64_t i = 0; i < count; ++i) {
        std::shared_ptr<NCLine> line = lineAtIndex(i);
        if (line) joined += textOrEmpty(line->expressionString());
        if (i + 1 < count) joined += divider;
    }
    return joined;
}

std::u16string NCLineCollection::jumpedAnswerStyleStringWithDivider(
    const std::u16string& divider) const {
    std::u16string joined;
    uint64_t count = countOfLines();
    for (uint64_t i = 0; i < count; ++i) {
        std::shared_ptr<NCLine> line = lineAtIndex(i);
        std::optional<std::u16string> text = line ? line->expressionString() : std::nullopt;
        if (text && !text->empty())
            joined += *text + u" " + divider + u" " + textOrEmpty(line->formattedResult());
        if (i + 1 < count) joined += u"\n";
    }
    return joined;
}

std::u16string NCLineCollection::expressionAndResultOnLineIndex(
    uint64_t index, const std::u16string& divider) const {
    std::shared_ptr<NCLine> line = lineAtIndex(index);
    if (!line) return divider;
    return textOrEmpty(line->expressionString()) + divider + textOrEmpty(line->formattedResult());
}

std::vector<std::optional<std::u16string>> NCLineCollection::arrayOfExpressions() const {
    std::vector<std::optional<std::u16string>> texts;
    uint64_t count = countOfLines();
    texts.reserve(count);
    for (uint64_t i = 0; i < count; ++i) {
        std::shared_ptr<NCLine> line = lineAtIndex(i);
        texts.push_back(line ? line->expressionString() : std::nullopt);
    }
    return texts;
}

bool NCLineCollection::lineIndexIsValid(int64_t index) const {
    return index >= 0 && static_cast<uint64_t>(index) < countOfLines();
}

std::u16string NCLineCollection::description() const {
    char address[32];
    std::snprintf(address, sizeof address, "%p \n", static_cast<const void*>(this));
    return NBFUTF8ToUTF16(address) + jumpedAnswerStyleStringWithDivider(u"=");
}

std::shared_ptr<NCLineCollection> NCLineCollection::lineCollectionWithDefaultContent() {
    static const char16_t* const kBlock[] = {u"1 + 1", u"2 + 2", u"3 + 3", u"4 + 4", u"5 + 5"};
    // Whole blocks, or the short block that leaves out the first line.
    static const bool kShort[] = {false, false, false, false, true,  false,
                                  false, false, true,  false, false, false};
    auto collection = std::make_shared<NCLineCollection>();
    for (bool isShort : kShort)
        for (size_t i = isShort ? 1 : 0; i < std::size(kBlock); ++i)
            collection->addLine(NCLine::lineWithExpressionString(std::u16string(kBlock[i])));
    return collection;
}
