#pragma once

#include "platform/File.h"

namespace conv::platform
{

/// How an errno value raised on `path` counts. A missing file whose folder is missing too is a
/// bad name, as on systems with drive letters.
FileFailure failureFromErrno(int err, const std::filesystem::path& path);

} // namespace conv::platform
