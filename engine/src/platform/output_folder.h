#pragma once

#include "platform/file_identity.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// Every call of the system that saving the outputs needs. Names are UTF-8.
namespace konversi::detail::platform {

// The longest file name, in bytes, that every system here takes.
inline constexpr std::size_t maxNameLength = 255;

// Where the file name in `path` starts: after its last folder separator, or
// 0 when it has none.
std::size_t nameStart(const std::string& path);

// The folder part of `path`, to open: "." when it has none.
std::string folderOf(const std::string& path);

// A folder that outputs are written in; every name given with it is a single
// file name. A stop may still remove a temporary through it.
using Folder = int;

// Error 76 when the folder is missing or no folder, 75 otherwise.
Folder openFolder(const std::string& path);
void closeFolder(Folder folder) noexcept;

// What an output's name holds before it is replaced.
struct ExistingFile {
    FileIdentity identity;
    // A symbolic link, replaced rather than written through, with the
    // identity of the file it leads to when there is one.
    bool link = false;
    std::optional<FileIdentity> linked;
    // A plain file (no folder, FIFO, socket or device) the user may write.
    bool writableFile = false;
    std::uint32_t permissions = 0;  // which the new file keeps
};

// Nothing when the name is free; error 76 when a folder on the way is
// missing, 75 when the name cannot be looked at.
std::optional<ExistingFile> inspect(Folder folder, const std::string& name);

// A file open for writing: a descriptor, or a Windows HANDLE.
using OutputHandle = std::intptr_t;

// Creates `name` for writing, only if no file has it: nothing when one has;
// error 76 when the folder is gone, 75 for any other failure.
std::optional<OutputHandle> createNew(Folder folder, const std::string& name);

// The identity of a file just created, after giving it the permissions of
// the file it replaces, if any; nothing when either fails.
std::optional<FileIdentity> settle(OutputHandle file, const std::optional<ExistingFile>& replaced);

// Writes all of [data, data + size), retrying after signals and short
// writes; false when the file takes no more.
bool writeAll(OutputHandle file, const char* data, std::size_t size) noexcept;

// False when the file could not be written out.
bool close(OutputHandle file) noexcept;

// How a temporary was put in its target's place.
enum class Placement {
    NotPlaced,
    Renamed,   // over the target, or where no file was
    SetAside,  // the file it replaced kept apart until removeSetAside()
};

// Puts the file `temporary` in the place of `target` in one step: either the
// old file or the new one has the name at every moment. The file replaced is
// set aside where the system can. NotPlaced when it cannot be done, such as
// when a folder took the name meanwhile.
Placement putInPlace(Folder folder, const std::string& temporary, const std::string& target);

// Undoes putInPlace: the file set aside returns to `target`, or the new file
// goes back to `temporary`.
void putBack(Folder folder, const std::string& temporary, const std::string& target,
             Placement placement);

// Removes the file that putInPlace set aside.
void removeSetAside(Folder folder, const std::string& temporary);

// Removes a file; a stop calls it too, so it allocates nothing on POSIX.
void remove(Folder folder, const char* name) noexcept;

// Holds back a stop of the program (a signal, Ctrl+C, the console closing)
// from holdStops() to releaseStops() on this thread, so that a stop comes
// either before or after what is done between them.
void holdStops() noexcept;
void releaseStops() noexcept;
// A stop waits here for stops to be released on other threads; the stop then
// holds them itself, as the program ends.
void awaitHeldStops() noexcept;

}  // namespace konversi::detail::platform
