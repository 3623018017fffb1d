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
#include <vector>

#include "platform/files.h"

namespace kel {

class RecoveryWriter {
 public:
  explicit RecoveryWriter(Files& files) : files_(files) {}
  // Carries out what was asked before it goes.
  ~RecoveryWriter();
  RecoveryWriter(const RecoveryWriter&) = delete;
  RecoveryWriter& operator=(const RecoveryWriter&) = delete;

  // Writes the content to the first of the places that takes it (a folder of that name, a
  // folder that may not be written, a full disk: the next one; the places after the first
  // are in the user's state folder, made when first needed). The file written before, when
  // it was another, goes: a run keeps one file. When no place takes it, standard error says
  // so, lastFailure() names the places, and the file written before stays.
  void replace(std::vector<std::string> places, std::string content);
  // Removes the file written last (or adopted).
  void remove();
  // The file an earlier run left, or one of this program's recovery files the user opened,
  // which this run keeps its pages in from now on: the next replace writes it first, and a
  // remove takes it away. A file this run kept its pages in before, when it is another, goes
  // with the next write. Waits for the requests made before.
  void adopt(const std::string& path);
  // Returns once every request made so far has been carried out.
  void finish();
  // The places the last write carried out tried, when none of them took the pages; nothing
  // once a write or a removal has been carried out since (or before any write). Read on the
  // window's thread while this one writes.
  std::optional<std::vector<std::string>> lastFailure();
  // Whether a request waits or is being carried out.
  bool busy();
  // What a kill (SIGKILL, a power cut) leaves of the writer's work: a write under way ends
  // as the disk has it, a request not begun is lost, and nothing is carried out after. For
  // the tests that end a run so: their clock runs far ahead of the real one, so the thread
  // is first given the moment it would have had to begin what it was handed (it begins a
  // request at once when idle); a writer that does not begin one on its own loses it.
  void abandon();

 private:
  struct Request {
    bool remove = false;
    std::vector<std::string> places;
    std::string content;
  };
  // A file the pages were kept in: it is removed only while it is still the file that was
  // written (or adopted), never another one put at its name since.
  struct Kept {
    std::string path;
    std::optional<FileIdentity> identity;
  };
  void ask(Request request);
  void run();
  // The places tried when none took the pages; nothing when the request was carried out.
  std::optional<std::vector<std::string>> carryOut(const Request& r);
  void removeIfStillKept(const Kept& kept);

  Files& files_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::optional<Request> waiting_;
  bool working_ = false;
  bool stopping_ = false;
  std::optional<std::vector<std::string>> failure_;
  // Where the pages were last written, and the files kept before that are still to go; only
  // the writing thread touches them while it works, adopt() only while it is idle.
  Kept written_;
  std::vector<Kept> earlier_;
  // Started by the first request: most runs never need it.
  std::thread thread_;
};

}  // namespace kel
