// The real currencies and stocks managers for the environment's module factory.
#ifndef NUMBERA_SERVICES_NK_DATA_MANAGERS_H
#define NUMBERA_SERVICES_NK_DATA_MANAGERS_H

#include "NKEnvironmentModules.h"

// Managers on the shared main queue, notification centre and HTTP client.
NKEnvironmentModuleFactory NKDataManagersFactory();

#endif
