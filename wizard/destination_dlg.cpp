#include "wizard/destination_dlg.hpp"

#include "resources/resource_ids.hpp"
#include "wizard/folder_lists.hpp"
#include "wizard/install_folder_lookup.hpp"
#include "wizard/page_picture.hpp"

namespace tovrin {
namespace {

// The selected entry's text; empty when nothing is selected.
std::string SelectedText(const Dialog& dialog, int listId) {
  const int selection = dialog.ListGetCurSel(listId);
  if (selection < 0) return {};
  return dialog.ListGetText(listId, selection);
}

}  // namespace

int CDestinationDlg::TemplateId() const { return IDD_DESTINATION; }

bool CDestinationDlg::OnInitDialog(Dialog& dialog) {
  FileSystem& files = platform_.files;
  m_nSavedDrive = files.Getdrive();
  SaveCurrentFolders();
  files.Chdir("\\");
  ListDrives(dialog, IDC_DRIVE_LIST, files);
  dialog.SetDlgItemText(IDC_PATH, m_strDestination);
  dialog.SetDlgItemText(IDC_NOTES, m_strNotes);
  LookUpInstallFolder(dialog);
  return true;
}

void CDestinationDlg::OnOK(Dialog& dialog) {
  m_strDestination = dialog.GetDlgItemText(IDC_PATH);
  RestoreCurrentFolders();
  dialog.EndDialog(IDOK);
}

void CDestinationDlg::OnCancel(Dialog& dialog) {
  RestoreCurrentFolders();
  dialog.EndDialog(IDCANCEL);
}

void CDestinationDlg::OnBack(Dialog& dialog) {
  RestoreCurrentFolders();
  dialog.EndDialog(IDC_BACK);
}

void CDestinationDlg::SaveCurrentFolders() {
  FileSystem& files = platform_.files;
  savedFolders_.clear();
  for (const char letter : files.DriveLetters()) {
    if (files.Chdrive(letter - 'A' + 1) == 0) savedFolders_.push_back(files.Getcwd());
  }
  files.Chdrive(m_nSavedDrive);
}

void CDestinationDlg::RestoreCurrentFolders() {
  FileSystem& files = platform_.files;
  // A folder that has gone meanwhile leaves its drive where the user was.
  for (const std::string& folder : savedFolders_) files.Chdir(folder);
  files.Chdrive(m_nSavedDrive);
}

void CDestinationDlg::OnCommand(Dialog& dialog, int controlId, int notification) {
  if (controlId == IDC_DRIVE_LIST && notification == LBN_SELCHANGE) {
    OnSelchangeDriveList(dialog);
  } else if (controlId == IDC_FOLDER_LIST &&
             (notification == LBN_SELCHANGE || notification == LBN_DBLCLK)) {
    EnterSelectedFolder(dialog);
  } else if (controlId == IDC_BACK && notification == BN_CLICKED) {
    OnBack(dialog);
  }
}

void CDestinationDlg::OnSelchangeDriveList(Dialog& dialog) {
  if (dialog.ListGetCurSel(IDC_DRIVE_LIST) < 0) return;
  const std::string driveEntry = SelectedText(dialog, IDC_DRIVE_LIST);
  // The composed root is shown, not what the system reports back.
  const std::string root = DriveOfEntry(driveEntry) + ":\\";
  platform_.files.Chdir(root);
  dialog.SetDlgItemText(IDC_PATH, root);
  RefreshFolderList(dialog, driveEntry, "\\*.*");
}

void CDestinationDlg::EnterSelectedFolder(Dialog& dialog) {
  if (dialog.ListGetCurSel(IDC_DRIVE_LIST) < 0 || dialog.ListGetCurSel(IDC_FOLDER_LIST) < 0) return;
  const std::string driveEntry = SelectedText(dialog, IDC_DRIVE_LIST);
  const std::string folderEntry = SelectedText(dialog, IDC_FOLDER_LIST);
  if (folderEntry.size() < 2) return;
  const std::string folder = folderEntry.substr(1, folderEntry.size() - 2);
  // Relative to that drive's own current folder: "[..]" goes up one level.
  FileSystem& files = platform_.files;
  files.Chdir(DriveOfEntry(driveEntry) + ":" + folder);
  dialog.SetDlgItemText(IDC_PATH, files.Getcwd());
  RefreshFolderList(dialog, driveEntry, ".\\*.*");
}

void CDestinationDlg::RefreshFolderList(Dialog& dialog, const std::string& driveEntry,
                                        const std::string& pattern) {
  dialog.ListResetContent(IDC_FOLDER_LIST);
  const std::string searchPattern = DriveOfEntry(driveEntry) + ":" + pattern;
  WaitCursor wait(platform_.ui);
  for (const std::string& name : FindSubfolders(platform_.files, searchPattern)) {
    dialog.ListAddString(IDC_FOLDER_LIST, "[" + name + "]");
  }
}

void CDestinationDlg::LookUpInstallFolder(Dialog& dialog) {
  const auto folder = tovrin::LookUpInstallFolder(platform_.registry, m_strUninstallKey);
  if (folder) dialog.SetDlgItemText(IDC_PATH, *folder);
}

void CDestinationDlg::OnPaint(Dialog&, PaintSurface& pictureFrame) {
  PaintMediumPicture(platform_, pictureFrame, m_strPicture);
}

}  // namespace tovrin
