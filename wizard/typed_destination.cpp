#include "wizard/typed_destination.hpp"

#include "resources/resource_ids.hpp"

namespace tovrin {
namespace {

// The destination page as its host sees it, with the folder typed in right
// after its own initialisation.
class TypedPage : public DialogPage {
 public:
  TypedPage(DialogPage& page, const std::string& folder) : page_(page), folder_(folder) {}

  int TemplateId() const override { return page_.TemplateId(); }
  bool OnInitDialog(Dialog& dialog) override {
    const bool focusSet = page_.OnInitDialog(dialog);
    dialog.SetDlgItemText(IDC_PATH, folder_);
    return focusSet;
  }
  void OnOK(Dialog& dialog) override { page_.OnOK(dialog); }
  void OnCancel(Dialog& dialog) override { page_.OnCancel(dialog); }
  void OnCommand(Dialog& dialog, int controlId, int notification) override {
    page_.OnCommand(dialog, controlId, notification);
  }
  void OnPaint(Dialog& dialog, PaintSurface& pictureFrame) override {
    page_.OnPaint(dialog, pictureFrame);
  }

 private:
  DialogPage& page_;
  const std::string& folder_;
};

}  // namespace

int TypedDestinationDialogs::DoModal(DialogPage& page) {
  if (!folder_ || page.TemplateId() != IDD_DESTINATION) return host_.DoModal(page);
  TypedPage typed(page, *folder_);
  return host_.DoModal(typed);
}

}  // namespace tovrin
