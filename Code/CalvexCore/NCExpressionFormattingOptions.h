// How a line's expression text is aligned. Observers hear of a change under the key
// "textAlignment", and only when the value really changes.
#ifndef NUMBERA_CORE_NC_EXPRESSION_FORMATTING_OPTIONS_H
#define NUMBERA_CORE_NC_EXPRESSION_FORMATTING_OPTIONS_H

#include <cstdint>
#include <functional>
#include <map>
#include <string>

class NCExpressionFormattingOptions {
  public:
    using Observer = std::function<void(const std::string& key)>;

    int32_t textAlignment() const { return m_textAlignment; }
    void setTextAlignment(int32_t alignment);

    // A token for removeObserver.
    uint64_t addObserver(Observer observer);
    void removeObserver(uint64_t token) { m_observers.erase(token); }

  private:
    int32_t m_textAlignment = 0;
    std::map<uint64_t, Observer> m_observers;
    uint64_t m_nextToken = 1;
};

#endif
