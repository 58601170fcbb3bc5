#pragma once
// Files as the system calls see them, for the tests of what the program
// writes: bytes read and written without Qt's name decoding, a folder's
// entries with their types, and a small private file system to fill up.
// POSIX only.
#include <QByteArray>

#include <functional>
#include <map>
#include <string>

namespace korvalen::testing {

/// Everything left on @p fd, which is then closed.
QByteArray ReadToEnd(int fd);
/// A file's bytes, or a "<cannot open: ...>" text. Never blocks on a FIFO.
QByteArray ReadBytes(const std::string& path);
/// Creates or truncates @p path (mode 0644) to hold @p bytes.
bool WriteBytes(const std::string& path, const QByteArray& bytes);

/// What a folder holds, entry by entry, seen without following or opening
/// anything: the type, the inode and, for a link, where it points.
std::map<std::string, std::string> Entries(const std::string& folder);
/// The entries' names, sorted, joined by single spaces.
std::string Names(const std::map<std::string, std::string>& entries);

/// Makes a null character device at @p path (root only).
bool MakeNullDevice(const std::string& path);

/// A device for a link to point at. Root gets a null device of the test's
/// own in @p folder: a faulty write that replaced what the link points at
/// would otherwise cost the machine its /dev/null. Anyone else links to
/// /dev/null itself, which they cannot replace. Empty when there is none.
std::string LinkableDevice(const std::string& folder);

/// Gives the calling process a mount namespace of its own with an empty
/// tmpfs of @p kib KiB on @p folder. Root may have one outright; anyone else
/// becomes root of a user namespace first. Meant for a forked child.
/// @return why not, or nothing
std::string EnterSmallFileSystem(const std::string& folder, int kib);

/// Runs @p body in a forked child process and hands back what it returned.
/// The child ends right after, without exit handlers (they belong to the
/// parent's test run) and whatever body throws. A child that has not
/// answered within @p seconds is killed. Text in angle brackets alone says
/// why no answer came.
std::string AnswerFromChild(const std::function<std::string()>& body, int seconds = 60);

/// What a body run on a small file system of its own answered.
struct Isolated {
    bool ran;          ///< false: no such file system here (text says why)
    std::string text;  ///< the body's answer, or why it could not run
};

/// Runs @p body in a forked child process whose @p folder is an empty tmpfs
/// of @p kib KiB of its own (EnterSmallFileSystem), and hands back body's
/// answer. The child ends without running exit handlers, which belong to
/// the parent's test run.
Isolated InSmallFileSystem(const std::string& folder, int kib, const std::function<std::string()>& body);

/// Fills the file system of @p folder but for @p freeBytes (whole pages),
/// with a file named "filler". @return why not, or nothing
std::string FillLeaving(const std::string& folder, long freeBytes);

}  // namespace korvalen::testing
