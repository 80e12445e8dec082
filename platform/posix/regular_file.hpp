#pragma once
// Opening a host file that must be a regular file. A FIFO or a device put in
// its place (on a hostile medium) is refused at once: opening one for
// reading would wait for a writer that never comes.

#include <filesystem>

namespace tovrin {

// A descriptor for `host` opened with `flags` (O_CLOEXEC added), or -1 when it
// cannot be opened or is no regular file.
int OpenRegularFile(const std::filesystem::path& host, int flags);

}  // namespace tovrin
