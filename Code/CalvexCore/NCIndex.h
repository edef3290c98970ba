// Boxed indexes and the small collections of them that line-reference bookkeeping and
// reference-cycle detection use.
#ifndef NUMBERA_CORE_NC_INDEX_H
#define NUMBERA_CORE_NC_INDEX_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// An index whose value may change while collections hold it.
class NCIndex {
  public:
    NCIndex() = default;
    explicit NCIndex(int64_t value) : m_value(value) {}
    static std::shared_ptr<NCIndex> indexWithInteger(int64_t value) {
        return std::make_shared<NCIndex>(value);
    }

    int64_t integerValue() const { return m_value; }
    void addNumber(int64_t number) { m_value += number; }
    std::string description() const { return std::to_string(m_value); }
    bool isEqual(const NCIndex& other) const { return m_value == other.m_value; }
    // The same for every index: members of a set change value in place (addOffset).
    uint64_t hash() const { return 10; }
    std::shared_ptr<NCIndex> copy() const { return std::make_shared<NCIndex>(m_value); }

  private:
    int64_t m_value = 0;
};

// A stack of indexes: the path of lines being evaluated, to find reference cycles.
class NCIndexPath {
  public:
    void pushIndex(int64_t value) { m_indexes.push_back(std::make_shared<NCIndex>(value)); }
    int64_t popIndex();
    int64_t topIndex() const;  // 0 when empty
    bool containsIndex(int64_t value) const;
    size_t count() const { return m_indexes.size(); }
    std::string description() const;

  private:
    std::vector<std::shared_ptr<NCIndex>> m_indexes;
};

// A set of indexes compared by value; members are shared objects, so a set built from another
// set's members moves with it under addOffset.
class NCIndexSet {
  public:
    static NCIndexSet indexSetWithIndexes(const std::vector<int64_t>& indexes);

    void addIndex(const std::shared_ptr<NCIndex>& index);
    void addIndex(int64_t value) { addIndex(std::make_shared<NCIndex>(value)); }
    void addIndexes(const std::vector<int64_t>& values);
    void addIndexes(const std::vector<std::shared_ptr<NCIndex>>& indexes);
    void addIndexesFromIndexSet(const NCIndexSet& other);
    void addOffset(int64_t offset);
    size_t count() const { return m_set.size(); }
    bool containsIndex(int64_t value) const;
    const std::vector<std::shared_ptr<NCIndex>>& _set() const { return m_set; }
    std::string description() const;
    bool isEqual(const NCIndexSet& other) const;

    auto begin() const { return m_set.begin(); }
    auto end() const { return m_set.end(); }

  private:
    std::vector<std::shared_ptr<NCIndex>> m_set;
};

#endif
