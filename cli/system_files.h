// The operating system's files, standard streams and arguments as the command uses them. Paths
// are UTF-8 (on Windows converted to UTF-16 for the system); descriptors are opened in binary
// mode and are not inherited by programs the command might start. Failures set errno.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace cli {

// The command's arguments in UTF-8: argv on POSIX, the wide command line on Windows.
std::vector<std::string> Utf8Arguments(int argc, char** argv);
// Standard input, output and error pass bytes unchanged (no CR-LF translation on Windows).
void UseBinaryStandardStreams();

// A descriptor of `path` opened with `flags` (O_RDONLY, O_WRONLY | O_CREAT | O_EXCL, ...),
// -1 on failure.
int OpenFile(const std::string& path, int flags);
// Whether `path` names a directory (which opens for reading on POSIX and not on Windows).
bool IsDirectory(const std::string& path);
// Forces what was written to `path` onto the disk.
bool SyncFile(const std::string& path);
// Forces the directory entries of `path`'s directory onto the disk (nothing to do on Windows).
void SyncDirectoryOf(const std::string& path);
// Gives the file `from` the name `to`, replacing a file of that name when `replace`, else
// failing with EEXIST when it exists; 0 or an errno value.
int RenameFile(const std::string& from, const std::string& to, bool replace);
// Gives `path` the permissions of the file `like` (those of a new file when it does not
// exist); nothing on Windows.
void CopyPermissions(const std::string& like, const std::string& path);
// Whether two paths name the same file, by the identity the system gives files (device and
// inode; volume and file index); false when either does not exist, and "-" names no file.
// And whether standard output is the file that `path` names.
bool SameFile(const std::string& a, const std::string& b);
bool StandardOutputIs(const std::string& path);
// One line of `in` without its end, or false at the end of the input (then errno and
// ferror() tell a failure).
bool ReadLine(std::FILE* in, std::string* line);

}  // namespace cli
