# The version of core/version.h for the files CMake writes and the commands it
# runs: KLV_VERSION_TEXT ("1.0 beta 3", as people read it) and
# KLV_VERSION_NUMBERS ("1.0.0.3", the four numbers of the version resource).
# A change of the header configures the tree again.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/core/version.h)
file(STRINGS ${PROJECT_SOURCE_DIR}/core/version.h klv_version_lines REGEX "^#define KLV_VERSION_")
set(KLV_VERSION_NUMBERS "")
foreach(part MAJOR MINOR PATCH BUILD)
  if(NOT klv_version_lines MATCHES "KLV_VERSION_${part} ([0-9]+)")
    message(FATAL_ERROR "core/version.h has no KLV_VERSION_${part}")
  endif()
  list(APPEND KLV_VERSION_NUMBERS ${CMAKE_MATCH_1})
endforeach()
list(JOIN KLV_VERSION_NUMBERS "." KLV_VERSION_NUMBERS)
if(NOT klv_version_lines MATCHES "KLV_VERSION_TEXT \"([^\"]+)\"")
  message(FATAL_ERROR "core/version.h has no KLV_VERSION_TEXT")
endif()
set(KLV_VERSION_TEXT "${CMAKE_MATCH_1}")
