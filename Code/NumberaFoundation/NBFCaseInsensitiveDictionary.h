// Maps string keys to untyped items so that a key is found in any letter case as long as no
// second key differs from it only in case; once two keys share a lowercase form, each is
// found only in its own letter case. Items are never retained or released.
//
// The reference count is plain (not atomic): one owner, or the owner's own locking. Only the
// set operations take the dictionary's mutex.
#ifndef NUMBERA_FOUNDATION_NBF_CASE_INSENSITIVE_DICTIONARY_H
#define NUMBERA_FOUNDATION_NBF_CASE_INSENSITIVE_DICTIONARY_H

#include <cstdint>

#include "NBFArray.h"
#include "NBFString.h"

struct NBFCaseInsensitiveDictionary;
typedef NBFCaseInsensitiveDictionary* NBFCaseInsensitiveDictionaryRef;
typedef void (*NBFCaseInsensitiveDictionaryItemFunction)(void* item);

NBFCaseInsensitiveDictionaryRef NBFCaseInsensitiveDictionaryCreate();
NBFCaseInsensitiveDictionaryRef NBFCaseInsensitiveDictionaryRetain(
    NBFCaseInsensitiveDictionaryRef dictionary);
void NBFCaseInsensitiveDictionaryRelease(NBFCaseInsensitiveDictionaryRef dictionary);

// Inserts, replaces or, with a null item, removes. A null key does nothing.
void NBFCaseInsensitiveDictionarySetItemForKey(NBFCaseInsensitiveDictionaryRef dictionary,
                                               void* item, NBFStringRef key, bool caseSensitive);
void NBFCaseInsensitiveDictionarySetItemForKeyObserveReplacement(
    NBFCaseInsensitiveDictionaryRef dictionary, void* item, NBFStringRef key, bool caseSensitive,
    void** replacedItem);
void NBFCaseInsensitiveDictionarySetItemForKeyAndLowercaseKey(
    NBFCaseInsensitiveDictionaryRef dictionary, void* item, NBFStringRef key,
    NBFStringRef lowercaseKey, bool caseSensitive);
void NBFCaseInsensitiveDictionarySetItemForKeyAndLowercaseKeyObserveReplacement(
    NBFCaseInsensitiveDictionaryRef dictionary, void* item, NBFStringRef key,
    NBFStringRef lowercaseKey, bool caseSensitive, void** replacedItem);

void* NBFCaseInsensitiveDictionaryGetItemForKey(NBFCaseInsensitiveDictionaryRef dictionary,
                                                NBFStringRef key);
void* NBFCaseInsensitiveDictionaryGetItemForKeyAndLowercaseKey(
    NBFCaseInsensitiveDictionaryRef dictionary, NBFStringRef key, NBFStringRef lowercaseKey);
// As Get; exactMatch becomes true when the key equals the stored key's letter case exactly.
void* NBFCaseInsensitiveDictionaryFindItemForKeyAndLowercaseKey(
    NBFCaseInsensitiveDictionaryRef dictionary, NBFStringRef key, NBFStringRef lowercaseKey,
    bool* exactMatch);

int32_t NBFCaseInsensitiveDictionaryCount(NBFCaseInsensitiveDictionaryRef dictionary);
// A new array the caller releases.
NBFArrayRef NBFCaseInsensitiveDictionaryGetAllItems(NBFCaseInsensitiveDictionaryRef dictionary);
void NBFCaseInsensitiveDictionaryApplyFunction(NBFCaseInsensitiveDictionaryRef dictionary,
                                               NBFCaseInsensitiveDictionaryItemFunction function);
void NBFCaseInsensitiveDictionaryRemoveAllItems(NBFCaseInsensitiveDictionaryRef dictionary);

#endif
