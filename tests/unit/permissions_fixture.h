// File permissions in tests that may run as root: while an ObeyFilePermissions lives,
// the process's effective capabilities lack the two that let root read and write past
// a file's permission bits, so a mode of 0 or 0444 means for the test what it means for
// a user. For any other user it changes nothing.
#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace kel::test {

class ObeyFilePermissions {
 public:
  ObeyFilePermissions() {
    if (capget(saved_) != 0) return;
    __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
    lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
    active_ = capset(lowered) == 0;
  }
  ~ObeyFilePermissions() {
    if (active_) capset(saved_);
  }
  ObeyFilePermissions(const ObeyFilePermissions&) = delete;
  ObeyFilePermissions& operator=(const ObeyFilePermissions&) = delete;

 private:
  static int capget(__user_cap_data_struct* data) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return static_cast<int>(syscall(SYS_capget, &header, data));
  }
  static int capset(__user_cap_data_struct* data) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return static_cast<int>(syscall(SYS_capset, &header, data));
  }

  __user_cap_data_struct saved_[2] = {};
  bool active_ = false;
};

}  // namespace kel::test
