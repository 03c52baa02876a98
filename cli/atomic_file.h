// Replacing a file whole or not at all: the new content goes to a temporary file next to the
// target, which is synced to the disk and then renamed over the target, only once everything
// written to it succeeded.
#pragma once

#include <string>

namespace cli {

// The temporary file next to `target` (created at construction with the target's permissions,
// or those of a new file); removed again by the destructor unless committed. Every failure is
// a Failure naming the target.
class FileReplacement {
  public:
    explicit FileReplacement(const std::string& target);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // The temporary file, to be written by the caller.
    const std::string& Path() const { return path_; }
    // Copies the file `source` into the temporary file.
    void CopyFrom(const std::string& source);
    // Moves the temporary file over the target; with `mustBeNew`, fails instead when the target
    // exists by now.
    void Commit(bool mustBeNew);

  private:
    std::string target_;
    std::string path_;
};

// The file a path names, symbolic links followed, so that a replacement replaces the file
// itself; the path as given when it cannot be resolved.
std::string ResolvedPath(const std::string& path);

}  // namespace cli
