// The plug-in's version, in one place: the DLL's version resource, the
// dialogs' manifest, the descriptor's text, the About group, the setup program
// and the release notes all take it from here. Plain macros, so that the
// resource compiler (and cmake/version.cmake, scripts/release.sh) read them too.
#pragma once

#define KLV_VERSION_MAJOR 1
#define KLV_VERSION_MINOR 0
#define KLV_VERSION_PATCH 0
#define KLV_VERSION_BUILD 3
// The version as people read it.
#define KLV_VERSION_TEXT "1.0 beta 3"

#define KLV_STRINGIZE_(x) #x
#define KLV_STRINGIZE(x) KLV_STRINGIZE_(x)
// Major and minor only, as the descriptor's text shows them.
#define KLV_VERSION_SHORT KLV_STRINGIZE(KLV_VERSION_MAJOR) "." KLV_STRINGIZE(KLV_VERSION_MINOR)
// The text the host lists the plug-in by.
#define KLV_PLUGIN_DESCRIPTION "Kelvo-plugin... v" KLV_VERSION_SHORT
