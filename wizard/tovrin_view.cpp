#include "wizard/tovrin_view.hpp"

#include "resources/resource_ids.hpp"
#include "wizard/confirm_dlg.hpp"
#include "wizard/destination_dlg.hpp"
#include "wizard/notice_dlg.hpp"
#include "wizard/page_picture.hpp"

namespace tovrin {

CTovrinView::CTovrinView(Platform& platform, ArchiveLibrary& archives, DialogHost& dialogs,
                         MessageQueue& queue, MessageTarget& frame)
    : platform_(platform),
      archives_(archives),
      dialogs_(dialogs),
      queue_(queue),
      frame_(frame) {}

int CTovrinView::OnCreate() {
  // A missing info.txt is not reported: the pages open empty.
  ReadInfoFile(platform_.files, platform_.mediumFolder + "info.txt", description_);
  PostCommand(ID_WIZARD_NOTICE);
  return 0;
}

void CTovrinView::OnMessage(unsigned message, int wParam) {
  if (message != WM_COMMAND) return;
  switch (wParam) {
    case ID_WIZARD_NOTICE:
      OnWizardNotice();
      break;
    case ID_WIZARD_DESTINATION:
      OnWizardDestination();
      break;
    case ID_WIZARD_CONFIRM:
      OnWizardConfirm();
      break;
    default:
      break;
  }
}

void CTovrinView::OnWizardNotice() {
  CNoticeDlg page(platform_);
  page.m_strMasterAdjust = description_.m_strMasterAdjust;
  page.m_strNotes = description_.m_strNoticeNotes;
  page.m_strPicture = description_.m_strNoticePicture;
  if (dialogs_.DoModal(page) == IDOK) {
    PostCommand(ID_WIZARD_DESTINATION);
    return;
  }
  CloseFrame();
}

void CTovrinView::OnWizardDestination() {
  CDestinationDlg page(platform_);
  page.m_strUninstallKey = description_.m_strUninstallKey;
  page.m_strNotes = description_.m_strDestNotes;
  page.m_strDestination = description_.m_strDestination;
  page.m_strPicture = description_.m_strDestPicture;
  const int result = dialogs_.DoModal(page);
  if (result == IDOK) {
    description_.m_strDestination = page.m_strDestination;
    PostCommand(ID_WIZARD_CONFIRM);
    return;
  }
  if (result == IDC_BACK) {
    PostCommand(ID_WIZARD_NOTICE);
    return;
  }
  // Esc, or a page that could not open: with no page left the wizard is
  // over, as after "取消" on the notes page.
  CloseFrame();
}

void CTovrinView::OnWizardConfirm() {
  CConfirmDlg page(platform_);
  page.m_strDestination = description_.m_strDestination;
  page.m_strPicture = description_.m_strConfirmPicture;
  const int result = dialogs_.DoModal(page);
  if (result == IDOK) {
    if (RunUpdate() == 1) {
      CloseFrame();
    } else {
      PostCommand(ID_WIZARD_DESTINATION);
    }
    return;
  }
  if (result == IDCANCEL) {
    PostCommand(ID_WIZARD_DESTINATION);
    return;
  }
  // A page that could not open ends the wizard rather than leave no page.
  CloseFrame();
}

void CTovrinView::OnPaint(PaintSurface& surface) {
  PaintMediumPicture(picture_, platform_, surface, description_.m_strViewPicture);
}

int CTovrinView::RunUpdate() {
  int result = 1;
  updateRan_ = true;
  runHost_->RunUpdate(platform_.ui, [&](UserInterface& ui, RunEvents& progress) {
    Platform platform{platform_.files, platform_.registry, ui, platform_.mediumFolder};
    UpdateRun run(description_, platform, archives_, this);
    if (observedFiles_) run.ObserveChangesThrough(*observedFiles_);
    if (journalFiles_) run.KeepJournalWith(*journalFiles_);
    run.TrustKeys(trustedKeys_);
    for (RunEvents* listener : runListeners_) run.AddListener(*listener);
    run.AddListener(progress);
    result = run.RunUpdate();
    m_nProductNo = run.ProductNo();
    lastOutcome_ = run.Outcome();
  });
  return result;
}

void CTovrinView::PostCommand(int command) { queue_.PostMessage(*this, WM_COMMAND, command); }

void CTovrinView::CloseFrame() {
  // A wizard left before any update ran ends too, and its listeners (the
  // log, the exit status) are told so.
  if (!updateRan_) {
    for (RunEvents* listener : runListeners_) listener->RunEnded(UpdateOutcome::NotRun);
  }
  queue_.PostMessage(frame_, WM_CLOSE, 0);
}

}  // namespace tovrin
