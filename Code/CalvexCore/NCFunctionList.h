// A foundation function list passed around the document core as an object.
#ifndef NUMBERA_CORE_NC_FUNCTION_LIST_H
#define NUMBERA_CORE_NC_FUNCTION_LIST_H

#include "NBFFunctionList.h"

class NCFunctionList {
  public:
    NCFunctionList() = default;
    // Retains the list.
    explicit NCFunctionList(NBFFunctionListRef list)
        : m_nbfFunctionList(NBFFunctionListRetain(list)) {}
    ~NCFunctionList() { NBFFunctionListRelease(m_nbfFunctionList); }
    NCFunctionList(const NCFunctionList&) = delete;
    NCFunctionList& operator=(const NCFunctionList&) = delete;

    NBFFunctionListRef nbfFunctionList() const { return m_nbfFunctionList; }

  private:
    NBFFunctionListRef m_nbfFunctionList = nullptr;
};

#endif
