// The 5.x host's service manager with its album art and memory manager
// services, in the calling form plug-ins use (win32/host/host_services.h): what
// request 3025 answers. Lookups come from plug-ins' threads, so the counts
// are atomic and the picture source must be callable from any thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace player {

struct ArgbPicture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0xAARRGGBB, top row first
};

class AlbumArtService {
 public:
  // The picture for a file, or false for none.
  using PictureSource = std::function<bool(const std::wstring& path, ArgbPicture& picture)>;

  explicit AlbumArtService(PictureSource source);
  ~AlbumArtService();
  AlbumArtService(const AlbumArtService&) = delete;
  AlbumArtService& operator=(const AlbumArtService&) = delete;

  void* Manager();  // the answer to request 3025

  // The 5.x player's teardown right after its plug-ins' quit: from here on
  // the objects are gone, and each call into them is a fault (the real
  // player would crash). They stay in memory only so that a test can count.
  void TearDown() { tornDown_ = true; }

  // What the clients took and have not given back.
  long InterfacesOut() const { return interfacesOut_; }
  long PicturesOut() const { return picturesOut_; }
  long Lookups() const { return lookups_; }
  // Calls after the teardown, and frees of memory the service never handed
  // out (such as the undefined bits of a failed lookup).
  long Faults() const { return faults_; }

 private:
  class Objects;
  friend class Objects;
  Objects* objects_;
  PictureSource source_;
  std::atomic<bool> tornDown_{false};
  std::atomic<long> interfacesOut_{0};
  std::atomic<long> picturesOut_{0};
  std::atomic<long> lookups_{0};
  std::atomic<long> faults_{0};
};

// The picture beside a file: the cover.jpg in its folder, decoded.
bool ReadPictureBeside(const std::wstring& path, ArgbPicture& picture);

}  // namespace player
