// The kit's log of survivable inconsistencies ("Warning: ..."): printf-style, one line each,
// through the diagnostics sink to standard error; tests and the application watch the lines by
// installing a sink of their own.
#ifndef NUMBERA_KIT_NK_LOG_H
#define NUMBERA_KIT_NK_LOG_H

void NKLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

#endif
