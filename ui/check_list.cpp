#include "ui/check_list.h"

#include <uxtheme.h>
#include <vsstyle.h>

#include <string>

#include "win32/text_encoding.h"
#include "win32/win_handles.h"

namespace {

// Two state images, unchecked (1) and checked (2), side by side. Themed
// when the list runs with visual styles, classic otherwise.
HIMAGELIST CreateCheckImages(HWND list, int size) {
  HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR24, 2, 0);
  if (images == nullptr) return nullptr;
  WindowDc screen(list);
  UniqueMemoryDc memory(CreateCompatibleDC(screen.Get()));
  UniqueBitmap strip(CreateCompatibleBitmap(screen.Get(), size * 2, size));
  {
    HDC dc = memory.Get();
    SelectedObject selected(dc, strip.Get());
    RECT all{0, 0, size * 2, size};
    FillRect(dc, &all, GetSysColorBrush(COLOR_WINDOW));
    HTHEME theme = OpenThemeData(list, L"BUTTON");
    for (int i = 0; i < 2; ++i) {
      RECT box{i * size, 0, (i + 1) * size, size};
      if (theme != nullptr) {
        DrawThemeBackground(theme, dc, BP_CHECKBOX, i == 0 ? CBS_UNCHECKEDNORMAL : CBS_CHECKEDNORMAL, &box,
                            nullptr);
      } else {
        DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (i == 0 ? 0 : DFCS_CHECKED));
      }
    }
    if (theme != nullptr) CloseThemeData(theme);
  }
  ImageList_Add(images, strip.Get(), nullptr);
  return images;
}

}  // namespace

void CheckList::Attach(HWND list, int rowHeight) {
  list_ = list;
  ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  // The built-in check boxes are 16 pixels high and would make the rows taller.
  // The list view frees its state images when it is destroyed.
  HIMAGELIST checkImages = CreateCheckImages(list, rowHeight);
  if (checkImages != nullptr) {
    HIMAGELIST builtIn = ListView_SetImageList(list, checkImages, LVSIL_STATE);
    if (builtIn != nullptr) ImageList_Destroy(builtIn);
  }
  RECT client{};
  GetClientRect(list, &client);
  LVCOLUMNW column{};
  column.mask = LVCF_WIDTH;
  column.cx = client.right - client.left;
  SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
}

void CheckList::AddRow(const char* caption) {
  std::wstring text = Utf8ToWide(caption);
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_STATE;
  item.iItem = Count();
  item.pszText = text.data();
  // The first row takes the keyboard focus mark, so Space works at once.
  item.state = INDEXTOSTATEIMAGEMASK(1) | (item.iItem == 0 ? LVIS_FOCUSED : 0);
  item.stateMask = LVIS_STATEIMAGEMASK | LVIS_FOCUSED;
  settingFromCode_ = true;
  SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  settingFromCode_ = false;
}

void CheckList::SetCaption(int row, const char* caption) {
  std::wstring text = Utf8ToWide(caption);
  LVITEMW item{};
  item.pszText = text.data();
  SendMessageW(list_, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

int CheckList::Count() const { return static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)); }

bool CheckList::Checked(int row) const {
  const auto state = static_cast<UINT>(SendMessageW(list_, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
  return (state & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
}

void CheckList::SetChecked(int row, bool checked) {
  LVITEMW item{};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
  settingFromCode_ = true;
  SendMessageW(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  settingFromCode_ = false;
}

bool CheckList::Selected(int row) const {
  return (SendMessageW(list_, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

bool CheckList::IsUserCheckChange(const NMLISTVIEW& change) const {
  if (settingFromCode_ || change.hdr.hwndFrom != list_ || change.iItem < 0) return false;
  if ((change.uChanged & LVIF_STATE) == 0) return false;
  const UINT oldImage = change.uOldState & LVIS_STATEIMAGEMASK;
  const UINT newImage = change.uNewState & LVIS_STATEIMAGEMASK;
  // Image 0 is a row that is still being inserted.
  return oldImage != newImage && oldImage != 0 && newImage != 0;
}
