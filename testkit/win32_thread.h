// A second thread and a lock for the Wine tests. The Win32 tree is built with
// MinGW's win32 thread model (its posix runtime leaves a TLS slot behind per
// load of the DLL), and that model's libstdc++ has no std::thread or
// std::mutex: these are the plain Win32 ones.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <utility>

class Win32Thread {
 public:
  explicit Win32Thread(std::function<void()> body)
      : body_(std::make_unique<std::function<void()>>(std::move(body))) {
    handle_ = CreateThread(nullptr, 0, &Win32Thread::Start, body_.get(), 0, nullptr);
  }
  ~Win32Thread() { Join(); }
  Win32Thread(const Win32Thread&) = delete;
  Win32Thread& operator=(const Win32Thread&) = delete;

  void Join() {
    if (handle_ == nullptr) return;
    WaitForSingleObject(handle_, INFINITE);
    CloseHandle(handle_);
    handle_ = nullptr;
  }

 private:
  static DWORD WINAPI Start(void* body) {
    (*static_cast<std::function<void()>*>(body))();
    return 0;
  }
  std::unique_ptr<std::function<void()>> body_;
  HANDLE handle_ = nullptr;
};

class CriticalSection {
 public:
  CriticalSection() { InitializeCriticalSection(&section_); }
  ~CriticalSection() { DeleteCriticalSection(&section_); }
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;

  class Lock {
   public:
    explicit Lock(CriticalSection& owner) : owner_(owner) { EnterCriticalSection(&owner_.section_); }
    ~Lock() { LeaveCriticalSection(&owner_.section_); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

   private:
    CriticalSection& owner_;
  };

 private:
  CRITICAL_SECTION section_;
};
