#pragma once
// _splitpath on CP932 paths: a 0x5C second byte is never a separator.

#include <string>
#include <string_view>

namespace tovrin {

struct PathParts {
  std::string drive;      // "C:" or empty
  std::string directory;  // up to and including the last separator
  std::string name;       // file name without extension
  std::string extension;  // from the last dot, dot included
};

PathParts SplitPath(std::string_view path);

}  // namespace tovrin
