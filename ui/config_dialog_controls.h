// The configuration form's controls: their ids, the table that places them and
// the settings the OSD's option boxes stand for.
#pragma once

#include <cstddef>
#include <utility>

#include "core/settings/settings.h"
#include "ui/form_layout.h"

namespace form1 {
enum ControlId : int {
  kButton1 = 101,  // "Exit"
  kGroupBox1,      // transparency, active
  kLabel1,
  kLabel2,
  kLabel3,
  kTrackBar1,  // tags 1..3: main, playlist, equalizer, active levels
  kTrackBar2,
  kTrackBar3,
  kGroupBox2,  // transparency, inactive
  kLabel4,
  kLabel5,
  kLabel6,
  kTrackBar4,  // tags 4..6: the inactive levels
  kTrackBar5,
  kTrackBar6,
  kCheckListBox1,
  kGroupBox4,  // hot keys
  kGroupBox3,  // OSD
  kRadioGroup1,
  kRadioItem0,  // items 0..8 follow: column = i div 3, row = i mod 3
  kRadioItem8 = kRadioItem0 + 8,
  kGroupBox5,
  kEdit1,
  kLabel8,
  kButton2,    // "Select Color"
  kButton3,    // "Select Font"
  kGroupBox6,  // About
  kImage1,     // word mark
  kImage2,     // icon
  kLabel7,     // "Version:"
  kLabel9,     // version number
  kLabel10,    // credit lines
  kLabel11,
  kCheckBox1,   // remember position
  kCheckBox2,   // play on start
  kCheckBox3,   // active transparency on/off
  kCheckBox4,   // inactive transparency on/off
  kCheckBox5,   // OSD on/off
  kCheckBox6,   // hotkeys on/off
  kLabel12,     // web address
  kLabel13,     // "Show on"
  kComboBox1,   // the OSD's monitor
  kCheckBox7,   // no OSD over full-screen programs
  kCheckBox8,   // the OSD at every track start
  kCheckBox9,   // the volume actions show the level
  kCheckBox10,  // the playing track's cover beside the OSD's text
  kLabel14,     // shown while a modern skin sets the windows' opacity itself
};
constexpr wchar_t kClassName[] = L"TForm1";

// The OSD's option boxes, each showing one flag of the settings and setting it at once.
constexpr std::pair<int, bool klv::Settings::*> kOsdOptionBoxes[] = {
    {kCheckBox7, &klv::Settings::osdHideFullScreen},
    {kCheckBox8, &klv::Settings::osdOnTrackChange},
    {kCheckBox9, &klv::Settings::osdShowVolume},
    {kCheckBox10, &klv::Settings::osdShowArt}};

// The form as it reads, in one table: ControlCount() rows.
extern const ControlRow kControls[];
size_t ControlCount();
}  // namespace form1
