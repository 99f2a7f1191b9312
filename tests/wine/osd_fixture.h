// The OSD's own functions, linked in: settings at their defaults and the OSD
// created for each test, destroyed after it.
#pragma once

#include <gtest/gtest.h>

#include "plugin/osd/osd_window.h"
#include "plugin/plugin_state.h"

class OsdFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    gSettings = klv::Settings{};
    PrepareOsd();
  }
  void TearDown() override {
    ReleaseOsd();
    gSettings = klv::Settings{};
  }
};
