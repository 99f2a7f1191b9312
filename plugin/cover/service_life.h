// The host's services stand until its plug-ins' quit has returned; right
// after it the 5.x host deletes them and exits. A lookup still running then
// must call nothing of theirs, so every call of a lookup passes through here.
#pragma once

#include <windows.h>

class ServiceLife {
 public:
  ServiceLife() { InitializeCriticalSection(&lock_); }
  ~ServiceLife() { DeleteCriticalSection(&lock_); }
  ServiceLife(const ServiceLife&) = delete;
  ServiceLife& operator=(const ServiceLife&) = delete;

  // At quit, on the host's thread: from its return on nothing calls the
  // services. Waits for a short call under way, never for a long one.
  void End();
  // Checked right before a call that may take long (a picture on a slow
  // share): quit cannot wait for that one, so it is only never started after.
  bool Standing();

  // A short call (a factory, a release, a free) runs inside one of these,
  // and quit waits until it is over.
  class ShortCall {
   public:
    explicit ShortCall(ServiceLife& life);
    ~ShortCall();
    ShortCall(const ShortCall&) = delete;
    ShortCall& operator=(const ShortCall&) = delete;
    bool Allowed() const { return allowed_; }

   private:
    ServiceLife& life_;
    bool allowed_;
  };

 private:
  CRITICAL_SECTION lock_;
  bool ended_ = false;
};
