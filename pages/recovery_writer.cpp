#include "pages/recovery_writer.h"

#include <utility>

namespace kel {

RecoveryWriter::~RecoveryWriter() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void RecoveryWriter::replace(const std::string& path, std::string content) {
  ask(Request{false, path, std::move(content)});
}

void RecoveryWriter::remove(const std::string& path) { ask(Request{true, path, {}}); }

void RecoveryWriter::ask(Request request) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    waiting_ = std::move(request);
    if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
  }
  changed_.notify_all();
}

void RecoveryWriter::finish() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return !waiting_ && !working_; });
}

void RecoveryWriter::run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return waiting_ || stopping_; });
    // What was asked is carried out, stopping or not.
    if (!waiting_) return;
    Request r = std::move(*waiting_);
    waiting_.reset();
    working_ = true;
    lock.unlock();
    if (r.remove) {
      if (files_.exists(r.path)) files_.remove(r.path);
    } else {
      files_.replaceContent(r.path, r.content);
    }
    lock.lock();
    working_ = false;
    changed_.notify_all();
  }
}

}  // namespace kel
