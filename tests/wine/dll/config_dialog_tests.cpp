// The configuration dialog through the real DLL.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/host_codes.h"
#include "testkit/test_host.h"
#include "testkit/test_kit.h"
#include "ui/config_dialog_ids.h"

namespace {

using ConfigThroughTheDll = DllTest;

// Through the real DLL: the host's config entry opens the dialog with its pictures.
TEST_F(ConfigThroughTheDll, ShowsThePicturesAndClosesAtQuit) {
  MessageBoxWatcher boxes;
  TestHost host;
  LoadedPlugin plugin(host.main);
  ASSERT_EQ(plugin.Init(), 0);
  plugin.Config();
  FlushPostedMessages();
  HWND dialog = FindWindowW(form1::kClassName, nullptr);
  ASSERT_NE(dialog, nullptr);
  for (int id : {form1::kLogoPicture, form1::kIconPicture}) {
    auto bitmap =
        reinterpret_cast<HBITMAP>(SendMessageA(GetDlgItem(dialog, id), STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(bitmap, nullptr) << "picture " << id;
    BITMAP info{};
    GetObjectA(bitmap, sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, id == form1::kLogoPicture ? 120 : 52);
    EXPECT_EQ(info.bmHeight, id == form1::kLogoPicture ? 40 : 41);
  }
  // The DLL's manifest brings Common Controls 6, which alone answer BCM_GETIDEALSIZE.
  SIZE ideal{};
  EXPECT_TRUE(SendMessageA(GetDlgItem(dialog, form1::kExitButton), BCM_GETIDEALSIZE, 0,
                           reinterpret_cast<LPARAM>(&ideal)));
  plugin.Config();  // a second call brings the same dialog forward
  FlushPostedMessages();
  EXPECT_EQ(FindWindowW(form1::kClassName, nullptr), dialog);
  plugin.Quit();
  FlushPostedMessages();
  EXPECT_FALSE(IsWindow(dialog));
  plugin.Unload();
  EXPECT_TRUE(boxes.Seen().empty());
}

}  // namespace
