// The ordered lines of one document; a line's index always equals its position.
#ifndef NUMBERA_CORE_NC_LINE_COLLECTION_H
#define NUMBERA_CORE_NC_LINE_COLLECTION_H

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "NCEnvironment.h"
#include "NCLine.h"
#include "NCTrigonometryMode.h"
#include "NSIndexSet.h"
#include "NSKeyedArchive.h"

class NCLineCollection {
  public:
    NCLineCollection() = default;
    ~NCLineCollection();
    NCLineCollection(const NCLineCollection&) = delete;
    NCLineCollection& operator=(const NCLineCollection&) = delete;

    // The environment its lines are evaluated in; none means the current one.
    std::shared_ptr<NCEnvironment> environment() const;
    void setEnvironment(std::shared_ptr<NCEnvironment> environment);
    NCTrigonometryMode trigonometryMode() const { return _trigonometryMode; }
    void setTrigonometryMode(NCTrigonometryMode mode) { _trigonometryMode = mode; }

    uint64_t countOfLines() const;
    // Null outside the collection.
    std::shared_ptr<NCLine> lineAtIndex(uint64_t index) const;
    void addLine(std::shared_ptr<NCLine> line);
    // The line leaves with its link to the collection cleared, so a copy held elsewhere never
    // reports changes here.
    void removeLineAtIndex(uint64_t index);
    void removeAllLines();

    // A line's text changed: its change is processed at once.
    void registerExpressionChangeForLineAtIndex(uint64_t index);
    void enqueEvaluationOfLine(NCLine& line);

    // Whole documents: the file, change detection, previews and the sample document.
    // None when the file is missing or unreadable.
    static std::shared_ptr<NCLineCollection> lineCollectionFromPath(const std::string& path);
    // Info values land in the file's misc settings. Atomic; false with the reason on failure.
    bool archiveToPath(const std::string& path,
                       const std::map<std::string, NSArchiveValue>& info,
                       std::string* errorMessage = nullptr);
    bool isEmpty() const;
    // Of the texts and answers, in order: moving a line or repeating one changes it.
    size_t hash() const;
    std::vector<std::shared_ptr<NCResult>> results() const;
    bool resultsDifferFromResults(const std::vector<std::shared_ptr<NCResult>>& other) const;
    std::vector<std::shared_ptr<NCLine>> linesWithIndexes(const NSIndexSet& indexes) const;
    std::u16string fullPreview() const;
    std::u16string stringOfAllExpressionsSeperatedByDivider(const std::u16string& divider) const;
    std::u16string jumpedAnswerStyleStringWithDivider(const std::u16string& divider) const;
    std::u16string expressionAndResultOnLineIndex(uint64_t index,
                                                  const std::u16string& divider) const;
    std::vector<std::optional<std::u16string>> arrayOfExpressions() const;
    bool lineIndexIsValid(int64_t index) const;
    std::u16string description() const;
    static std::shared_ptr<NCLineCollection> lineCollectionWithDefaultContent();

  private:
    mutable std::mutex mutex;  // guards the line array
    std::vector<std::shared_ptr<NCLine>> i_lines;
    std::shared_ptr<NCEnvironment> _environment;
    NCTrigonometryMode _trigonometryMode = 0;
};

#endif
