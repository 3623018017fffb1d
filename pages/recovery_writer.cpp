#include "pages/recovery_writer.h"

#include <cstdio>
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

void RecoveryWriter::replace(std::vector<std::string> places, std::string content) {
  ask(Request{false, std::move(places), std::move(content)});
}

void RecoveryWriter::remove() { ask(Request{true, {}, {}}); }

void RecoveryWriter::adopt(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!working_ && !waiting_) written_ = path;
}

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

void RecoveryWriter::carryOut(const Request& r) {
  if (r.remove) {
    if (!written_.empty() && files_.exists(written_)) files_.remove(written_);
    written_.clear();
    return;
  }
  for (size_t i = 0; i < r.places.size(); ++i) {
    const std::string& place = r.places[i];
    if (place.empty()) continue;
    if (i > 0 && !files_.makePrivateFolder(files_.stateFolder())) continue;
    if (!files_.replaceContent(place, r.content)) continue;
    if (!written_.empty() && written_ != place && files_.exists(written_)) files_.remove(written_);
    written_ = place;
    return;
  }
  std::string where;
  for (const std::string& place : r.places)
    if (!place.empty()) where += "\n  " + place;
  std::fprintf(stderr, "kelvarin: the changed pages could not be written to any of:%s\n",
               where.c_str());
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
    carryOut(r);
    lock.lock();
    working_ = false;
    changed_.notify_all();
  }
}

}  // namespace kel
