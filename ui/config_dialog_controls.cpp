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
constexpr const char* kSeekStepHint = "Seconds Forward and Rewind move; 5 is the player's own step";
constexpr const char* kVolumeStepHint = "Percent Volume Up and Down move; 0 is the player's own step";

// The form as it reads: place and size at 96 DPI relative to the container
// (parent 0 is the form), tab order within the container. The hot keys list
// is tall enough for all nineteen rows without scrolling;
// the OSD group is wide enough for its monitor list on one row with its label,
// and its now-playing, volume, album art and follow boxes stand in the
// right-hand column, above the playback boxes; the steps below those.
// clang-format off
const ControlRow kControls[] = {
    // kind            id                        parent             x    y    w    h    caption                                   hint              tab         flags           on caption of
    // hot keys
    {K::kGroupBox,     kHotkeysGroup,            0,                 8,   8,   201, 307, "       Hot Keys ",                       kHotKeysHint,     4,          kStartDisabled},
    {K::kCheckBox,     kHotkeysBox,              0,                 20,  6,   14,  17,  "",                                       nullptr,          12,         0,              kHotkeysGroup},
    {K::kCheckList,    kHotkeyList,              0,                 16,  25,  185, 280, "",                                       kHotKeysHint,     3},
    // on-screen display
    {K::kGroupBox,     kOsdGroup,                0,                 216, 8,   408, 166, "       OSD ",                            nullptr,          5},
    {K::kCheckBox,     kOsdBox,                  0,                 228, 6,   14,  17,  "",                                       nullptr,          11,         0,              kOsdGroup},
    {K::kGroupBox,     kOsdPositionGroup,        kOsdGroup,         8,   16,  65,  65,  " Position ",                             kPositionHint,    0},
    {K::kRadioButton,  kOsdPositionItem0 + 0,    kOsdPositionGroup, 8,   15,  18,  15,  "",                                       nullptr,          0},
    {K::kRadioButton,  kOsdPositionItem0 + 1,    kOsdPositionGroup, 8,   30,  18,  15,  "",                                       nullptr,          1},
    {K::kRadioButton,  kOsdPositionItem0 + 2,    kOsdPositionGroup, 8,   45,  18,  15,  "",                                       nullptr,          2},
    {K::kRadioButton,  kOsdPositionItem0 + 3,    kOsdPositionGroup, 26,  15,  18,  15,  "",                                       nullptr,          3},
    {K::kRadioButton,  kOsdPositionItem0 + 4,    kOsdPositionGroup, 26,  30,  18,  15,  "",                                       nullptr,          4},
    {K::kRadioButton,  kOsdPositionItem0 + 5,    kOsdPositionGroup, 26,  45,  18,  15,  "",                                       nullptr,          5},
    {K::kRadioButton,  kOsdPositionItem0 + 6,    kOsdPositionGroup, 44,  15,  18,  15,  "",                                       nullptr,          6},
    {K::kRadioButton,  kOsdPositionItem0 + 7,    kOsdPositionGroup, 44,  30,  18,  15,  "",                                       nullptr,          7},
    {K::kRadioButton,  kOsdPositionItem0 + 8,    kOsdPositionGroup, 44,  45,  18,  15,  "",                                       nullptr,          8},
    {K::kGroupBox,     kDisplayTimeGroup,        kOsdGroup,         80,  16,  113, 45,  " DisplayingTime ",                       kTimeHint,        1},
    {K::kEdit,         kDisplayTimeEdit,         kDisplayTimeGroup, 8,   16,  49,  21,  "1000",                                   nullptr,          0},
    {K::kLabel,        kDisplayTimeUnitLabel,    kDisplayTimeGroup, 67,  18,  0,   0,   "ms",                                     nullptr,          kNoTabStop},
    {K::kPushButton,   kSelectColorButton,       kOsdGroup,         8,   88,  88,  25,  "Select Color",                           kColorHint,       2},
    {K::kPushButton,   kSelectFontButton,        kOsdGroup,         105, 88,  88,  25,  "Select Font",                            kFontHint,        3},
    {K::kLabel,        kShowOnLabel,             kOsdGroup,         8,   122, 0,   0,   "Show on",                                nullptr,          kNoTabStop},
    {K::kDropDownList, kOsdMonitorList,          kOsdGroup,         56,  118, 166, 21,  "",                                       nullptr,          4},
    {K::kCheckBox,     kNotOverFullScreenBox,    kOsdGroup,         8,   144, 214, 17,  "Not over full-screen programs",          nullptr,          5},
    {K::kCheckBox,     kShowOnTrackChangeBox,    kOsdGroup,         237, 16,  163, 17,  "Show on track change",                   nullptr,          6},
    {K::kCheckBox,     kShowVolumeLevelBox,      kOsdGroup,         237, 40,  163, 17,  "Show volume level",                      nullptr,          7},
    {K::kCheckBox,     kShowAlbumArtBox,         kOsdGroup,         237, 64,  163, 17,  "Show album art",                         nullptr,          8},
    {K::kCheckBox,     kShowOnPlayStateBox,      kOsdGroup,         237, 88,  163, 17,  "Show on pause and stop",                 nullptr,          9},
    {K::kCheckBox,     kShowOnVolumeChangeBox,   kOsdGroup,         237, 112, 163, 17,  "Show on volume change",                  nullptr,          10},
    // about
    {K::kGroupBox,     kAboutGroup,              0,                 216, 181, 230, 121, " About ",                                nullptr,          6},
    {K::kPicture,      kIconPicture,             kAboutGroup,       11,  16,  52,  41,  "",                                       nullptr,          kNoTabStop},
    {K::kPicture,      kLogoPicture,             kAboutGroup,       72,  16,  120, 40,  "",                                       nullptr,          kNoTabStop},
    {K::kLabel,        kVersionCaptionLabel,     kAboutGroup,       11,  68,  0,   0,   "Version:",                               nullptr,          kNoTabStop},
    {K::kLabel,        kVersionLabel,            kAboutGroup,       72,  68,  0,   0,   KLV_VERSION_TEXT,                         nullptr,          kNoTabStop},
    {K::kLabel,        kCreditLabel,             kAboutGroup,       11,  88,  0,   0,   "Written by the Kelvo-plugin team",       nullptr,          kNoTabStop},
    {K::kLabel,        kTermsLabel,              kAboutGroup,       11,  104, 0,   0,   "Free to use, share and improve",         nullptr,          kNoTabStop},
    // playback; the first box 24 high, not 25, so that it ends where the second begins
    {K::kCheckBox,     kPlayOnStartBox,          0,                 453, 189, 169, 24,  "Start playing on WinAMP start",          kPlayOnStartHint, 8},
    {K::kCheckBox,     kRememberPositionBox,     0,                 453, 213, 161, 25,  "Remember last track position",           kRememberHint,    7},
    // steps, each box wide enough for three digits
    {K::kGroupBox,     kStepsGroup,              0,                 453, 240, 171, 62,  " Steps ",                                nullptr,          13},
    {K::kLabel,        kSeekStepLabel,           kStepsGroup,       8,   19,  0,   0,   "Seek step",                              nullptr,          kNoTabStop},
    {K::kEdit,         kSeekStepEdit,            kStepsGroup,       80,  15,  40,  21,  "5",                                      kSeekStepHint,    0},
    {K::kLabel,        kSeekStepUnitLabel,       kStepsGroup,       126, 19,  0,   0,   "s",                                      nullptr,          kNoTabStop},
    {K::kLabel,        kVolumeStepLabel,         kStepsGroup,       8,   41,  0,   0,   "Volume step",                            nullptr,          kNoTabStop},
    {K::kEdit,         kVolumeStepEdit,          kStepsGroup,       80,  37,  40,  21,  "0",                                      kVolumeStepHint,  1},
    {K::kLabel,        kVolumeStepUnitLabel,     kStepsGroup,       126, 41,  0,   0,   "%",                                      nullptr,          kNoTabStop},
    // transparency
    {K::kGroupBox,     kActiveGroup,             0,                 8,   322, 304, 121, "       Transparency  Active  ",          kActiveHint,      1,          kStartDisabled},
    {K::kCheckBox,     kActiveTransparencyBox,   0,                 20,  320, 14,  17,  "",                                       nullptr,          9,          0,              kActiveGroup},
    {K::kLabel,        kActiveMainLabel,         kActiveGroup,      8,   24,  0,   0,   "WinAMP",                                 nullptr,          kNoTabStop},
    {K::kLabel,        kActivePlaylistLabel,     kActiveGroup,      8,   56,  0,   0,   "Playlist",                               nullptr,          kNoTabStop},
    {K::kLabel,        kActiveEqualizerLabel,    kActiveGroup,      8,   88,  0,   0,   "Equalizer",                              nullptr,          kNoTabStop},
    {K::kSlider,       kActiveMainSlider,        kActiveGroup,      56,  24,  241, 25,  "",                                       nullptr,          0},
    {K::kSlider,       kActivePlaylistSlider,    kActiveGroup,      56,  56,  241, 25,  "",                                       nullptr,          1},
    {K::kSlider,       kActiveEqualizerSlider,   kActiveGroup,      56,  88,  241, 25,  "",                                       nullptr,          2},
    {K::kGroupBox,     kInactiveGroup,           0,                 320, 322, 304, 121, "       Transparency Inactive   ",        kInactiveHint,    2,          kStartDisabled},
    {K::kCheckBox,     kInactiveTransparencyBox, 0,                 332, 320, 14,  17,  "",                                       nullptr,          10,         0,              kInactiveGroup},
    {K::kLabel,        kInactiveMainLabel,       kInactiveGroup,    8,   24,  0,   0,   "WinAMP",                                 nullptr,          kNoTabStop},
    {K::kLabel,        kInactivePlaylistLabel,   kInactiveGroup,    8,   56,  0,   0,   "Playlist",                               nullptr,          kNoTabStop},
    {K::kLabel,        kInactiveEqualizerLabel,  kInactiveGroup,    8,   88,  0,   0,   "Equalizer",                              nullptr,          kNoTabStop},
    {K::kSlider,       kInactiveMainSlider,      kInactiveGroup,    56,  24,  241, 25,  "",                                       nullptr,          0},
    {K::kSlider,       kInactivePlaylistSlider,  kInactiveGroup,    56,  56,  241, 25,  "",                                       nullptr,          1},
    {K::kSlider,       kInactiveEqualizerSlider, kInactiveGroup,    56,  88,  241, 25,  "",                                       nullptr,          2},
    // bottom line
    {K::kPushButton,   kExitButton,              0,                 8,   463, 75,  25,  "Exit",                                   nullptr,          0},
    {K::kLabel,        kWebAddressLabel,         0,                 392, 460, 0,   0,   "https://kelvo.example.org",              nullptr,          kNoTabStop},
    {K::kLabel,        kOwnOpacityNote,          0,                 96,  469, 0,   0,   "The current skin sets its own opacity.", nullptr,          kNoTabStop},
};
// clang-format on

size_t ControlCount() { return std::size(kControls); }

}  // namespace form1
