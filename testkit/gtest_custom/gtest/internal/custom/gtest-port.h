// GoogleTest's customisation point, found before its own empty one in the
// Win32 tree. That tree uses MinGW's win32 thread model, whose runtime has no
// std::mutex or std::condition_variable; GoogleTest needs them only for its
// Notification, which its own thread tests use. This one waits on a flag.
#ifndef KLV_GTEST_CUSTOM_PORT_H_
#define KLV_GTEST_CUSTOM_PORT_H_

#include <atomic>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
 public:
  Notification() = default;
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify() { notified_.store(true); }
  void WaitForNotification() {
    while (!notified_.load()) {
    }
  }

 private:
  std::atomic<bool> notified_{false};
};

}  // namespace internal
}  // namespace testing

#endif  // KLV_GTEST_CUSTOM_PORT_H_
