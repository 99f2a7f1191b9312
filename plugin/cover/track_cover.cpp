#include "plugin/cover/track_cover.h"

#include <windows.h>

#include <algorithm>
#include <memory>
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

class Mailbox;

struct Lookup {
  Mailbox* mailbox;
  std::u16string path;
  ServiceObject* services;  // null: the pictures beside the file
  int side;
  klv::CoverCache::Picture picture;  // null: no cover
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
  // From a lookup's thread: kept and announced, or thrown away after a quit.
  void Deliver(std::unique_ptr<Lookup> lookup) {
    EnterCriticalSection(&lock_);
    try {
      if (receiver_ != nullptr) {
        delivered_.push_back(std::move(lookup));
        PostMessageW(receiver_, kCoversArrived, 0, 0);
      }
    } catch (...) {
      // No room to keep it: thrown away like a result after a quit.
    }
    LeaveCriticalSection(&lock_);
  }
  std::vector<std::unique_ptr<Lookup>> Take() {
    EnterCriticalSection(&lock_);
    std::vector<std::unique_ptr<Lookup>> taken = std::move(delivered_);
    delivered_.clear();
    LeaveCriticalSection(&lock_);
    return taken;
  }
  void Close() {
    EnterCriticalSection(&lock_);
    receiver_ = nullptr;
    LeaveCriticalSection(&lock_);
  }

 private:
  ~Mailbox() { DeleteCriticalSection(&lock_); }

  CRITICAL_SECTION lock_;
  LONG references_ = 1;
  HWND receiver_;
  std::vector<std::unique_ptr<Lookup>> delivered_;
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
};

Covers gCovers;

// On the lookup's own thread: nothing here touches the plug-in's state.
void RunLookup(void* context) {
  std::unique_ptr<Lookup> lookup(static_cast<Lookup*>(context));
  Mailbox* mailbox = lookup->mailbox;
  try {
    klv::BgrImage cover;
    const bool found = lookup->services != nullptr
                           ? ReadServiceCover(lookup->services, lookup->path, lookup->side, cover)
                           : ReadFolderCover(lookup->path, lookup->side, cover);
    if (found) lookup->picture = std::make_shared<const klv::BgrImage>(std::move(cover));
    mailbox->Deliver(std::move(lookup));
  } catch (...) {
    // Out of memory for the picture: the track has no cover this time.
  }
  mailbox->Release();
}

void TakeArrivedCovers() {
  if (gCovers.mailbox == nullptr) return;
  for (std::unique_ptr<Lookup>& lookup : gCovers.mailbox->Take()) {
    auto& underway = gCovers.underway;
    underway.erase(std::remove(underway.begin(), underway.end(), lookup->path), underway.end());
    gCovers.cache.Put(lookup->path, lookup->side, lookup->picture);
    if (lookup->picture) OfferOsdCover(lookup->path, lookup->picture);
  }
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
  if (gCovers.underway.size() >= kMaxLookupsUnderway || !OpenMailbox()) return;
  if (std::find(gCovers.underway.begin(), gCovers.underway.end(), path) != gCovers.underway.end()) return;
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
  gCovers.underway.push_back(path);
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
