// The machine's own Windows stands here in place of the platform's.
#pragma once

#include "platform/real_windows/sdk.h"
