#include "plugin/cover/track_cover.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "core/cover/cover_art.h"
#include "plugin/cover/cover_sources.h"
#include "plugin/host/host.h"
#include "plugin/osd/osd_window.h"
#include "plugin/plugin_state.h"
#include "win32/module_thread.h"
#include "win32/this_module.h"
#include "win32/win_handles.h"

namespace {

constexpr wchar_t kMailClassName[] = L"KelvoCoverMail";
constexpr UINT kCoversArrived = WM_APP + 1;
// A service that hangs keeps its threads; a few at most, and new tracks wait.
constexpr size_t kMaxLookupsUnderway = 4;
// Tracks skipped past while every slot is taken: the newest few wait, older ones are dropped.
constexpr size_t kMaxLookupsWaiting = 4;

class Mailbox;

struct Lookup {
  Mailbox* mailbox;
  std::u16string path;
  ServiceObject* services;  // null: the pictures beside the file
  int side;
  klv::CoverCache::Picture picture;  // null: no cover
  bool brokeOff = false;             // nothing learnt: the track may be looked up again
  Lookup* next = nullptr;            // in the mailbox
};

// Where finished lookups wait for the host's thread. Shared by that thread
// and every lookup under way; freed by whichever lets go last, so that a quit
// need not wait for a lookup that hangs.
class Mailbox {
 public:
  explicit Mailbox(HWND receiver) : receiver_(receiver) { InitializeCriticalSection(&lock_); }
  Mailbox(const Mailbox&) = delete;
  Mailbox& operator=(const Mailbox&) = delete;

  void AddReference() { InterlockedIncrement(&references_); }
  void Release() {
    if (InterlockedDecrement(&references_) == 0) delete this;
  }
  ServiceLife& Life() { return life_; }
  // From a lookup's thread: kept and announced, or thrown away after a quit.
  // Needs no memory, so that a lookup out of memory still frees its slot.
  void Deliver(Lookup* lookup) noexcept {
    EnterCriticalSection(&lock_);
    const bool open = receiver_ != nullptr;
    if (open) {
      lookup->next = delivered_;
      delivered_ = lookup;
      PostMessageW(receiver_, kCoversArrived, 0, 0);
    }
    LeaveCriticalSection(&lock_);
    if (!open) delete lookup;
  }
  // The delivered lookups, first delivered first.
  Lookup* Take() {
    EnterCriticalSection(&lock_);
    Lookup* newestFirst = delivered_;
    delivered_ = nullptr;
    LeaveCriticalSection(&lock_);
    Lookup* oldestFirst = nullptr;
    while (newestFirst != nullptr) {
      Lookup* next = newestFirst->next;
      newestFirst->next = oldestFirst;
      oldestFirst = newestFirst;
      newestFirst = next;
    }
    return oldestFirst;
  }
  // At quit: from here on the host's services are not called and results are thrown away.
  void Close() {
    life_.End();
    EnterCriticalSection(&lock_);
    receiver_ = nullptr;
    LeaveCriticalSection(&lock_);
    DeleteAll(Take());
  }
  static void DeleteAll(Lookup* list) {
    while (list != nullptr) delete std::exchange(list, list->next);
  }

 private:
  ~Mailbox() { DeleteCriticalSection(&lock_); }

  CRITICAL_SECTION lock_;
  LONG references_ = 1;
  HWND receiver_;
  Lookup* delivered_ = nullptr;  // newest first
  ServiceLife life_;
};

// The host thread's side, from StartCoverLookups to StopCoverLookups.
struct Covers {
  bool open = false;
  UniqueWindowClass mailClass;
  UniqueWindow mailWindow;
  Mailbox* mailbox = nullptr;
  int side = 0;  // at the system's DPI, which holds for the session; 0 until first asked
  klv::CoverCache cache;
  std::vector<std::u16string> underway;
  std::vector<std::u16string> waiting;  // for a slot, oldest first
};

Covers gCovers;

// On the lookup's own thread: nothing here touches the plug-in's state.
void RunLookup(void* context) {
  auto* lookup = static_cast<Lookup*>(context);
  Mailbox* mailbox = lookup->mailbox;
  try {
    klv::BgrImage cover;
    const bool found = lookup->services != nullptr ? ReadServiceCover(lookup->services, mailbox->Life(),
                                                                      lookup->path, lookup->side, cover)
                                                   : ReadFolderCover(lookup->path, lookup->side, cover);
    if (found) lookup->picture = std::make_shared<const klv::BgrImage>(std::move(cover));
  } catch (...) {
    // Out of memory for the picture, or the service threw: no cover this time.
    lookup->brokeOff = true;
  }
  mailbox->Deliver(lookup);
  mailbox->Release();
}

void StartLookup(const std::u16string& path);
bool KnownCover(const std::u16string& path, klv::CoverCache::Picture& picture);

// A freed slot goes to the track asked for last.
void StartWaitingLookups() {
  auto& waiting = gCovers.waiting;
  while (!waiting.empty() && gCovers.underway.size() < kMaxLookupsUnderway) {
    const std::u16string path = std::move(waiting.back());
    waiting.pop_back();
    klv::CoverCache::Picture picture;
    if (!KnownCover(path, picture)) StartLookup(path);
  }
}

void TakeArrivedCovers() {
  if (gCovers.mailbox == nullptr) return;
  Lookup* arrived = gCovers.mailbox->Take();
  while (arrived != nullptr) {
    const std::unique_ptr<Lookup> lookup(std::exchange(arrived, arrived->next));
    auto& underway = gCovers.underway;
    underway.erase(std::remove(underway.begin(), underway.end(), lookup->path), underway.end());
    if (lookup->brokeOff) continue;
    try {
      gCovers.cache.Put(lookup->path, lookup->side, lookup->picture);
      if (lookup->picture) OfferOsdCover(lookup->path, lookup->picture);
    } catch (...) {
      // Not kept: the track is looked up again when next shown.
    }
  }
  StartWaitingLookups();
}

LRESULT CALLBACK MailWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == kCoversArrived) {
    try {
      TakeArrivedCovers();
    } catch (...) {
    }
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

int SystemDpi() {
  const WindowDc screen(nullptr);
  return screen.Get() != nullptr ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 96;
}

int CoverSide() {
  if (gCovers.side == 0) gCovers.side = klv::CoverSide(SystemDpi());
  return gCovers.side;
}

// The window that receives the finished lookups is made for the first
// lookup: most sessions never look one up, and the start stays short.
bool OpenMailbox() {
  if (gCovers.mailbox != nullptr) return true;
  if (!gCovers.open) return false;
  if (!gCovers.mailClass) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = MailWindowProc;
    windowClass.hInstance = ThisModule();
    windowClass.lpszClassName = kMailClassName;
    gCovers.mailClass = UniqueWindowClass(windowClass);
  }
  if (gCovers.mailClass && !gCovers.mailWindow) {
    gCovers.mailWindow.Reset(CreateWindowExW(0, kMailClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                             gCovers.mailClass.Module(), nullptr));
  }
  if (gCovers.mailWindow) gCovers.mailbox = new Mailbox(gCovers.mailWindow.Get());
  return gCovers.mailbox != nullptr;
}

void StartLookup(const std::u16string& path) {
  auto& underway = gCovers.underway;
  if (std::find(underway.begin(), underway.end(), path) != underway.end() || !OpenMailbox()) return;
  auto& waiting = gCovers.waiting;
  waiting.erase(std::remove(waiting.begin(), waiting.end(), path), waiting.end());
  if (underway.size() >= kMaxLookupsUnderway) {
    if (waiting.size() >= kMaxLookupsWaiting) waiting.erase(waiting.begin());
    waiting.push_back(path);
    return;
  }
  underway.reserve(kMaxLookupsUnderway);  // no allocation once the thread runs
  const intptr_t services = HostRequest(klv::kHostServices);
  auto lookup = std::make_unique<Lookup>(
      Lookup{gCovers.mailbox, path,
             klv::IsHostAddress(services) ? reinterpret_cast<ServiceObject*>(services) : nullptr, CoverSide(),
             nullptr});
  gCovers.mailbox->AddReference();
  if (!StartModuleThread(RunLookup, lookup.get())) {
    gCovers.mailbox->Release();
    return;
  }
  lookup.release();  // the thread's now
  underway.push_back(path);
}

// Whether the file's cover is known: picture is then it or null.
bool KnownCover(const std::u16string& path, klv::CoverCache::Picture& picture) {
  return !klv::IsFilePath(path) || gCovers.cache.Find(path, CoverSide(), picture);
}

}  // namespace

void StartCoverLookups() { gCovers.open = true; }

void StopCoverLookups() {
  if (gCovers.mailbox != nullptr) {
    gCovers.mailbox->Close();
    gCovers.mailbox->Release();
    gCovers.mailbox = nullptr;
  }
  gCovers.mailWindow.Reset();
  gCovers.underway.clear();
  gCovers.waiting.clear();
  gCovers.cache.Clear();
  gCovers.mailClass.Reset();
  gCovers.side = 0;
  gCovers.open = false;
}

void ShowTrackOsd(const std::string& utf8Text) {
  if (!gSettings.osdShowArt) {
    ShowOsd(utf8Text);
    return;
  }
  OsdCover cover;
  cover.path = PlayingFilePath();
  cover.side = CoverSide();
  const bool known = KnownCover(cover.path, cover.picture);
  const std::u16string path = cover.path;
  ShowOsd(utf8Text, std::move(cover));
  // After the show: starting a thread costs the host's thread a moment the text need not wait for.
  if (!known) StartLookup(path);
}

void PrefetchPlayingCover() {
  if (!gSettings.osdEnabled || !gSettings.osdShowArt) return;
  const std::u16string path = PlayingFilePath();
  klv::CoverCache::Picture picture;
  if (!KnownCover(path, picture)) StartLookup(path);
}
