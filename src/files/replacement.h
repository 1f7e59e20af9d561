// A file written so that it is either whole or not there at all: the bytes
// go to a new temporary file beside the target, which takes the target's
// place by a rename only once every byte is on disk. A write that fails
// (a full disk) never leaves a truncated file under the target's name, and
// a target that is a link is replaced, never written through.
//
// The temporary file is ".NAME.scanmend-new" in the target's directory,
// created anew (a stale one from an interrupted run is removed first); it
// is removed again unless the replacement is committed.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace scanmend {

class Replacement {
 public:
  explicit Replacement(std::string target);
  ~Replacement();
  Replacement(Replacement&& other) noexcept;
  Replacement& operator=(Replacement&&) = delete;
  Replacement(const Replacement&) = delete;
  Replacement& operator=(const Replacement&) = delete;

  // Appends bytes as they are, or text with every LF written as CR LF.
  // False once any write failed; the temporary file is created by the
  // first write.
  bool write(std::string_view bytes);
  bool writeText(std::string_view text);
  // Flushes and closes the temporary file; false when anything failed.
  bool close();
  // Closes, then renames the temporary file over the target; false, with
  // the temporary file removed, when that fails.
  bool commit();

  const std::string& target() const { return target_; }
  // The new file, which a commit renames: its times are the target's then.
  const std::string& temporary() const { return temporary_; }

 private:
  bool open();

  std::string target_;
  std::string temporary_;
  std::FILE* file_ = nullptr;
  bool failed_ = false;
  bool created_ = false;
  bool committed_ = false;
};

}  // namespace scanmend
