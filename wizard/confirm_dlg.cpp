#include "wizard/confirm_dlg.hpp"

#include "resources/resource_ids.hpp"
#include "wizard/page_picture.hpp"

namespace tovrin {

int CConfirmDlg::TemplateId() const { return IDD_CONFIRM; }

bool CConfirmDlg::OnInitDialog(Dialog& dialog) {
  dialog.SetDlgItemText(IDC_NOTES, m_strDestination);
  return true;
}

void CConfirmDlg::OnPaint(Dialog&, PaintSurface& pictureFrame) {
  PaintMediumPicture(platform_, pictureFrame, m_strPicture);
}

}  // namespace tovrin
