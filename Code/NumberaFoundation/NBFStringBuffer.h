// A fixed-capacity byte buffer for building short texts without allocating per append. The
// length always stays below the capacity, leaving room for the terminating zero; appends that
// do not fit are cut.
#ifndef NUMBERA_FOUNDATION_NBF_STRING_BUFFER_H
#define NUMBERA_FOUNDATION_NBF_STRING_BUFFER_H

#include <cstdint>
#include <string>

#include "NBFObject.h"
#include "NBFString.h"

namespace NBF {

class StringBuffer : public Object<StringBuffer> {
  public:
    // A capacity below 1 is taken as 1 (room for the terminator only).
    static StringBuffer* create(int32_t capacity);

    // Added only when a byte besides the terminator is free.
    StringBuffer* append(char character);
    // Cut to the room left; null appends nothing.
    StringBuffer* append(const char* text);
    // printf-style; writes at most the room left.
    StringBuffer* appendFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));

    int32_t length() const { return m_length; }
    void reset();
    // A new string of the bytes; null when the buffer is full, since its text may be cut.
    NBFStringRef createString() const;
    std::string cppString() const { return std::string(m_bytes, static_cast<size_t>(m_length)); }

  private:
    explicit StringBuffer(int32_t capacity);
    ~StringBuffer() override;
    int32_t room() const { return m_capacity - 1 - m_length; }

    int32_t m_capacity;
    char* m_bytes;
    int32_t m_length = 0;
};

}  // namespace NBF

#endif
