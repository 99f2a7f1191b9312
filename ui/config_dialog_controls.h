// The configuration form's controls: the table that places them and the
// settings the OSD's option boxes stand for.
#pragma once

#include <cstddef>
#include <utility>

#include "core/settings/settings.h"
#include "ui/config_dialog_ids.h"
#include "ui/form_layout.h"

namespace form1 {
// The OSD's option boxes, each showing one flag of the settings and setting it at once.
constexpr std::pair<int, bool klv::Settings::*> kOsdOptionBoxes[] = {
    {kNotOverFullScreenBox, &klv::Settings::osdHideFullScreen},
    {kShowOnTrackChangeBox, &klv::Settings::osdOnTrackChange},
    {kShowVolumeLevelBox, &klv::Settings::osdShowVolume},
    {kShowAlbumArtBox, &klv::Settings::osdShowArt},
    {kShowOnPlayStateBox, &klv::Settings::osdOnPlayState},
    {kShowOnVolumeChangeBox, &klv::Settings::osdOnVolumeChange}};

// The form as it reads, in one table: ControlCount() rows.
extern const ControlRow kControls[];
size_t ControlCount();
}  // namespace form1
