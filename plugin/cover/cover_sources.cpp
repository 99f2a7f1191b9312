#include "plugin/cover/cover_sources.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "core/cover/cover_art.h"
#include "core/cover/cover_fit.h"
#include "win32/win_handles.h"

namespace {

// One call in the services' calling form: each argument passed by its address.
template <typename Result, typename... Args>
bool Call(ServiceObject* object, int code, Result* result, Args... args) {
  void* params[] = {static_cast<void*>(&args)...};
  return object->_dispatch(code, result, params, static_cast<int>(sizeof...(Args))) == 1;
}

// A short call, made only while the host's services stand.
template <typename Result, typename... Args>
bool CallWhileStanding(ServiceLife& life, ServiceObject* object, int code, Result* result, Args... args) {
  const ServiceLife::ShortCall call(life);
  return call.Allowed() && Call(object, code, result, args...);
}

// A service's interface, taken from its factory and given back when this goes.
class ServiceInterface {
 public:
  ServiceInterface(ServiceObject* manager, ServiceLife& life, GUID guid) : life_(life) {
    ServiceObject* factory = nullptr;
    if (!CallWhileStanding(life, manager, service::kFactoryByGuid, &factory, guid) || factory == nullptr)
      return;
    ServiceObject* api = nullptr;
    if (!CallWhileStanding(life, factory, service::kGetInterface, &api, 1) || api == nullptr) return;
    factory_ = factory;
    api_ = api;
  }
  ~ServiceInterface() {
    int released = 0;
    if (api_ != nullptr) CallWhileStanding(life_, factory_, service::kReleaseInterface, &released, api_);
  }
  ServiceInterface(const ServiceInterface&) = delete;
  ServiceInterface& operator=(const ServiceInterface&) = delete;
  ServiceObject* Get() const { return api_; }

 private:
  ServiceLife& life_;
  ServiceObject* factory_ = nullptr;
  ServiceObject* api_ = nullptr;
};

// The pixels the service handed out, given back through its memory manager
// when this goes: also when fitting them runs out of memory.
class HostPixels {
 public:
  HostPixels(ServiceObject* manager, ServiceLife& life, void* bits)
      : manager_(manager), life_(life), bits_(bits) {}
  ~HostPixels() {
    if (bits_ == nullptr) return;
    // Held through the four calls: quit waits for them rather than cut them short.
    const ServiceLife::ShortCall call(life_);
    if (!call.Allowed()) return;
    const ServiceInterface memoryManager(manager_, life_, service::kMemoryManagerGuid);
    int ignored = 0;
    if (memoryManager.Get() != nullptr) Call(memoryManager.Get(), service::kSysFree, &ignored, bits_);
  }
  HostPixels(const HostPixels&) = delete;
  HostPixels& operator=(const HostPixels&) = delete;

 private:
  ServiceObject* manager_;
  ServiceLife& life_;
  void* bits_;
};

std::wstring WidePath(const std::u16string& path) { return std::wstring(path.begin(), path.end()); }

// The file as the decoder asks for it, never more than its size when opened.
class FileInput final : public klv::JpegInput {
 public:
  FileInput(HANDLE file, uint64_t size) : file_(file), left_(size) {}
  size_t Read(uint8_t* buffer, size_t capacity) noexcept override {
    DWORD read = 0;
    const DWORD wanted = static_cast<DWORD>(std::min<uint64_t>(capacity, left_));
    if (wanted == 0 || !ReadFile(file_, buffer, wanted, &read, nullptr)) return 0;
    left_ -= read;
    return read;
  }

 private:
  HANDLE file_;
  uint64_t left_;
};

bool ReadCoverFile(HANDLE file, int side, klv::BgrImage& cover) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size) || size.QuadPart <= 0 ||
      static_cast<uint64_t>(size.QuadPart) > klv::kMaxCoverFileBytes) {
    return false;
  }
  FileInput input(file, static_cast<uint64_t>(size.QuadPart));
  return klv::DecodeCoverPicture(input, side, cover);
}

}  // namespace

bool ReadServiceCover(ServiceObject* serviceManager, ServiceLife& life, const std::u16string& path, int side,
                      klv::BgrImage& cover) {
  const ServiceInterface albumArt(serviceManager, life, service::kAlbumArtGuid);
  if (albumArt.Get() == nullptr) return false;
  const std::wstring file = WidePath(path);
  const wchar_t* filePointer = file.c_str();
  const wchar_t* type = L"cover";
  int width = 0;
  int height = 0;
  uint32_t* bits = nullptr;
  int failed = 1;
  // It may read a slow share for long, so quit cannot wait for it: it is
  // only never started after quit.
  if (!life.Standing() ||
      !Call(albumArt.Get(), service::kGetAlbumArt, &failed, filePointer, type, &width, &height, &bits)) {
    return false;
  }
  // On failure the service's contract leaves w, h and bits undefined.
  if (failed != 0) return false;
  const HostPixels pixels(serviceManager, life, bits);
  if (bits == nullptr || !klv::IsUsableCoverSize(width, height)) return false;
  // Averaged straight from the host's pixels: a copy of a large picture is more than a
  // 32-bit host may have in one piece.
  cover = klv::FitArgbCover(bits, width, height, side);
  return cover.width > 0;
}

bool ReadFolderCover(const std::u16string& path, int side, klv::BgrImage& cover) {
  const std::wstring file = WidePath(path);
  const size_t slash = file.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return false;
  const std::wstring folder = file.substr(0, slash + 1);
  for (const char* name : klv::kFolderPictureNames) {
    // The file system matches names without regard to case: COVER.JPG answers too.
    const std::wstring picturePath = folder + std::wstring(name, name + strlen(name));
    HANDLE opened =
        CreateFileW(picturePath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) continue;
    const UniqueKernelHandle picture(opened);
    return ReadCoverFile(picture.Get(), side, cover);
  }
  return false;
}
