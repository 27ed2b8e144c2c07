#pragma once

#include "platform/File.h"

#include <cstdint>

namespace conv::platform
{

/// How a Windows error code (GetLastError) counts.
FileFailure failureFromWindowsError(std::uint32_t err);

} // namespace conv::platform
