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

// A service's interface, taken from its factory and given back when this goes.
class ServiceInterface {
 public:
  ServiceInterface(ServiceObject* manager, GUID guid) {
    ServiceObject* factory = nullptr;
    if (!Call(manager, service::kFactoryByGuid, &factory, guid) || factory == nullptr) return;
    ServiceObject* api = nullptr;
    if (!Call(factory, service::kGetInterface, &api, 1) || api == nullptr) return;
    factory_ = factory;
    api_ = api;
  }
  ~ServiceInterface() {
    int released = 0;
    if (api_ != nullptr) Call(factory_, service::kReleaseInterface, &released, api_);
  }
  ServiceInterface(const ServiceInterface&) = delete;
  ServiceInterface& operator=(const ServiceInterface&) = delete;
  ServiceObject* Get() const { return api_; }

 private:
  ServiceObject* factory_ = nullptr;
  ServiceObject* api_ = nullptr;
};

void FreeHostMemory(ServiceObject* manager, void* memory) {
  const ServiceInterface memoryManager(manager, service::kMemoryManagerGuid);
  int ignored = 0;
  if (memoryManager.Get() != nullptr) Call(memoryManager.Get(), service::kSysFree, &ignored, memory);
}

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

bool ReadServiceCover(ServiceObject* serviceManager, const std::u16string& path, int side,
                      klv::BgrImage& cover) {
  const ServiceInterface albumArt(serviceManager, service::kAlbumArtGuid);
  if (albumArt.Get() == nullptr) return false;
  const std::wstring file = WidePath(path);
  const wchar_t* filePointer = file.c_str();
  const wchar_t* type = L"cover";
  int width = 0;
  int height = 0;
  uint32_t* bits = nullptr;
  int failed = 1;
  if (!Call(albumArt.Get(), service::kGetAlbumArt, &failed, filePointer, type, &width, &height, &bits)) {
    return false;
  }
  const bool usable = failed == 0 && bits != nullptr && klv::IsUsableCoverSize(width, height);
  // Averaged straight from the host's pixels: a copy of a large picture is more than a
  // 32-bit host may have in one piece.
  if (usable) cover = klv::FitArgbCover(bits, width, height, side);
  // Whatever became of the picture, the host's memory goes back to the host.
  if (bits != nullptr) FreeHostMemory(serviceManager, bits);
  return usable && cover.width > 0;
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
