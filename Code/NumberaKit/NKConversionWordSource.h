// The word that puts a unit conversion into a line ("in" in English) belongs to the calculation
// vocabulary of the environment, which is built on top of the kit. Typing aids ask for it here;
// the environment made the process's shared one answers, so the kit never reaches up to it.
#ifndef NUMBERA_KIT_NK_CONVERSION_WORD_SOURCE_H
#define NUMBERA_KIT_NK_CONVERSION_WORD_SOURCE_H

#include <memory>
#include <string>

class NKConversionWordSource {
  public:
    virtual ~NKConversionWordSource() = default;
    virtual std::u16string localizedConversionOperatorString() = 0;

    // Held weakly, so the source lives no longer than its owner keeps it; none while no source
    // was set or once it is gone.
    static std::shared_ptr<NKConversionWordSource> shared();
    static void setShared(std::weak_ptr<NKConversionWordSource> source);
};

// The shared source's word, or the localised "in" without one.
std::u16string NKConversionWord();

#endif
