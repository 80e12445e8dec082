#pragma once
// The document of the single-document shell. It holds nothing: all the
// wizard's data lives in the view.

namespace tovrin {

class CTovrinDoc {
 public:
  // The framework's new-document step; nothing to reset.
  bool OnNewDocument() { return true; }
};

}  // namespace tovrin
