#pragma once
// The confirm page (template 133): shows the destination, "更新" or "戻る".

#include <string>

#include "platform/dialog_host.hpp"
#include "platform/file_system.hpp"

namespace tovrin {

class CConfirmDlg : public DialogPage {
 public:
  explicit CConfirmDlg(FileSystem& files) : files_(files) {}

  std::string m_strDestination;  // as the destination page left it
  std::string m_strPicture;      // line 25

  int TemplateId() const override;
  bool OnInitDialog(Dialog& dialog) override;
  void OnPaint(Dialog& dialog, PaintSurface& pictureFrame) override;

 private:
  FileSystem& files_;
};

}  // namespace tovrin
