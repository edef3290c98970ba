// The foundation's error log: "Error!" reports that the code survives, "Abort!" reports and
// failed checks that stop the process.
#ifndef NUMBERA_FOUNDATION_NBF_ERROR_LOG_H
#define NUMBERA_FOUNDATION_NBF_ERROR_LOG_H

#include <cstdint>
#include <cstdlib>

// While false, "Error!" reports are not written. Starts true.
extern bool NBFErrorLogEnabled;
void NBFErrorLogSetEnabled(bool flag);

// Reports "<kind> failed: (<condition>) in function <function>, <file>:<line>" and the
// formatted message through the diagnostics sink (standard error by default). With
// crashReport set the message is also kept as the last fatal message
// (NBFErrorLogLastFatalMessage).
void OX_logErr(bool crashReport, const char* kind, const char* condition, const char* function,
               const char* path, int line, const char* format, ...)
    __attribute__((format(printf, 7, 8)));

// Reports "\n\n<header> @ <function>, <file>:<line>\n------\n" and the formatted message.
// "Error!" reports are written only while NBFErrorLogEnabled is set; others always.
void OX_logErr_bigHeader(bool crashReport, const char* header, const char* function,
                         const char* path, int line, const char* format, ...)
    __attribute__((format(printf, 6, 7)));

// The message last handed to the crash reporter, or null.
const char* NBFErrorLogLastFatalMessage();

#define NBF_LOG_ERROR(...) \
    OX_logErr_bigHeader(false, "Error!", __func__, __FILE__, __LINE__, __VA_ARGS__)

#define NBF_ABORT(...)                                                                  \
    do {                                                                                \
        OX_logErr_bigHeader(true, "Abort!", __func__, __FILE__, __LINE__, __VA_ARGS__); \
        abort();                                                                        \
    } while (0)

// Stops the process when the condition does not hold.
#define NBF_VERIFY_TRUE(condition, ...)                                                           \
    do {                                                                                          \
        if (!(condition)) {                                                                       \
            OX_logErr(true, "VerifyTrue", #condition, __func__, __FILE__, __LINE__, __VA_ARGS__); \
            abort();                                                                              \
        }                                                                                         \
    } while (0)

#endif
