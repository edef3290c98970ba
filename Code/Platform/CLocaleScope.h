// Runs a stretch of this thread under the C locale. The C library reads and writes numbers in
// the process locale, which the application sets from the user's: under a decimal-comma locale
// strtod reads "0.31" as 0 and printf writes "0,31". Libraries that format or parse numbers that
// way (libplist among them) are called inside one of these; other threads keep their locale.
#ifndef NUMBERA_PLATFORM_C_LOCALE_SCOPE_H
#define NUMBERA_PLATFORM_C_LOCALE_SCOPE_H

#include <locale.h>

class CLocaleScope {
  public:
    CLocaleScope();
    ~CLocaleScope();
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

  private:
    locale_t m_previous = nullptr;
};

#endif
