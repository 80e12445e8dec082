#pragma once
// The real file system of the system the tests run on, its drives mapped
// from a table: the POSIX side itself, or the Win32 side under substituted
// drives.

#ifdef _WIN32
#include "tests/support/substituted_file_system.hpp"
#else
#include "platform/posix/file_system.hpp"
#endif

namespace tovrin::testing {

#ifdef _WIN32
using TestFileSystem = SubstitutedFileSystem;
#else
using TestFileSystem = PosixFileSystem;
#endif

}  // namespace tovrin::testing
