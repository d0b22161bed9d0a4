// Moved to tests/support; kept until the window tests include it from there.
#pragma once
#include "tests/support/sampleconfiguration.h"
