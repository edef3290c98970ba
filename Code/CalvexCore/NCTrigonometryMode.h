// How trigonometric functions read and give angles.
#ifndef NUMBERA_CORE_NC_TRIGONOMETRY_MODE_H
#define NUMBERA_CORE_NC_TRIGONOMETRY_MODE_H

#include <cstdint>

typedef int32_t NCTrigonometryMode;
enum : NCTrigonometryMode {
    NCTrigonometryModeDegrees = 1,
    NCTrigonometryModeRadians = 2,
};

#endif
