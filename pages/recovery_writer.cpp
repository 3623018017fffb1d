#include "pages/recovery_writer.h"

#include <chrono>
#include <cstdio>
#include <utility>

namespace kel {

namespace {
// Far more than an idle thread ever takes to wake, also on a loaded machine.
constexpr std::chrono::seconds kBeginWithin{2};
}  // namespace

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
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return !waiting_ && !working_; });
  if (!written_.path.empty() && written_.path != path) earlier_.push_back(written_);
  written_ = Kept{path, files_.identity(path)};
}

void RecoveryWriter::ask(Request request) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopping_) return;
    waiting_ = std::move(request);
    if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
  }
  changed_.notify_all();
}

void RecoveryWriter::finish() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return !waiting_ && !working_; });
}

std::optional<std::vector<std::string>> RecoveryWriter::lastFailure() {
  std::lock_guard<std::mutex> lock(mutex_);
  return failure_;
}

bool RecoveryWriter::busy() {
  std::lock_guard<std::mutex> lock(mutex_);
  return waiting_ || working_;
}

void RecoveryWriter::abandon() {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, kBeginWithin, [this] { return !waiting_; });
    waiting_.reset();
    stopping_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void RecoveryWriter::removeIfStillKept(const Kept& kept) {
  if (kept.path.empty() || !kept.identity) return;
  // Another file at the name (the user's, saved there by another program; one put back by
  // hand) is not ours to remove, nor one written over in place since.
  if (files_.identity(kept.path) == kept.identity) files_.remove(kept.path);
}

std::optional<std::vector<std::string>> RecoveryWriter::carryOut(const Request& r) {
  if (r.remove) {
    removeIfStillKept(written_);
    for (const Kept& k : earlier_)
      if (k.path != written_.path) removeIfStillKept(k);
    written_ = {};
    earlier_.clear();
    return std::nullopt;
  }
  for (size_t i = 0; i < r.places.size(); ++i) {
    const std::string& place = r.places[i];
    if (place.empty()) continue;
    if (i > 0 && !files_.makePrivateFolder(files_.stateFolder())) continue;
    if (!files_.replaceContent(place, r.content)) continue;
    if (!written_.path.empty() && written_.path != place) earlier_.push_back(written_);
    for (const Kept& k : earlier_)
      if (k.path != place) removeIfStillKept(k);
    earlier_.clear();
    written_ = Kept{place, files_.identity(place)};
    return std::nullopt;
  }
  std::vector<std::string> tried;
  std::string where;
  for (const std::string& place : r.places) {
    if (place.empty()) continue;
    tried.push_back(place);
    where += "\n  " + place;
  }
  std::fprintf(stderr, "kelvarin: the changed pages could not be written to any of:%s\n",
               where.c_str());
  return tried;
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
    // Taken: a kill from now on finds it under way.
    changed_.notify_all();
    lock.unlock();
    std::optional<std::vector<std::string>> failed = carryOut(r);
    lock.lock();
    failure_ = std::move(failed);
    working_ = false;
    changed_.notify_all();
  }
}

}  // namespace kel
