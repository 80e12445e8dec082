#pragma once
// A dialog host over any other that types a given folder into the
// destination page's path field once the page has opened, after the
// install-folder lookup, as the user would type it: the same on every host.

#include <optional>
#include <string>

#include "platform/dialog_host.hpp"

namespace tovrin {

class TypedDestinationDialogs : public DialogHost {
 public:
  // `folder` is CP932; none leaves every page as `host` opens it.
  TypedDestinationDialogs(DialogHost& host, std::optional<std::string> folder)
      : host_(host),
        folder_(std::move(folder)) {}

  int DoModal(DialogPage& page) override;

 private:
  DialogHost& host_;
  std::optional<std::string> folder_;
};

}  // namespace tovrin
