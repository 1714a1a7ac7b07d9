#pragma once
// The file service, directory lock and clock of the system the program is
// built for: POSIX calls on Linux, Win32 calls on Windows. Each declares
// DirectoryLock and SystemClock with the same contract; SystemFileService
// names the file service.
#if defined(_WIN32)
#include "base/windows_files.h"
#else
#include "app/posix_files.h"
#endif

namespace vorskal {

#if defined(_WIN32)
using SystemFileService = WindowsFileService;
#else
using SystemFileService = PosixFileService;
#endif

}  // namespace vorskal
