#include "app/about_dlg.hpp"

#include "resources/resource_ids.hpp"

namespace tovrin {

int CAboutDlg::TemplateId() const { return IDD_ABOUTBOX; }

}  // namespace tovrin
