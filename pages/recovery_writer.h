// Replaces or removes the recovery file on a thread of its own: an atomic replacement
// flushes the file and its folder, which takes tens of milliseconds, and seconds on a busy
// disk, and the window must not wait for it while the user types. Only the newest request
// counts: one that has not begun when a newer one comes is dropped, since the newer one
// says all it would have said.
#pragma once

#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/files.h"

namespace kel {

class RecoveryWriter {
 public:
  explicit RecoveryWriter(Files& files) : files_(files) {}
  // Carries out what was asked before it goes.
  ~RecoveryWriter();
  RecoveryWriter(const RecoveryWriter&) = delete;
  RecoveryWriter& operator=(const RecoveryWriter&) = delete;

  void replace(const std::string& path, std::string content);
  void remove(const std::string& path);
  // Returns once every request made so far has been carried out.
  void finish();

 private:
  struct Request {
    bool remove = false;
    std::string path;
    std::string content;
  };
  void ask(Request request);
  void run();

  Files& files_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::optional<Request> waiting_;
  bool working_ = false;
  bool stopping_ = false;
  // Started by the first request: most runs never need it.
  std::thread thread_;
};

}  // namespace kel
