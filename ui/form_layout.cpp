#include "ui/form_layout.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "win32/text_encoding.h"

namespace {

struct WindowClassOf {
  const wchar_t* className;
  DWORD style;
  DWORD exStyle;
  bool focusable;
};

WindowClassOf ClassFor(ControlKind kind) {
  switch (kind) {
    case ControlKind::kGroupBox:
      return {L"BUTTON", BS_GROUPBOX, 0, false};
    case ControlKind::kCheckBox:
      return {L"BUTTON", BS_AUTOCHECKBOX, 0, true};
    case ControlKind::kRadioButton:
      return {L"BUTTON", BS_AUTORADIOBUTTON, 0, true};
    case ControlKind::kPushButton:
      return {L"BUTTON", BS_PUSHBUTTON, 0, true};
    case ControlKind::kEdit:
      return {L"EDIT", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, true};
    case ControlKind::kComboBox:
      return {L"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL, 0, true};
    case ControlKind::kDropDownList:
      return {L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, 0, true};
    case ControlKind::kLabel:
      return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0, false};
    case ControlKind::kSlider:
      return {TRACKBAR_CLASSW, TBS_HORZ | TBS_AUTOTICKS | TBS_BOTTOM | TBS_FIXEDLENGTH, 0, true};
    case ControlKind::kCheckList:
      return {WC_LISTVIEWW,
              LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
              WS_EX_CLIENTEDGE, true};
    case ControlKind::kPicture:
      return {L"STATIC", SS_BITMAP, 0, false};
  }
  return {L"STATIC", 0, 0, false};
}

// Hit tests pass through these, so their hints hang on the form as rectangles.
bool IsTransparentToMouse(ControlKind kind) {
  return kind == ControlKind::kGroupBox || kind == ControlKind::kLabel || kind == ControlKind::kPicture;
}

// Arrow keys move within a run of radio items, entered by Tab at its first
// item; every other control is a group of its own.
DWORD ControlStyle(const ControlRow& row, const WindowClassOf& cls, bool firstRadio) {
  DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | cls.style;
  const bool startsGroup = row.kind != ControlKind::kRadioButton || firstRadio;
  if (startsGroup) style |= WS_GROUP;
  if (cls.focusable && row.tabOrder != kNoTabStop && startsGroup) style |= WS_TABSTOP;
  return style;
}

// A form is not a system dialog, so nothing else gives the focused push button
// the default style that IsDialogMessage looks for: Enter clicks the button
// that has the focus, and no other.
LRESULT CALLBACK PushButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR) noexcept {
  switch (message) {
    case WM_SETFOCUS:
      SendMessageW(button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
      break;
    case WM_KILLFOCUS:
      SendMessageW(button, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(button, PushButtonProc, 0);
      break;
    default:
      break;
  }
  return DefSubclassProc(button, message, wParam, lParam);
}

// Depth first: each container's controls by tab order, and a group's
// contents right after the group.
void AppendInTabOrder(const std::vector<const ControlRow*>& rows, int parent,
                      std::vector<const ControlRow*>& out) {
  std::vector<const ControlRow*> children;
  for (const ControlRow* row : rows)
    if (row->parent == parent) children.push_back(row);
  // kNoTabStop (-1) sorts first: labels and pictures then lie above the
  // controls they stand beside, and tab order is about focusable controls only.
  std::stable_sort(children.begin(), children.end(),
                   [](const ControlRow* a, const ControlRow* b) { return a->tabOrder < b->tabOrder; });
  for (const ControlRow* child : children) {
    out.push_back(child);
    if (child->kind == ControlKind::kGroupBox) AppendInTabOrder(rows, child->id, out);
  }
}

}  // namespace

int SystemDpi() {
  WindowDc screen(nullptr);
  const int dpi = screen.Get() != nullptr ? GetDeviceCaps(screen.Get(), LOGPIXELSX) : 96;
  return dpi > 0 ? dpi : 96;
}

int ScaleForDpi(int pixels) { return MulDiv(pixels, SystemDpi(), 96); }

HFONT CreateFormFont() {
  return CreateFontW(-ScaleForDpi(11), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                     L"MS Sans Serif");
}

RECT FormWindowRect(int x, int y, int clientWidth, int clientHeight, DWORD style, DWORD exStyle) {
  RECT rect{0, 0, ScaleForDpi(clientWidth), ScaleForDpi(clientHeight)};
  AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  OffsetRect(&rect, x - rect.left, y - rect.top);
  return rect;
}

std::wstring Widen(const char* text) { return Utf8ToWide(text != nullptr ? text : ""); }

std::wstring WindowText(HWND window) {
  std::vector<wchar_t> buffer(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  GetWindowTextW(window, buffer.data(), static_cast<int>(buffer.size()));
  return ReadBoundedWide(buffer.data(), buffer.size() - 1);
}

std::string ToAscii(const std::wstring& text) {
  std::string ascii;
  for (wchar_t c : text) ascii.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return ascii;
}

void FormLayout::Build(HWND form, const ControlRow* rows, size_t count) {
  form_ = form;
  dpi_ = SystemDpi();
  font_.Reset(CreateFormFont());
  rows_.clear();
  for (size_t i = 0; i < count; ++i) rows_.push_back(&rows[i]);
  std::vector<const ControlRow*> order;
  AppendInTabOrder(rows_, 0, order);

  const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(form, GWLP_HINSTANCE));
  entries_.clear();
  entries_.reserve(order.size());
  const ControlRow* previous = nullptr;
  for (const ControlRow* row : order) {
    const WindowClassOf cls = ClassFor(row->kind);
    const bool enabled = (row->flags & kStartDisabled) == 0;
    const bool firstRadio = row->kind == ControlKind::kRadioButton &&
                            (previous == nullptr || previous->kind != ControlKind::kRadioButton);
    DWORD style = ControlStyle(*row, cls, firstRadio);
    if (!enabled || !ContainerEnabled(row->parent)) style |= WS_DISABLED;
    const RECT place = ControlRect(*row);
    const std::wstring caption = Widen(row->kind == ControlKind::kPicture ? "" : row->caption);
    HWND window = CreateWindowExW(cls.exStyle, cls.className, caption.c_str(), style, place.left, place.top,
                                  place.right - place.left, place.bottom - place.top, form,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(row->id)), instance, nullptr);
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    if (row->kind == ControlKind::kPushButton) SetWindowSubclass(window, PushButtonProc, 0, 0);
    entries_.push_back({row, window, enabled});
    previous = row;
  }

  // Group boxes paint below what they hold; inner groups above outer ones.
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
    if (it->row->kind == ControlKind::kGroupBox)
      SetWindowPos(it->window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }

  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form, nullptr,
                             instance, nullptr);
  if (tooltip_ != nullptr) {
    // Inner controls first: the tooltip takes the first rectangle that holds the mouse.
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) AddTooltip(*it);
  }
}

void FormLayout::AddTooltip(const Entry& entry) {
  const char* hint = EffectiveHint(*entry.row);
  if (hint == nullptr || *hint == '\0') return;
  std::wstring text = Widen(hint);  // the tooltip keeps a copy
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_SUBCLASS;
  tool.hwnd = form_;
  tool.lpszText = text.data();
  // The mouse over a disabled control moves over the form, so every hint also
  // hangs on the form as the control's rectangle.
  tool.uId = static_cast<UINT_PTR>(entry.row->id);
  GetWindowRect(entry.window, &tool.rect);
  MapWindowPoints(nullptr, form_, reinterpret_cast<POINT*>(&tool.rect), 2);
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  if (IsTransparentToMouse(entry.row->kind)) return;
  tool.uFlags |= TTF_IDISHWND;
  tool.uId = reinterpret_cast<UINT_PTR>(entry.window);
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

RECT FormLayout::ControlRect(const ControlRow& row) const {
  if (row.onCaptionOf != 0) {
    for (const ControlRow* group : rows_)
      if (group->id == row.onCaptionOf) return CaptionBoxRect(row, *group);
  }
  const POINT origin = Origin(row.parent);
  const int left = origin.x + row.x;
  const int top = origin.y + row.y;
  // Edges are scaled, not sizes: controls that touch at 96 DPI still touch,
  // and never overlap by a rounded pixel, at any other.
  RECT rect{Scale(left), Scale(top), Scale(left + row.width), Scale(top + row.height)};
  if (row.kind == ControlKind::kLabel && row.width == 0) {
    rect.right = rect.left + TextWidth(Widen(row.caption));
    rect.bottom = rect.top + TextHeight();
  }
  if (row.kind == ControlKind::kComboBox || row.kind == ControlKind::kDropDownList)
    rect.bottom += Scale(13) * 12;  // room for the drop-down
  if (row.kind == ControlKind::kCheckBox && row.caption != nullptr && *row.caption != '\0') {
    // Where the system's substitute for the form font runs wider, the box
    // grows to keep its caption whole.
    rect.right = std::max<LONG>(rect.right, rect.left + TextWidth(Widen(row.caption)) + Scale(20));
  }
  return rect;
}

RECT FormLayout::CaptionBoxRect(const ControlRow& row, const ControlRow& group) const {
  // The group box draws its caption this many pixels in from its left edge, at any DPI.
  constexpr int kCaptionIndent = 8;
  const RECT frame = ControlRect(group);
  const std::wstring caption = Widen(group.caption);
  const int blanks = TextWidth(caption.substr(0, caption.find_first_not_of(' ')));
  // Room for the system's check mark, which may outgrow the scaled size.
  const int width = std::max(Scale(row.width), GetSystemMetrics(SM_CXMENUCHECK));
  const int height = std::max(TextHeight(), GetSystemMetrics(SM_CYMENUCHECK));
  // Centred in the blanks: the glyph grows with the DPI, the indent does not.
  const int left = frame.left + kCaptionIndent + (blanks - width + 1) / 2;
  // From the caption's top, so the box lies within the group's rectangle.
  return RECT{left, frame.top, left + width, frame.top + height};
}

int FormLayout::TextWidth(const std::wstring& text) const {
  WindowDc dc(form_);
  SelectedObject selected(dc.Get(), font_.Get());
  SIZE extent{};
  GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &extent);
  return extent.cx;
}

int FormLayout::TextHeight() const {
  WindowDc dc(form_);
  SelectedObject selected(dc.Get(), font_.Get());
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc.Get(), &metrics);
  return metrics.tmHeight;
}

const FormLayout::Entry* FormLayout::Find(int id) const {
  for (const Entry& entry : entries_)
    if (entry.row->id == id) return &entry;
  return nullptr;
}

HWND FormLayout::Control(int id) const {
  const Entry* entry = Find(id);
  return entry != nullptr ? entry->window : nullptr;
}

SIZE FormLayout::Size(int id) const {
  const Entry* entry = Find(id);
  if (entry == nullptr) return SIZE{0, 0};
  const RECT rect = ControlRect(*entry->row);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

int FormLayout::IdOf(HWND control) const {
  for (const Entry& entry : entries_)
    if (entry.window == control) return entry.row->id;
  return 0;
}

POINT FormLayout::Origin(int parent) const {
  POINT origin{0, 0};
  while (parent != 0) {
    const ControlRow* container = nullptr;
    for (const ControlRow* row : rows_)
      if (row->id == parent) container = row;
    if (container == nullptr) break;
    origin.x += container->x;
    origin.y += container->y;
    parent = container->parent;
  }
  return origin;
}

bool FormLayout::ContainerEnabled(int parent) const {
  while (parent != 0) {
    const Entry* container = Find(parent);
    if (container == nullptr) break;
    if (!container->enabled) return false;
    parent = container->row->parent;
  }
  return true;
}

const char* FormLayout::EffectiveHint(const ControlRow& row) const {
  if (row.hint != nullptr) return row.hint;
  int parent = row.parent;
  while (parent != 0) {
    const Entry* container = Find(parent);
    if (container == nullptr) break;
    if (container->row->hint != nullptr) return container->row->hint;
    parent = container->row->parent;
  }
  return nullptr;
}

void FormLayout::FillDropDown(int id, const std::vector<std::wstring>& items) {
  HWND box = Control(id);
  int widest = 0;
  for (const std::wstring& item : items) {
    SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    widest = std::max(widest, TextWidth(item));
  }
  SendMessageW(box, CB_SETDROPPEDWIDTH, widest + GetSystemMetrics(SM_CXVSCROLL) + Scale(8), 0);
  SendMessageW(box, CB_SETITEMHEIGHT, 0, Scale(13));
}

void FormLayout::SetEnabled(int id, bool enabled) {
  for (Entry& entry : entries_) {
    if (entry.row->id != id) continue;
    entry.enabled = enabled;
    EnableWindow(entry.window, enabled && ContainerEnabled(entry.row->parent));
    if (entry.row->kind == ControlKind::kGroupBox) ApplyEnabled(id);
  }
}

void FormLayout::ApplyEnabled(int parent) {
  for (const Entry& entry : entries_) {
    if (entry.row->parent != parent) continue;
    EnableWindow(entry.window, entry.enabled && ContainerEnabled(parent));
    if (entry.row->kind == ControlKind::kGroupBox) ApplyEnabled(entry.row->id);
  }
}
