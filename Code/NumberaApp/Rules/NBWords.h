// The word lists of the "ComplexStrings" resource: the spoken names of digits ("Numbers"),
// the operators with their symbols and spoken forms ("Operators") and the label words
// ("Labels"). Read once, at first use; a missing or unreadable resource leaves them empty.
#ifndef NUMBERA_APP_RULES_NB_WORDS_H
#define NUMBERA_APP_RULES_NB_WORDS_H

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "NBSpeechText.h"
#include "NCPropertyListValue.h"

class NBWords {
  public:
    static NBWords& sharedInstance();

    // The whole resource; null when it could not be read.
    const std::shared_ptr<const NCPropertyListValue>& dataSource() const { return m_dataSource; }

    // 0 "Numbers", 1 "Operators", 2 "Labels"; any other type, or a list that is missing, is
    // empty. Entries that are not dictionaries are left out.
    static std::vector<std::shared_ptr<const NCPropertyListValue>> wordsOfType(int type);
    // The first label dictionary, in order, one of whose values is the query; none without.
    static std::shared_ptr<const NCPropertyListValue> labelForQuery(const std::u16string& query);
    // The operators' symbols with their spoken forms, from each entry's "symbols" and
    // "speech"; an entry without either is left out.
    static std::vector<NBSpeechWord> speechWords();

    // Reads another file in place of the resource (for tests); an empty path reads the
    // resource again.
    void loadFromPath(const std::string& path);

  private:
    NBWords();
    std::shared_ptr<const NCPropertyListValue> m_dataSource;
};

#endif
