#pragma once
// The destination page (template 130): the product folder, picked from the
// drive and folder lists, typed, or proposed by the uninstall registry.
// While it is open the process's current folder follows the user; every way
// out sets back only the current drive.

#include <array>
#include <string>

#include "platform/dialog_host.hpp"
#include "platform/platform.hpp"

namespace tovrin {

class CDestinationDlg : public DialogPage {
 public:
  explicit CDestinationDlg(Platform& platform) : platform_(platform) {}

  int m_nSavedDrive = 0;
  std::string m_strDestination;  // in: line 16; out on IDOK: the path field
  std::string m_strNotes;        // line 27, line breaks converted
  std::string m_strPicture;      // line 24
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
  Platform& platform_;
};

}  // namespace tovrin
