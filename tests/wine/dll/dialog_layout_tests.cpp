// Both dialogs and the OSD at the screen's DPI: every control's text whole in
// its control, measured in the control's own font; no control over another
// unless one holds the other; the About pictures in proportion; the OSD's font
// at its point size. The suite runs at the prefix's 96 DPI and then, through
// a child process, at 144 DPI.
// clang-format off
#include <windows.h>  // before the other Windows headers
// clang-format on
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "testkit/test_host.h"
#include "testkit/test_kit.h"
#include "tests/wine/dll/dialog_driver.h"
#include "ui/assign_dialog_ids.h"
#include "ui/config_dialog_ids.h"

namespace {

using namespace dialog_kit;

constexpr char kExpectedDpiVariable[] = "KLV_EXPECTED_DPI";

// The DPI this run is meant to see: the prefix's 96 unless the parent run asked for another.
int ExpectedDpi() {
  const std::string value = EnvPath(kExpectedDpiVariable);
  return value.empty() ? 96 : std::atoi(value.c_str());
}

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof(name));
  return name;
}

RECT RectIn(HWND form, HWND control) {
  RECT rect = WindowRect(control);
  MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::string Describe(HWND control) {
  return ClassOf(control) + " " + std::to_string(GetDlgCtrlID(control)) + " \"" + WindowTextOf(control) +
         "\"";
}

// The text's extent in the font the control paints with.
SIZE TextExtent(HWND control, const std::string& text) {
  auto font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, font != nullptr ? font : GetStockObject(SYSTEM_FONT));
  SIZE extent{};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  extent.cy = metrics.tmHeight;
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return extent;
}

// What a caption needs beside its text: the frame of a push button, the glyph
// of a check box or radio item and the gap after it, the indent of a group's caption.
struct Need {
  int width;
  int height;
};

Need NeedOfButton(HWND button, const SIZE& text) {
  const LONG type = GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK;
  const int edgeX = GetSystemMetrics(SM_CXEDGE);
  const int edgeY = GetSystemMetrics(SM_CYEDGE);
  switch (type) {
    case BS_GROUPBOX:
      return {text.cx + 2 * 8, text.cy};
    case BS_AUTOCHECKBOX:
    case BS_AUTORADIOBUTTON: {
      const int glyph = GetSystemMetrics(SM_CXMENUCHECK);
      return {text.cx > 0 ? glyph + 4 + text.cx : glyph, std::max<int>(glyph, text.cx > 0 ? text.cy : 0)};
    }
    default:
      return {text.cx + 4 * edgeX, text.cy + 2 * edgeY};
  }
}

// Every fault of the form's controls, described; empty when none.
std::vector<std::string> LayoutFaults(HWND form) {
  std::vector<HWND> controls;
  for (HWND child = GetWindow(form, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
    if (IsWindowVisible(child)) controls.push_back(child);

  std::vector<std::string> faults;
  auto fault = [&](HWND control, const std::string& what) {
    faults.push_back(Describe(control) + ": " + what);
  };
  RECT client{};
  GetClientRect(form, &client);

  for (HWND control : controls) {
    const RECT rect = RectIn(form, control);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    RECT inside{};
    if (!IntersectRect(&inside, &rect, &client) || !EqualRect(&inside, &rect))
      fault(control, "not inside the form");

    const std::string cls = ClassOf(control);
    const std::string text = WindowTextOf(control);
    if (cls == "Button") {
      const Need need = NeedOfButton(control, TextExtent(control, text));
      if (need.width > width || need.height > height)
        fault(control, "needs " + std::to_string(need.width) + " x " + std::to_string(need.height) +
                           ", has " + std::to_string(width) + " x " + std::to_string(height));
    } else if (cls == "Static" && (GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP) {
      const SIZE extent = TextExtent(control, text);
      if (extent.cx > width || extent.cy > height) fault(control, "text cut");
    } else if (cls == "Edit") {
      const SIZE extent = TextExtent(control, text);
      RECT area{};
      SendMessageA(control, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
      if (extent.cx > area.right - area.left || extent.cy > area.bottom - area.top)
        fault(control, "text cut");
    } else if (cls == "ComboBox") {
      COMBOBOXINFO info{};
      info.cbSize = sizeof(info);
      GetComboBoxInfo(control, &info);
      const int listWidth = static_cast<int>(SendMessageA(control, CB_GETDROPPEDWIDTH, 0, 0));
      // A list without a text field shows the picked item in its field.
      const bool listOnly = (GetWindowLongA(control, GWL_STYLE) & 3) == CBS_DROPDOWNLIST;
      const int count = static_cast<int>(SendMessageA(control, CB_GETCOUNT, 0, 0));
      for (int i = 0; i < count; ++i) {
        char item[256] = {};
        SendMessageA(control, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
        const SIZE extent = TextExtent(control, item);
        if (extent.cx + GetSystemMetrics(SM_CXVSCROLL) > listWidth)
          fault(control, std::string("list cuts ") + item);
        if (extent.cy > info.rcItem.bottom - info.rcItem.top) fault(control, "field lower than a line");
        if (listOnly && extent.cx > info.rcItem.right - info.rcItem.left)
          fault(control, std::string("field cuts ") + item);
      }
    } else if (cls == WC_LISTVIEWA) {
      RECT area{};
      GetClientRect(control, &area);
      const int count = static_cast<int>(SendMessageA(control, LVM_GETITEMCOUNT, 0, 0));
      for (int i = 0; i < count; ++i) {
        char item[256] = {};
        LVITEMA query{};
        query.pszText = item;
        query.cchTextMax = sizeof(item);
        SendMessageA(control, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(&query));
        RECT label{};
        label.left = LVIR_LABEL;
        SendMessageA(control, LVM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&label));
        if (TextExtent(control, item).cx > label.right - label.left)
          fault(control, std::string("row cut: ") + item);
        if (label.bottom > area.bottom) fault(control, std::string("row out of sight: ") + item);
      }
    }
  }

  for (size_t a = 0; a < controls.size(); ++a) {
    for (size_t b = a + 1; b < controls.size(); ++b) {
      const RECT first = RectIn(form, controls[a]);
      const RECT second = RectIn(form, controls[b]);
      RECT common{};
      if (!IntersectRect(&common, &first, &second)) continue;
      if (EqualRect(&common, &first) || EqualRect(&common, &second)) continue;  // one holds the other
      fault(controls[a], "overlaps " + Describe(controls[b]));
    }
  }
  return faults;
}

// The real DLL in a host, with hotkeys, the OSD and active transparency on and
// "Next" on Ctrl+Alt+P in a 14-point font; the configuration dialog open.
class DialogLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(ScreenDpi(), ExpectedDpi());
    ResetGlobalAtoms();
    install.WriteIni("[Hotkeys]\nEnable=1\nnext_hotkey=" + std::to_string(kCtrlAltP) +
                     "\n[OSD]\nEnable=1\nOSDFontSize=14\n[Transparency]\nEnableActive=1\n");
    plugin = std::make_unique<LoadedPlugin>(host.main);
    ASSERT_EQ(plugin->Init(), 0);
    dialog = plugin->OpenConfigDialog();
    ASSERT_NE(dialog, nullptr);
  }
  void TearDown() override {
    if (plugin) {
      plugin->Quit();
      plugin->Unload();
    }
    FlushPostedMessages();
    ResetGlobalAtoms();
  }

  MessageBoxWatcher boxes;
  TestInstall install;
  TestHost host;
  std::unique_ptr<LoadedPlugin> plugin;
  HWND dialog = nullptr;
};

// Again with the note a modern skin brings.
TEST_F(DialogLayoutTest, ConfigurationDialogShowsEveryTextWholeAndNothingOverlaps) {
  EXPECT_EQ(LayoutFaults(dialog), std::vector<std::string>());
  host.SwitchSkin(HostSkin::kModern);
  FlushPostedMessages();
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, form1::kOwnOpacityNote)));
  EXPECT_EQ(LayoutFaults(dialog), std::vector<std::string>());
}

TEST_F(DialogLayoutTest, AssignmentDialogShowsEveryTextWholeAndNothingOverlaps) {
  std::vector<std::string> faults = {"the dialog never opened"};
  AssignDialogDriver driver({[&](HWND form2) { faults = LayoutFaults(form2); }, CloseBox()});
  // A double click on the "Next" row, as the list reports it.
  HWND list = GetDlgItem(dialog, form1::kHotkeyList);
  ListView_SetItemState(list, kNext, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  NMITEMACTIVATE click{};
  click.hdr = {list, static_cast<UINT_PTR>(form1::kHotkeyList), static_cast<UINT>(NM_DBLCLK)};
  click.iItem = kNext;
  SendMessageA(dialog, WM_NOTIFY, form1::kHotkeyList, reinterpret_cast<LPARAM>(&click));
  EXPECT_EQ(driver.opened, 1);
  EXPECT_EQ(faults, std::vector<std::string>());
}

// The pictures' sizes at 96 DPI, grown by the DPI's share of 96 and kept in proportion.
TEST_F(DialogLayoutTest, AboutPicturesGrowWithTheDpiInProportion) {
  struct Expected {
    int dpi;
    double logoWidth, logoHeight, iconWidth, iconHeight;
  } const table[] = {
      {96, 120, 40, 52, 41},
      {144, 180, 60, 78, 61.5},
  };
  const Expected* expected = nullptr;
  for (const Expected& row : table)
    if (row.dpi == ExpectedDpi()) expected = &row;
  ASSERT_NE(expected, nullptr) << "no sizes written out for " << ExpectedDpi() << " DPI";

  struct Picture {
    int id;
    double width, height;
  } const pictures[] = {
      {form1::kLogoPicture, expected->logoWidth, expected->logoHeight},
      {form1::kIconPicture, expected->iconWidth, expected->iconHeight},
  };
  for (const Picture& picture : pictures) {
    SCOPED_TRACE(picture.id);
    HWND control = GetDlgItem(dialog, picture.id);
    auto bitmap = reinterpret_cast<HBITMAP>(SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(bitmap, nullptr);
    BITMAP info{};
    GetObjectA(bitmap, sizeof(info), &info);
    EXPECT_LE(std::abs(info.bmWidth - picture.width), 0.5) << info.bmWidth;
    EXPECT_LE(std::abs(info.bmHeight - picture.height), 0.5) << info.bmHeight;
    RECT client{};
    GetClientRect(control, &client);
    EXPECT_EQ(client.right, info.bmWidth);  // shown whole, not cut or stretched by the control
    EXPECT_EQ(client.bottom, info.bmHeight);
  }
}

// A point is 1/72 inch: 14 points are 18.67 pixels at 96 DPI and 28 at 144.
TEST_F(DialogLayoutTest, TheOsdFontKeepsItsPointSize) {
  struct Expected {
    int dpi;
    LONG height;
  } const table[] = {{96, -19}, {144, -28}};
  PressKeys(kCtrlAltP);
  HWND osd = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    osd = FindOsdWindow();
    return osd != nullptr && IsWindowVisible(osd);
  }));
  const auto font = reinterpret_cast<HFONT>(SendMessageA(osd, WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  LOGFONTA logFont{};
  GetObjectA(font, sizeof(logFont), &logFont);
  bool written = false;
  for (const Expected& row : table) {
    if (row.dpi != ExpectedDpi()) continue;
    written = true;
    EXPECT_EQ(logFont.lfHeight, row.height);
  }
  EXPECT_TRUE(written) << "no height written out for " << ExpectedDpi() << " DPI";
}

// HKCU\Control Panel\Desktop LogPixels, which Wine reads when a process
// starts, set for as long as the object lives and then put back as it was.
class ScopedLogPixels {
 public:
  explicit ScopedLogPixels(DWORD dpi) {
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_, nullptr) != ERROR_SUCCESS)
      return;
    DWORD type = 0;
    DWORD size = sizeof(previous_);
    hadValue_ = RegQueryValueExA(key_, kValue, nullptr, &type, reinterpret_cast<BYTE*>(&previous_), &size) ==
                    ERROR_SUCCESS &&
                type == REG_DWORD;
    set_ = RegSetValueExA(key_, kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof(dpi)) ==
           ERROR_SUCCESS;
  }
  ~ScopedLogPixels() {
    if (key_ == nullptr) return;
    if (hadValue_) {
      RegSetValueExA(key_, kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&previous_),
                     sizeof(previous_));
    } else {
      RegDeleteValueA(key_, kValue);
    }
    RegCloseKey(key_);
  }
  ScopedLogPixels(const ScopedLogPixels&) = delete;
  ScopedLogPixels& operator=(const ScopedLogPixels&) = delete;
  bool Set() const { return set_; }

 private:
  static constexpr char kValue[] = "LogPixels";
  HKEY key_ = nullptr;
  DWORD previous_ = 0;
  bool hadValue_ = false;
  bool set_ = false;
};

// Runs this suite's layout tests again in a child process started at 144 DPI;
// the prefix is back at its own DPI before the test ends.
TEST(AtOneHundredFortyFourDpi, TheLayoutTestsHoldAgain) {
  if (ExpectedDpi() != 96) GTEST_SKIP() << "already the child run";
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string command = std::string("\"") + exe + "\" --gtest_filter=DialogLayoutTest.*";
  DWORD exitCode = 1;
  {
    ScopedLogPixels dpi(144);
    ASSERT_TRUE(dpi.Set());
    SetEnvironmentVariableA(kExpectedDpiVariable, "144");
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                        &startup, &process);
    SetEnvironmentVariableA(kExpectedDpiVariable, nullptr);
    ASSERT_TRUE(started);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 300000), WAIT_OBJECT_0);
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  EXPECT_EQ(exitCode, 0u) << "the layout tests failed at 144 DPI (their output is above)";

  HKEY key = nullptr;
  DWORD value = 0;
  DWORD size = sizeof(value);
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
    const bool present = RegQueryValueExA(key, "LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                                          &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    EXPECT_FALSE(present && value == 144) << "the prefix was left at 144 DPI";
  }
}

}  // namespace
