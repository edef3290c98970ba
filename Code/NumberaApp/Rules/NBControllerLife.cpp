#include "NBControllerLife.h"

NBControllerLife::~NBControllerLife() = default;
