#pragma once
// The confirm page (template 133): shows the destination, "更新" or "戻る".

#include <string>

#include "platform/dialog_host.hpp"
#include "platform/platform.hpp"

namespace tovrin {

class CConfirmDlg : public DialogPage {
 public:
  explicit CConfirmDlg(const Platform& platform) : platform_(platform) {}

  std::string m_strDestination;  // as the destination page left it
  std::string m_strPicture;      // line 25

  int TemplateId() const override;
  bool OnInitDialog(Dialog& dialog) override;
  void OnPaint(Dialog& dialog, PaintSurface& pictureFrame) override;

 private:
  const Platform& platform_;
};

}  // namespace tovrin
