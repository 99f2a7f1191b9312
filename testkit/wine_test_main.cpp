// GoogleTest main for the Wine suites: common controls ready, no atoms of an
// earlier run left over, and a crash that fails the run.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "testkit/test_host.h"

namespace {

// Wine's own handler ends a crashed process with exit code 0, which would read
// as a pass: a crash must fail the suite, and say where it happened.
LONG WINAPI FailOnCrash(EXCEPTION_POINTERS* info) {
  std::fprintf(stderr, "crashed: exception 0x%08lx at %p\n", info->ExceptionRecord->ExceptionCode,
               info->ExceptionRecord->ExceptionAddress);
  std::fflush(stderr);
  std::fflush(stdout);
  TerminateProcess(GetCurrentProcess(), 3);
  return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

int main(int argc, char** argv) {
  SetUnhandledExceptionFilter(FailOnCrash);
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  ResetGlobalAtoms();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
