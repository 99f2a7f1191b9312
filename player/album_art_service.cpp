#include "player/album_art_service.h"

#include <windows.h>

#include <cstring>
#include <set>

#include "core/cover/jpeg_decode.h"
#include "win32/host/host_services.h"

namespace player {

// The four objects behind the manager; each answers its codes and 0 to others.
class AlbumArtService::Objects {
 public:
  explicit Objects(AlbumArtService& owner)
      : manager_(*this),
        albumArtFactory_(*this, albumArt_),
        memoryFactory_(*this, memory_),
        albumArt_(*this),
        memory_(*this),
        owner_(&owner) {
    InitializeCriticalSection(&lock_);
  }
  ~Objects() {
    for (uint32_t* memory : handedOut_) delete[] memory;
    DeleteCriticalSection(&lock_);
  }
  Objects(const Objects&) = delete;
  Objects& operator=(const Objects&) = delete;

  ServiceObject* Root() { return &manager_; }

 private:
  template <typename T>
  static T Argument(void** params, int count, int index) {
    return index < count ? *static_cast<T*>(params[index]) : T{};
  }

  // Every object's door: after the teardown a call only counts as a fault.
  struct Object : ServiceObject {
    explicit Object(Objects& objects) : objects(objects) {}
    int _dispatch(int code, void* result, void** params, int count) final {
      if (objects.owner().tornDown_) {
        ++objects.owner().faults_;
        return 0;
      }
      return Answer(code, result, params, count);
    }
    virtual int Answer(int code, void* result, void** params, int count) = 0;
    Objects& objects;
  };

  struct ManagerObject final : Object {
    using Object::Object;
    int Answer(int code, void* result, void** params, int count) override {
      if (code != service::kFactoryByGuid || result == nullptr) return 0;
      const GUID guid = Argument<GUID>(params, count, 0);
      ServiceObject* factory = nullptr;
      if (IsEqualGUID(guid, service::kAlbumArtGuid)) factory = &objects.albumArtFactory_;
      if (IsEqualGUID(guid, service::kMemoryManagerGuid)) factory = &objects.memoryFactory_;
      *static_cast<ServiceObject**>(result) = factory;
      return 1;
    }
  };

  struct FactoryObject final : Object {
    FactoryObject(Objects& objects, ServiceObject& api) : Object(objects), api(api) {}
    int Answer(int code, void* result, void** params, int count) override {
      std::atomic<long>& out = objects.owner().interfacesOut_;
      if (code == service::kGetInterface && result != nullptr) {
        *static_cast<ServiceObject**>(result) = &api;
        ++out;
        return 1;
      }
      if (code == service::kReleaseInterface) {
        if (Argument<ServiceObject*>(params, count, 0) == &api) --out;
        if (result != nullptr) *static_cast<int*>(result) = 1;
        return 1;
      }
      return 0;
    }
    ServiceObject& api;
  };

  struct AlbumArtObject final : Object {
    using Object::Object;
    int Answer(int code, void* result, void** params, int count) override {
      if (code != service::kGetAlbumArt || count < 5 || result == nullptr) return 0;
      AlbumArtService& owner = objects.owner();
      ++owner.lookups_;
      const wchar_t* path = Argument<const wchar_t*>(params, count, 0);
      const wchar_t* type = Argument<const wchar_t*>(params, count, 1);
      int* width = Argument<int*>(params, count, 2);
      int* height = Argument<int*>(params, count, 3);
      uint32_t** bits = Argument<uint32_t**>(params, count, 4);
      ArgbPicture picture;
      const bool found = path != nullptr && type != nullptr && std::wcscmp(type, L"cover") == 0 &&
                         owner.source_(path, picture) && !picture.pixels.empty();
      if (!found) {
        // Left undefined by the contract: whatever a client makes of these is its fault.
        *width = -1;
        *height = -1;
        *bits = reinterpret_cast<uint32_t*>(kUndefinedBits);
        *static_cast<int*>(result) = 1;
        return 1;
      }
      // Handed out the way the host hands out memory: the client gives it back through sysFree.
      auto* copy = new uint32_t[picture.pixels.size()];
      std::memcpy(copy, picture.pixels.data(), picture.pixels.size() * sizeof(uint32_t));
      objects.HandOut(copy);
      *width = picture.width;
      *height = picture.height;
      *bits = copy;
      ++owner.picturesOut_;
      *static_cast<int*>(result) = 0;
      return 1;
    }
  };

  struct MemoryObject final : Object {
    using Object::Object;
    int Answer(int code, void* /*result*/, void** params, int count) override {
      if (code != service::kSysFree) return 0;
      auto* memory = Argument<uint32_t*>(params, count, 0);
      if (memory == nullptr) return 1;
      if (!objects.TakeBack(memory)) {
        ++objects.owner().faults_;
        return 1;
      }
      delete[] memory;
      --objects.owner().picturesOut_;
      return 1;
    }
  };

  static constexpr uintptr_t kUndefinedBits = 0xBAADF00D;

  AlbumArtService& owner() { return *owner_; }

  void HandOut(uint32_t* memory) {
    EnterCriticalSection(&lock_);
    try {
      handedOut_.insert(memory);
    } catch (...) {
    }
    LeaveCriticalSection(&lock_);
  }
  bool TakeBack(uint32_t* memory) {
    EnterCriticalSection(&lock_);
    const bool known = handedOut_.erase(memory) == 1;
    LeaveCriticalSection(&lock_);
    return known;
  }

  ManagerObject manager_;
  FactoryObject albumArtFactory_;
  FactoryObject memoryFactory_;
  AlbumArtObject albumArt_;
  MemoryObject memory_;
  AlbumArtService* owner_ = nullptr;
  CRITICAL_SECTION lock_;
  std::set<uint32_t*> handedOut_;

  friend class AlbumArtService;
};

AlbumArtService::AlbumArtService(PictureSource source)
    : objects_(new Objects(*this)), source_(std::move(source)) {}

AlbumArtService::~AlbumArtService() { delete objects_; }

void* AlbumArtService::Manager() { return objects_->Root(); }

bool ReadPictureBeside(const std::wstring& path, ArgbPicture& picture) {
  const size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return false;
  const std::wstring coverPath = path.substr(0, slash + 1) + L"cover.jpg";
  HANDLE file =
      CreateFileW(coverPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::vector<uint8_t> data(GetFileSize(file, nullptr));
  DWORD read = 0;
  const bool whole =
      ReadFile(file, data.data(), static_cast<DWORD>(data.size()), &read, nullptr) && read == data.size();
  CloseHandle(file);
  klv::BgrImage image;
  if (!whole || !klv::DecodeJpegToBgr(data.data(), data.size(), image)) return false;
  picture.width = image.width;
  picture.height = image.height;
  picture.pixels.resize(static_cast<size_t>(image.width) * image.height);
  for (int y = 0; y < image.height; ++y) {
    const uint8_t* row = &image.pixels[image.stride * y];
    for (int x = 0; x < image.width; ++x) {
      picture.pixels[static_cast<size_t>(y) * image.width + x] =
          0xFF000000u | row[x * 3 + 2] << 16 | row[x * 3 + 1] << 8 | row[x * 3];
    }
  }
  return true;
}

}  // namespace player
