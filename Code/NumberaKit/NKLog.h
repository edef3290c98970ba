// The kit's log of survivable inconsistencies ("Warning: ..."): printf-style, one line each,
// to standard error. Tests and the application may watch the lines through a hook.
#ifndef NUMBERA_KIT_NK_LOG_H
#define NUMBERA_KIT_NK_LOG_H

#include <functional>
#include <string>

void NKLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Receives every line (without its line end); an empty hook returns to standard error only.
using NKLogHook = std::function<void(const std::string& line)>;
void NKSetLogHook(NKLogHook hook);

#endif
