#include "wizard/notice_dlg.hpp"

#include <cerrno>
#include <cstdlib>

#include "platform/cp932.hpp"
#include "resources/messages.hpp"
#include "resources/resource_ids.hpp"
#include "wizard/page_picture.hpp"

namespace tovrin {

bool ReadsAsZero(const std::string& text) {
  errno = 0;
  const long value = std::strtol(text.c_str(), nullptr, 10);
  return value == 0 && errno != ERANGE;
}

int CNoticeDlg::TemplateId() const { return IDD_NOTICE; }

bool CNoticeDlg::OnInitDialog(Dialog& dialog) {
  // The template's title names the master adjustment; without it, a plain update.
  if (ReadsAsZero(m_strMasterAdjust)) dialog.SetWindowText(cp932::Text(texts::kNoticeTitleUpdate));
  dialog.SetDlgItemText(IDC_NOTES, m_strNotes);
  return true;
}

void CNoticeDlg::OnPaint(Dialog&, PaintSurface& pictureFrame) {
  PaintMediumPicture(platform_, pictureFrame, m_strPicture);
}

}  // namespace tovrin
