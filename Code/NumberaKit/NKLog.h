// The kit's log lines ("Warning: ..."): standard error by default, or a handler that tests
// install to read them.
#ifndef NUMBERA_KIT_NK_LOG_H
#define NUMBERA_KIT_NK_LOG_H

#include <functional>
#include <string>

void NKLog(const std::string& line);
// An empty handler returns to standard error.
void NKSetLogHandler(std::function<void(const std::string&)> handler);
std::string NKUTF8(const std::u16string& text);
std::u16string NKUTF16(const std::string& text);

#endif
