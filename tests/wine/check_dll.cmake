# The DLL is PE32 i386, exports its entry under the plain name, imports only
# Windows system DLLs and stays within its size budget of 300 KB.
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${DLL}")
endif()
if(NOT dump MATCHES "file format pei-i386")
  message(FATAL_ERROR "not a PE32 i386 image")
endif()
if(NOT dump MATCHES "\\] winampGetGeneralPurposePlugin\n")
  message(FATAL_ERROR "winampGetGeneralPurposePlugin is not exported under its plain name")
endif()
file(SIZE ${DLL} size)
if(size GREATER 307200)
  message(FATAL_ERROR "${DLL} is ${size} bytes, over its budget of 300 KB (see entry/gen_klv.map in the build)")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
set(allowed KERNEL32.dll USER32.dll GDI32.dll ADVAPI32.dll msvcrt.dll COMCTL32.dll
  comdlg32.dll COMDLG32.dll UxTheme.dll UXTHEME.dll SHELL32.dll ole32.dll OLE32.dll)
foreach(line ${imports})
  string(REPLACE "DLL Name: " "" name "${line}")
  string(TOUPPER "${name}" upper)
  set(ok FALSE)
  foreach(a ${allowed})
    string(TOUPPER "${a}" au)
    if(upper STREQUAL au)
      set(ok TRUE)
    endif()
  endforeach()
  if(NOT ok)
    message(FATAL_ERROR "imports a non-system DLL: ${name}")
  endif()
  message(STATUS "imports ${name}")
endforeach()

# Resources: the version block that Explorer and installers read, and the
# visual-styles manifest of the dialogs beside it (both linked from .rc files).
string(REPLACE "objdump" "windres" WINDRES "${OBJDUMP}")
execute_process(COMMAND ${WINDRES} -i ${DLL} -O rc OUTPUT_VARIABLE resources RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${WINDRES} cannot read the resources of ${DLL}")
endif()
foreach(expected
    "FILEVERSION 1, 0, 0, 3"
    "VALUE \"FileVersion\", \"1.0 beta 3\""
    "VALUE \"ProductVersion\", \"1.0 beta 3\""
    "VALUE \"FileDescription\", \"Kelvo-plugin... v1.0\""
    "VALUE \"OriginalFilename\", \"gen_klv.dll\""
    "VALUE \"InternalName\", \"gen_klv\""
    "2 24 /\\* RT_MANIFEST \\*/")
  string(REGEX MATCH "${expected}" found "${resources}")
  if(found STREQUAL "")
    message(FATAL_ERROR "resource missing from ${DLL}: ${expected}")
  endif()
endforeach()
message(STATUS "1 passed, 0 failed")
