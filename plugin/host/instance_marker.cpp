#include "plugin/host/instance_marker.h"

#include <windows.h>

namespace {

constexpr char kInstanceAtomName[] = "Kelvo_plugin_running";
// In the session's namespace, as the atom table is.
constexpr char kInstanceMutexName[] = "Local\\Kelvo_plugin_running.live";

// Held from a start to its quit.
ATOM gInstanceAtom = 0;
HANDLE gInstanceMutex = nullptr;

}  // namespace

MarkerTaken TakeInstanceMarker() {
  if (gInstanceMutex != nullptr || gInstanceAtom != 0) return MarkerTaken::kRefused;
  // What counts is that the object exists, not who owns it: whoever opened it
  // first still has a handle, which only its quit or its end closes.
  HANDLE mutex = CreateMutexA(nullptr, FALSE, kInstanceMutexName);
  if (mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return MarkerTaken::kRefused;
  }
  gInstanceMutex = mutex;
  const ATOM left = GlobalFindAtomA(kInstanceAtomName);
  // Without the mutex (its name taken by another kind of object) the atom alone decides.
  if (left != 0 && mutex == nullptr) return MarkerTaken::kRefused;
  if (left != 0) {
    // Taken over as it stands: adding it again would leave one reference behind at quit.
    gInstanceAtom = left;
    return MarkerTaken::kTakenOver;
  }
  gInstanceAtom = GlobalAddAtomA(kInstanceAtomName);
  return MarkerTaken::kAdded;
}

void ReleaseInstanceMarker() {
  if (gInstanceAtom != 0) GlobalDeleteAtom(gInstanceAtom);
  gInstanceAtom = 0;
  if (gInstanceMutex != nullptr) CloseHandle(gInstanceMutex);
  gInstanceMutex = nullptr;
}
