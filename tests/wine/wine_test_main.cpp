// GoogleTest main for the Wine suites: common controls ready, no atoms of an
// earlier run left over.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "tests/wine/test_host.h"

int main(int argc, char** argv) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  ResetGlobalAtoms();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
