#pragma once
// The destination page (template 130): the product folder, picked from the
// drive and folder lists, typed, or proposed by the uninstall registry.
// While it is open the process's current folder follows the user; every way
// out puts back each drive's current folder and the current drive, so a
// medium at a drive's root ("A:") still finds its files there.

#include <array>
#include <string>
#include <vector>

#include "platform/dialog_host.hpp"
#include "platform/platform.hpp"

namespace tovrin {

class CDestinationDlg : public DialogPage {
 public:
  explicit CDestinationDlg(Platform& platform) : platform_(platform) {}

  int m_nSavedDrive = 0;
  std::string m_strDestination;                   // in: line 16; out on IDOK: the path field
  std::string m_strNotes;                         // line 27, line breaks converted
  std::string m_strPicture;                       // line 24
  std::array<std::string, 15> m_strUninstallKey;  // lines 1-15

  int TemplateId() const override;
  bool OnInitDialog(Dialog& dialog) override;
  void OnOK(Dialog& dialog) override;
  void OnCancel(Dialog& dialog) override;
  void OnCommand(Dialog& dialog, int controlId, int notification) override;
  void OnPaint(Dialog& dialog, PaintSurface& pictureFrame) override;

  void OnSelchangeDriveList(Dialog& dialog);
  void EnterSelectedFolder(Dialog& dialog);
  void OnBack(Dialog& dialog);
  void RefreshFolderList(Dialog& dialog, const std::string& driveEntry, const std::string& pattern);
  void LookUpInstallFolder(Dialog& dialog);

 private:
  void SaveCurrentFolders();
  void RestoreCurrentFolders();

  Platform& platform_;
  std::vector<std::string> savedFolders_;  // each drive's, as the page found it
};

}  // namespace tovrin
