// Builds a form's controls from one table that reads like the form: kind, id,
// container, place, size, caption, hint and tab order.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "win32/win_handles.h"

enum class ControlKind {
  kGroupBox,
  kCheckBox,
  kRadioButton,
  kPushButton,
  kEdit,
  kComboBox,      // drop-down list with an editable text field
  kDropDownList,  // drop-down list without one
  kLabel,         // sized to its text when width is 0
  kSlider,
  kCheckList,  // one check mark per row
  kPicture,
};

constexpr int kNoTabStop = -1;  // labels, pictures and group boxes take no focus
constexpr unsigned kStartDisabled = 1;

struct ControlRow {
  ControlKind kind;
  int id;
  int parent;               // id of the containing group box, 0 for the form itself
  int x, y, width, height;  // pixels at 96 DPI, relative to the container
  const char* caption;
  const char* hint;  // nullptr: the container's hint, if any
  int tabOrder;      // within the container
  unsigned flags = 0;
  // A check box that stands on this group box's caption, in the blanks that
  // open the caption; its place above is what that gives at 96 DPI.
  int onCaptionOf = 0;
};

// The controls of one form. Group boxes are plain siblings of what they hold,
// so positions are made absolute and the enabled state of a group is passed
// down to the controls inside it.
class FormLayout {
 public:
  FormLayout() = default;
  FormLayout(const FormLayout&) = delete;
  FormLayout& operator=(const FormLayout&) = delete;

  // Creates every control of the table on form, in tab order, with the form
  // font and the hints as tooltips.
  void Build(HWND form, const ControlRow* rows, size_t count);

  HWND Control(int id) const;
  int IdOf(HWND control) const;  // 0 when not one of ours
  SIZE Size(int id) const;       // the control's size as the table places it, in form pixels
  // Fills a drop-down's list, rows 13 pixels high at 96 DPI, and lets the
  // list open wide enough to show every item whole.
  void FillDropDown(int id, const std::vector<std::wstring>& items);
  // Enables or disables a control; for a group box also everything inside it
  // (a control is usable only when each enclosing group is enabled).
  void SetEnabled(int id, bool enabled);

  int Scale(int pixels) const { return MulDiv(pixels, dpi_, 96); }
  int TextWidth(const std::wstring& text) const;  // in the form font
  HFONT Font() const { return font_.Get(); }

 private:
  struct Entry {
    const ControlRow* row;
    HWND window;
    bool enabled;
  };
  const Entry* Find(int id) const;
  POINT Origin(int parent) const;  // the container's top-left in form pixels at 96 DPI
  bool ContainerEnabled(int parent) const;
  const char* EffectiveHint(const ControlRow& row) const;
  void ApplyEnabled(int parent);
  void AddTooltip(const Entry& entry);
  RECT ControlRect(const ControlRow& row) const;  // in form pixels
  RECT CaptionBoxRect(const ControlRow& row, const ControlRow& group) const;
  int TextHeight() const;  // a line of the form font

  HWND form_ = nullptr;
  int dpi_ = 96;
  UniqueFont font_;
  HWND tooltip_ = nullptr;  // owned by the form, destroyed with it
  std::vector<const ControlRow*> rows_;
  std::vector<Entry> entries_;  // in creation (tab) order
};

int SystemDpi();
int ScaleForDpi(int pixels);
// "MS Sans Serif", 8 points (height -11 at 96 DPI), scaled to the system DPI.
HFONT CreateFormFont();
// The outer rectangle of a form whose client area is clientWidth x clientHeight
// at 96 DPI (scaled), with its top-left corner at (x, y) on the screen.
RECT FormWindowRect(int x, int y, int clientWidth, int clientHeight, DWORD style, DWORD exStyle);

// The tables' captions and hints, for the wide window functions.
std::wstring Widen(const char* text);
// A control's text, read whole.
std::wstring WindowText(HWND window);
// Numbers and key names are ASCII: any other character reads as '?', which
// neither accepts.
std::string ToAscii(const std::wstring& text);
