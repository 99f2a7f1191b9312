// The configuration form's controls: their ids, the table that places them and
// the settings the OSD's option boxes stand for.
#pragma once

#include <cstddef>
#include <utility>

#include "core/settings/settings.h"
#include "ui/form_layout.h"

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
  kOsdMonitorList,        // the OSD's monitor
  kNotOverFullScreenBox,  // no OSD over full-screen programs
  kShowOnTrackChangeBox,  // the OSD at every track start
  kShowVolumeLevelBox,    // the volume actions show the level
  kShowAlbumArtBox,       // the playing track's cover beside the OSD's text
  kOwnOpacityNote,        // shown while a modern skin sets the windows' opacity itself
};
constexpr wchar_t kClassName[] = L"TForm1";

// The OSD's option boxes, each showing one flag of the settings and setting it at once.
constexpr std::pair<int, bool klv::Settings::*> kOsdOptionBoxes[] = {
    {kNotOverFullScreenBox, &klv::Settings::osdHideFullScreen},
    {kShowOnTrackChangeBox, &klv::Settings::osdOnTrackChange},
    {kShowVolumeLevelBox, &klv::Settings::osdShowVolume},
    {kShowAlbumArtBox, &klv::Settings::osdShowArt}};

// The form as it reads, in one table: ControlCount() rows.
extern const ControlRow kControls[];
size_t ControlCount();
}  // namespace form1
