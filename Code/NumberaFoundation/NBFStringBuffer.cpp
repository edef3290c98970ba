#include "NBFStringBuffer.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace NBF {

StringBuffer* StringBuffer::create(int32_t capacity) { return new StringBuffer(capacity); }

StringBuffer::StringBuffer(int32_t capacity)
    : m_capacity(capacity < 1 ? 1 : capacity), m_bytes(new char[static_cast<size_t>(m_capacity)]) {
    m_bytes[0] = '\0';
}

StringBuffer::~StringBuffer() { delete[] m_bytes; }

StringBuffer* StringBuffer::append(char character) {
    if (room() >= 1) {
        m_bytes[m_length++] = character;
        m_bytes[m_length] = '\0';
    }
    return this;
}

StringBuffer* StringBuffer::append(const char* text) {
    if (!text) return this;
    size_t count = std::strlen(text);
    if (count > static_cast<size_t>(room())) count = static_cast<size_t>(room());
    std::memcpy(m_bytes + m_length, text, count);
    m_length += static_cast<int32_t>(count);
    m_bytes[m_length] = '\0';
    return this;
}

StringBuffer* StringBuffer::appendFormat(const char* format, ...) {
    if (!format || room() < 1) return this;
    va_list args;
    va_start(args, format);
    int written = std::vsnprintf(m_bytes + m_length, static_cast<size_t>(room()) + 1, format, args);
    va_end(args);
    if (written > 0) m_length += written < room() ? written : room();
    m_bytes[m_length] = '\0';
    return this;
}

void StringBuffer::reset() {
    m_length = 0;
    m_bytes[0] = '\0';
}

NBFStringRef StringBuffer::createString() const {
    if (room() < 1) return nullptr;
    return NBFStringCreateWithCppString(cppString());
}

}  // namespace NBF
