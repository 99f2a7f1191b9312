// What the linked dialog suites share beside the dialog driver: a fixture with
// the configuration dialog's state reset.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/hotkeys/hotkey_actions.h"
#include "testkit/modal_script.h"
#include "testkit/test_host.h"
#include "tests/wine/dll/dialog_driver.h"

// Settings, hotkey table and settings file fresh for each test; the
// configuration dialog closed and every hotkey released after it.
class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  HWND Open();
  static HWND Item(int id);
  static void Click(int id);
  static HWND List();
  static bool RowMarked(int row);
  // What a click on the row's check box does to the list: the state changes
  // inside the list view and it notifies the dialog.
  static void UserMarksRow(int row, bool marked);
  static void MoveSlider(int id, int position);
  static void TypeInEdit1(const char* text);
  void Register(int n, klv::PackedHotkey packed);

  MessageBoxWatcher boxes;
  TestInstall install;
  TestHost host;
};
