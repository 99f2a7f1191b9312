#include "ui/config_dialog_controls.h"

#include <iterator>

#include "core/version.h"

namespace form1 {

using K = ControlKind;

constexpr const char* kHotKeysHint = "Hot keys";
constexpr const char* kPositionHint = "Position of screen tips";
constexpr const char* kTimeHint = "Screen tips displaying time";
constexpr const char* kColorHint = "Color selection for screen tips";
constexpr const char* kFontHint = "Font selection for screen tips";
constexpr const char* kPlayOnStartHint = "Automatic start playback on Winamp start";
constexpr const char* kRememberHint = "Remember playback position of the track on Winamp close";
constexpr const char* kActiveHint = "Active windows transparency level";
constexpr const char* kInactiveHint = "Inactive windows transparency level";

// The form as it reads: place and size at 96 DPI relative to the container
// (parent 0 is the form), tab order within the container. The hot keys list
// is tall enough for all eighteen rows without scrolling;
// the OSD group is wide enough for its monitor list on one row with its label,
// and its now-playing, volume and album art boxes stand in the right-hand
// column, above the playback boxes.
// clang-format off
const ControlRow kControls[] = {
    // kind             id               parent        x    y    w    h    caption                             hint              tab        flags           on caption of
    // hot keys
    {K::kGroupBox,      kGroupBox4,      0,            8,   8,   201, 294, "       Hot Keys ",                 kHotKeysHint,     4,         kStartDisabled},
    {K::kCheckBox,      kCheckBox6,      0,            20,  6,   14,  17,  "",                                 nullptr,          12,        0,              kGroupBox4},
    {K::kCheckList,     kCheckListBox1,  0,            16,  25,  185, 267, "",                                 kHotKeysHint,     3},
    // on-screen display
    {K::kGroupBox,      kGroupBox3,      0,            216, 8,   408, 166, "       OSD ",                      nullptr,          5},
    {K::kCheckBox,      kCheckBox5,      0,            228, 6,   14,  17,  "",                                 nullptr,          11,        0,              kGroupBox3},
    {K::kGroupBox,      kRadioGroup1,    kGroupBox3,   8,   16,  65,  65,  " Position ",                       kPositionHint,    0},
    {K::kRadioButton,   kRadioItem0 + 0, kRadioGroup1, 8,   15,  18,  15,  "",                                 nullptr,          0},
    {K::kRadioButton,   kRadioItem0 + 1, kRadioGroup1, 8,   30,  18,  15,  "",                                 nullptr,          1},
    {K::kRadioButton,   kRadioItem0 + 2, kRadioGroup1, 8,   45,  18,  15,  "",                                 nullptr,          2},
    {K::kRadioButton,   kRadioItem0 + 3, kRadioGroup1, 26,  15,  18,  15,  "",                                 nullptr,          3},
    {K::kRadioButton,   kRadioItem0 + 4, kRadioGroup1, 26,  30,  18,  15,  "",                                 nullptr,          4},
    {K::kRadioButton,   kRadioItem0 + 5, kRadioGroup1, 26,  45,  18,  15,  "",                                 nullptr,          5},
    {K::kRadioButton,   kRadioItem0 + 6, kRadioGroup1, 44,  15,  18,  15,  "",                                 nullptr,          6},
    {K::kRadioButton,   kRadioItem0 + 7, kRadioGroup1, 44,  30,  18,  15,  "",                                 nullptr,          7},
    {K::kRadioButton,   kRadioItem0 + 8, kRadioGroup1, 44,  45,  18,  15,  "",                                 nullptr,          8},
    {K::kGroupBox,      kGroupBox5,      kGroupBox3,   80,  16,  113, 45,  " DisplayingTime ",                 kTimeHint,        1},
    {K::kEdit,          kEdit1,          kGroupBox5,   8,   16,  49,  21,  "1000",                             nullptr,          0},
    {K::kLabel,         kLabel8,         kGroupBox5,   67,  18,  0,   0,   "ms",                               nullptr,          kNoTabStop},
    {K::kPushButton,    kButton2,        kGroupBox3,   8,   88,  88,  25,  "Select Color",                     kColorHint,       2},
    {K::kPushButton,    kButton3,        kGroupBox3,   105, 88,  88,  25,  "Select Font",                      kFontHint,        3},
    {K::kLabel,         kLabel13,        kGroupBox3,   8,   122, 0,   0,   "Show on",                          nullptr,          kNoTabStop},
    {K::kDropDownList,  kComboBox1,      kGroupBox3,   56,  118, 166, 21,  "",                                 nullptr,          4},
    {K::kCheckBox,      kCheckBox7,      kGroupBox3,   8,   144, 214, 17,  "Not over full-screen programs",    nullptr,          5},
    {K::kCheckBox,      kCheckBox8,      kGroupBox3,   237, 16,  163, 17,  "Show on track change",             nullptr,          6},
    {K::kCheckBox,      kCheckBox9,      kGroupBox3,   237, 40,  163, 17,  "Show volume level",                nullptr,          7},
    {K::kCheckBox,      kCheckBox10,     kGroupBox3,   237, 64,  163, 17,  "Show album art",                   nullptr,          8},
    // about
    {K::kGroupBox,      kGroupBox6,      0,            216, 181, 230, 121, " About ",                          nullptr,          6},
    {K::kPicture,       kImage2,         kGroupBox6,   11,  16,  52,  41,  "",                                 nullptr,          kNoTabStop},
    {K::kPicture,       kImage1,         kGroupBox6,   72,  16,  120, 40,  "",                                 nullptr,          kNoTabStop},
    {K::kLabel,         kLabel7,         kGroupBox6,   11,  68,  0,   0,   "Version:",                         nullptr,          kNoTabStop},
    {K::kLabel,         kLabel9,         kGroupBox6,   72,  68,  0,   0,   KLV_VERSION_TEXT,                   nullptr,          kNoTabStop},
    {K::kLabel,         kLabel10,        kGroupBox6,   11,  88,  0,   0,   "Written by the Kelvo-plugin team", nullptr,          kNoTabStop},
    {K::kLabel,         kLabel11,        kGroupBox6,   11,  104, 0,   0,   "Free to use, share and improve",   nullptr,          kNoTabStop},
    // playback; the first box 24 high, not 25, so that it ends where the second begins
    {K::kCheckBox,      kCheckBox2,      0,            453, 189, 169, 24,  "Start playing on WinAMP start",    kPlayOnStartHint, 8},
    {K::kCheckBox,      kCheckBox1,      0,            453, 213, 161, 25,  "Remember last track position",     kRememberHint,    7},
    // transparency
    {K::kGroupBox,      kGroupBox1,      0,            8,   309, 304, 121, "       Transparency  Active  ",    kActiveHint,      1,         kStartDisabled},
    {K::kCheckBox,      kCheckBox3,      0,            20,  307, 14,  17,  "",                                 nullptr,          9,         0,              kGroupBox1},
    {K::kLabel,         kLabel1,         kGroupBox1,   8,   24,  0,   0,   "WinAMP",                           nullptr,          kNoTabStop},
    {K::kLabel,         kLabel2,         kGroupBox1,   8,   56,  0,   0,   "Playlist",                         nullptr,          kNoTabStop},
    {K::kLabel,         kLabel3,         kGroupBox1,   8,   88,  0,   0,   "Equalizer",                        nullptr,          kNoTabStop},
    {K::kSlider,        kTrackBar1,      kGroupBox1,   56,  24,  241, 25,  "",                                 nullptr,          0},
    {K::kSlider,        kTrackBar2,      kGroupBox1,   56,  56,  241, 25,  "",                                 nullptr,          1},
    {K::kSlider,        kTrackBar3,      kGroupBox1,   56,  88,  241, 25,  "",                                 nullptr,          2},
    {K::kGroupBox,      kGroupBox2,      0,            320, 309, 304, 121, "       Transparency Inactive   ",  kInactiveHint,    2,         kStartDisabled},
    {K::kCheckBox,      kCheckBox4,      0,            332, 307, 14,  17,  "",                                 nullptr,          10,        0,              kGroupBox2},
    {K::kLabel,         kLabel4,         kGroupBox2,   8,   24,  0,   0,   "WinAMP",                           nullptr,          kNoTabStop},
    {K::kLabel,         kLabel5,         kGroupBox2,   8,   56,  0,   0,   "Playlist",                         nullptr,          kNoTabStop},
    {K::kLabel,         kLabel6,         kGroupBox2,   8,   88,  0,   0,   "Equalizer",                        nullptr,          kNoTabStop},
    {K::kSlider,        kTrackBar4,      kGroupBox2,   56,  24,  241, 25,  "",                                 nullptr,          0},
    {K::kSlider,        kTrackBar5,      kGroupBox2,   56,  56,  241, 25,  "",                                 nullptr,          1},
    {K::kSlider,        kTrackBar6,      kGroupBox2,   56,  88,  241, 25,  "",                                 nullptr,          2},
    // bottom line
    {K::kPushButton,    kButton1,        0,            8,   450, 75,  25,  "Exit",                             nullptr,          0},
    {K::kLabel,         kLabel12,        0,            392, 447, 0,   0,   "https://kelvo.example.org",        nullptr,          kNoTabStop},
    {K::kLabel,         kLabel14,        0,            96,  456, 0,   0,   "The current skin sets its own opacity.", nullptr,    kNoTabStop},
};
// clang-format on

size_t ControlCount() { return std::size(kControls); }

}  // namespace form1
