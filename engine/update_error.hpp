#pragma once
// A failure inside the update run that ends it at once, like a file
// exception of the platform would; caught at the run's edge and shown there.
// Never leaves the run.

#include <stdexcept>
#include <string>

namespace tovrin {

class UpdateError : public std::runtime_error {
 public:
  // `reason` is CP932, shown to the user as it is.
  explicit UpdateError(const std::string& reason) : std::runtime_error(reason) {}
};

}  // namespace tovrin
