// The five answer representations a user can pick for a line (0 decimal, 1 degrees, 2
// fraction, 3 hex, 4 binary; 6 for none of them): their titles, the formatting options they
// stand for, and a result formatted in one of them.
#ifndef NUMBERA_KIT_NK_ANSWER_REP_HELPER_H
#define NUMBERA_KIT_NK_ANSWER_REP_HELPER_H

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "NCLine.h"
#include "NCResult.h"
#include "NCResultFormattingOptions.h"
#include "NKFunctions.h"

typedef uint64_t NKAnswerRep;
inline constexpr NKAnswerRep NKAnswerRepNone = 6;

class NKAnswerRepHelper {
  public:
    NKAnswerRepHelper();
    static NKAnswerRepHelper& sharedHelper();

    // None for a rep above 4.
    std::optional<std::u16string> titleForRep(NKAnswerRep rep) const;
    // 6 when no title matches.
    NKAnswerRep repForTitle(const std::u16string& title) const;
    NKAnswerRep repForLine(NCLine& line) const;
    // Changes the line's own options in place.
    void setAnswerOnLine(NCLine& line, NKAnswerRep rep) const;
    // Resets the helper's own options for the rep and answers that same object.
    std::shared_ptr<NCResultFormattingOptions> formattingOptionsForRep(NKAnswerRep rep);
    std::optional<std::u16string> valueForResult(const NCResult* result, NKAnswerRep rep);

    std::shared_ptr<NCResultFormattingOptions> formattingOptions() const;
    void setFormattingOptions(const std::shared_ptr<NCResultFormattingOptions>& options);
    // The decimal point in the low 16 bits, the thousands separator in the high ones.
    NKLocale locale() const;
    void setLocale(NKLocale locale);

  private:
    mutable std::mutex m_mutex;
    std::shared_ptr<NCResultFormattingOptions> m_formattingOptions;
    NKLocale m_locale = standardLocale();
};

#endif
