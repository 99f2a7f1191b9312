// Resource ids shared by the resource script and the dialogs.
#pragma once

#define KLV_IDR_ABOUT_LOGO 101
#define KLV_IDR_ABOUT_ICON 102
