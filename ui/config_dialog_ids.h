// The configuration form's window class and control ids: how a user's tools,
// and the tests that drive only the DLL, find the form and its controls.
#pragma once

namespace form1 {
enum ControlId : int {
  kExitButton = 101,
  kActiveGroup,  // transparency of the active windows
  kActiveMainLabel,
  kActivePlaylistLabel,
  kActiveEqualizerLabel,
  kActiveMainSlider,  // tags 1..3: main, playlist, equalizer, active levels
  kActivePlaylistSlider,
  kActiveEqualizerSlider,
  kInactiveGroup,  // transparency of the inactive windows
  kInactiveMainLabel,
  kInactivePlaylistLabel,
  kInactiveEqualizerLabel,
  kInactiveMainSlider,  // tags 4..6: the inactive levels
  kInactivePlaylistSlider,
  kInactiveEqualizerSlider,
  kHotkeyList,
  kHotkeysGroup,
  kOsdGroup,
  kOsdPositionGroup,
  kOsdPositionItem0,  // items 0..8 follow: column = i div 3, row = i mod 3
  kOsdPositionItem8 = kOsdPositionItem0 + 8,
  kDisplayTimeGroup,
  kDisplayTimeEdit,
  kDisplayTimeUnitLabel,  // "ms"
  kSelectColorButton,
  kSelectFontButton,
  kAboutGroup,
  kLogoPicture,  // the word mark
  kIconPicture,
  kVersionCaptionLabel,  // "Version:"
  kVersionLabel,         // the version number
  kCreditLabel,
  kTermsLabel,
  kRememberPositionBox,
  kPlayOnStartBox,
  kActiveTransparencyBox,    // the active group on/off
  kInactiveTransparencyBox,  // the inactive group on/off
  kOsdBox,                   // the OSD on/off
  kHotkeysBox,               // the hotkeys on/off
  kWebAddressLabel,
  kShowOnLabel,
  kOsdMonitorList,         // the OSD's monitor
  kNotOverFullScreenBox,   // no OSD over full-screen programs
  kShowOnTrackChangeBox,   // the OSD at every track start
  kShowVolumeLevelBox,     // the volume actions show the level
  kShowAlbumArtBox,        // the playing track's cover beside the OSD's text
  kOwnOpacityNote,         // shown while a modern skin sets the windows' opacity itself
  kShowOnPlayStateBox,     // the OSD at a pause, resume or stop by any means
  kShowOnVolumeChangeBox,  // the OSD at a change of the volume by any means
  kStepsGroup,
  kSeekStepLabel,
  kSeekStepEdit,  // seconds Forward and Rewind move
  kSeekStepUnitLabel,
  kVolumeStepLabel,
  kVolumeStepEdit,  // percent Volume Up and Down move
  kVolumeStepUnitLabel,
};
constexpr wchar_t kClassName[] = L"TForm1";
}  // namespace form1
