#pragma once
// The About box (template 100): the icon and the version lines, "OK".

#include "platform/dialog_host.hpp"

namespace tovrin {

class CAboutDlg : public DialogPage {
 public:
  int TemplateId() const override;
  bool OnInitDialog(Dialog&) override { return true; }
};

}  // namespace tovrin
