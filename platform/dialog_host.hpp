#pragma once
// The dialog host: builds a page from its template and gives the page's
// logic the operations it uses. The same page code runs on the wxWidgets
// host (the wizard), the console host (the unattended run) and the scripted
// host (tests). Texts crossing this interface are CP932.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/windows_types.hpp"

namespace tovrin {

// A control of a dialog template; position and size in dialog units.
struct DialogControl {
  int id;
  std::string className;  // "button", "edit", "static", "listbox", "icon"
  std::string text;       // CP932
  int x, y, cx, cy;
  std::uint32_t style;
};

struct DialogTemplate {
  int id;
  std::string title;     // CP932
  std::string fontName;  // CP932
  int fontPointSize;
  std::uint32_t style;
  int cx, cy;
  std::vector<DialogControl> controls;  // in tab order
};

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

// A bitmap in memory as DrawBitmapFile hands it to the surface: the header
// fields it needs, the palette entries and the pixel rows (bottom-up unless
// `topDown`), each row padded to a multiple of 4 bytes.
struct DeviceIndependentBitmap {
  int width = 0;
  int height = 0;
  bool topDown = false;
  int bitCount = 0;                    // 1, 4, 8, 24 (16, 32 where supported)
  std::vector<std::uint32_t> colours;  // 0x00RRGGBB
  const std::uint8_t* bits = nullptr;
  std::size_t bitsSize = 0;
};

// What a page paints on (the device context of a control or of the view).
class PaintSurface {
 public:
  virtual ~PaintSurface() = default;
  virtual Rect ClientRect() const = 0;
  // StretchDIBits: the whole bitmap stretched into `destination`.
  virtual void StretchBitmap(const Rect& destination, const DeviceIndependentBitmap& bitmap,
                             DWORD rop) = 0;
};

// Operations a page may call on its open dialog.
class Dialog {
 public:
  virtual ~Dialog() = default;
  virtual void SetWindowText(const std::string& text) = 0;
  virtual std::string GetWindowText() const = 0;
  virtual void SetDlgItemText(int id, const std::string& text) = 0;
  virtual std::string GetDlgItemText(int id) const = 0;
  // List boxes (LB_ERR = -1 for "no selection").
  virtual void ListResetContent(int id) = 0;
  virtual int ListAddString(int id, const std::string& text) = 0;
  virtual int ListGetCurSel(int id) const = 0;
  virtual std::string ListGetText(int id, int index) const = 0;
  virtual int ListGetCount(int id) const = 0;
  virtual void EndDialog(int result) = 0;
  virtual WindowHandle Handle() const = 0;
};

// List-box notifications and the command of a button.
inline constexpr int LBN_SELCHANGE = 1;
inline constexpr int LBN_DBLCLK = 2;
inline constexpr int BN_CLICKED = 0;

// The logic of one page; the host calls it as the dialog's message map would.
class DialogPage {
 public:
  virtual ~DialogPage() = default;
  virtual int TemplateId() const = 0;
  virtual bool OnInitDialog(Dialog& dialog) = 0;
  virtual void OnOK(Dialog& dialog) { dialog.EndDialog(IDOK); }
  virtual void OnCancel(Dialog& dialog) { dialog.EndDialog(IDCANCEL); }
  // Any other control's notification (list boxes, the Back button).
  virtual void OnCommand(Dialog& dialog, int controlId, int notification) {
    (void)dialog, (void)controlId, (void)notification;
  }
  // Paint the page's picture into the control frame (id 1007).
  virtual void OnPaint(Dialog& dialog, PaintSurface& pictureFrame) {
    (void)dialog, (void)pictureFrame;
  }
};

class DialogHost {
 public:
  virtual ~DialogHost() = default;
  // Builds the page's template, runs it modally, returns its result (-1
  // when the page cannot be opened).
  virtual int DoModal(DialogPage& page) = 0;
};

}  // namespace tovrin
