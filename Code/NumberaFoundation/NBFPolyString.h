// One text in two forms: the foundation's UTF-16 string and a standard UTF-8 string. The
// UTF-16 form is made on first request, so code that only reads the 8-bit form never pays
// for it. Immutable.
#ifndef NUMBERA_FOUNDATION_NBF_POLY_STRING_H
#define NUMBERA_FOUNDATION_NBF_POLY_STRING_H

#include <atomic>
#include <string>

#include "NBFObject.h"
#include "NBFString.h"

namespace NBF {

class PolyString : public Object<PolyString> {
  public:
    // Null text is taken as empty.
    static PolyString* create(const char* text);
    static PolyString* create(std::string standardString);
    // Retains the string and keeps its UTF-8 form beside it; null is taken as empty.
    static PolyString* create(NBFStringRef string);

    // Borrowed; made from the standard string on the first call (safe from any thread).
    NBFStringRef nbfString() const;
    const std::string& cppString() const { return m_text; }
    const char* cString() const { return m_text.c_str(); }

  private:
    PolyString(std::string text, NBFStringRef string) : m_text(std::move(text)), m_string(string) {}
    ~PolyString() override;

    const std::string m_text;
    mutable std::atomic<NBFStringRef> m_string;
};

}  // namespace NBF

#endif
