#pragma once
// Standard output that nobody reads any more ("tovrin ... | head -1") must
// neither stop an update midway nor change its result.

#include <ostream>

namespace tovrin {

// Writes to a pipe without a reader then fail instead of ending the program.
void KeepRunningWhenOutputIsLost();

// Says once, on `err`, that `out` could not be written.
void ReportLostOutput(std::ostream& out, std::ostream& err);

}  // namespace tovrin
