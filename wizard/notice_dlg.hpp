#pragma once
// The notes page (template 132): the update's notes, "開始" or "取消".

#include <string>

#include "platform/dialog_host.hpp"
#include "platform/platform.hpp"

namespace tovrin {

class CNoticeDlg : public DialogPage {
 public:
  explicit CNoticeDlg(const Platform& platform) : platform_(platform) {}

  std::string m_strNotes;         // line 26, line breaks converted
  std::string m_strPicture;       // line 23
  std::string m_strMasterAdjust;  // line 18: only chooses the title here

  int TemplateId() const override;
  bool OnInitDialog(Dialog& dialog) override;
  void OnPaint(Dialog& dialog, PaintSurface& pictureFrame) override;

 private:
  const Platform& platform_;
};

// atoi as the runtime library reads line 18: leading blanks, a sign, digits.
// Only zero or not zero matters to its callers, so an overflow counts as not zero.
bool ReadsAsZero(const std::string& text);

}  // namespace tovrin
