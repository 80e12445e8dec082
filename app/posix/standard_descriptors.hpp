#pragma once
// Descriptors 0, 1 and 2 closed by whoever started the program would go to
// the first files it opens (the product lock, the journal), and the log or
// the report would then be written into them.

namespace tovrin {

// Opens each of 0, 1 and 2 that is closed to /dev/null; false when one
// could not be opened (the program must not go on).
bool OpenClosedStandardDescriptors();

}  // namespace tovrin
