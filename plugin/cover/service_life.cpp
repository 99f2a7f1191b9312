#include "plugin/cover/service_life.h"

void ServiceLife::End() {
  EnterCriticalSection(&lock_);
  ended_ = true;
  LeaveCriticalSection(&lock_);
}

bool ServiceLife::Standing() {
  EnterCriticalSection(&lock_);
  const bool standing = !ended_;
  LeaveCriticalSection(&lock_);
  return standing;
}

ServiceLife::ShortCall::ShortCall(ServiceLife& life) : life_(life) {
  EnterCriticalSection(&life_.lock_);
  allowed_ = !life_.ended_;
}

ServiceLife::ShortCall::~ShortCall() { LeaveCriticalSection(&life_.lock_); }
