// A mutable map from string keys to untyped values. Keys are retained and compared by value;
// values are raw pointers the dictionary never retains or releases.
#ifndef NUMBERA_FOUNDATION_NBF_DICTIONARY_H
#define NUMBERA_FOUNDATION_NBF_DICTIONARY_H

#include <cstdint>
#include <string>
#include <unordered_map>

#include "NBFObject.h"
#include "NBFString.h"

struct NBFDictionary : NBF::Object<NBFDictionary> {
    ~NBFDictionary() override;
    // Keyed by the text; the held key object is retained.
    std::unordered_map<std::u16string, std::pair<NBFStringRef, void*>> entries;
};
typedef NBFDictionary* NBFDictionaryRef;
typedef void (*NBFDictionaryApplierFunction)(NBFStringRef key, void* value, void* context);

NBFDictionaryRef NBFDictionaryCreate();
NBFDictionaryRef NBFDictionaryRetain(NBFDictionaryRef dictionary);
void NBFDictionaryRelease(NBFDictionaryRef dictionary);
int32_t NBFDictionaryGetCount(NBFDictionaryRef dictionary);
void* NBFDictionaryGetValue(NBFDictionaryRef dictionary, NBFStringRef key);
// The value comes before the key.
void NBFDictionarySetValue(NBFDictionaryRef dictionary, void* value, NBFStringRef key);
void NBFDictionaryRemoveValue(NBFDictionaryRef dictionary, NBFStringRef key);
void NBFDictionaryRemoveAllValues(NBFDictionaryRef dictionary);
// Borrowed keys; the buffer holds at least GetCount entries.
void NBFDictionaryGetKeys(NBFDictionaryRef dictionary, NBFStringRef* buffer);
void NBFDictionaryApplyFunction(NBFDictionaryRef dictionary, NBFDictionaryApplierFunction function);
void NBFDictionaryApplyFunctionWithContext(NBFDictionaryRef dictionary,
                                           NBFDictionaryApplierFunction function, void* context);

#endif
