#pragma once
// Where the running executable lies, as the SDK names paths.
#include <string>

namespace morna::platform {

// The executable's full path as a drive "Z:" path in Shift-JIS with '\' as the
// separator ("/opt/morna/morna" is "Z:\opt\morna\morna"); empty when the system
// cannot tell. A name that is not valid UTF-8 is kept byte for byte.
std::string ExecutablePath();

}  // namespace morna::platform
