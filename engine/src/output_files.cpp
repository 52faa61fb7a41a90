#include "output_files.h"

#include "konversi/error.h"
#include "system_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <optional>
#include <random>
#include <string_view>

namespace konversi {

namespace detail {

// A temporary that exists at this moment, for removeTemporaryOutputs(),
// which a signal handler calls: the storage is fixed and a name is published
// by one atomic store, so the handler allocates nothing, takes no lock and
// never reads a half-written name.
struct LiveTemporary {
    enum State : int { Free, Claimed, Published };
    std::atomic<int> state{Free};
    int folder;  // this and the name are read only while published
    char name[NAME_MAX + 1];
};

}  // namespace detail

namespace {

using detail::LiveTemporary;

// Room for poly2txt's 999 numbered files and its shared one. Only a process
// running several such conversions at once could want more; the temporaries
// beyond are written all the same, but a signal cannot remove them. Constant
// initialisation keeps the slots in zero pages until used, rather than
// 256 KiB written at every start.
constinit std::array<LiveTemporary, 1024> liveTemporaries{};

LiveTemporary* claimLiveSlot() noexcept
{
    for (LiveTemporary& slot : liveTemporaries) {
        int expected = LiveTemporary::Free;
        if (slot.state.compare_exchange_strong(expected, LiveTemporary::Claimed)) return &slot;
    }
    return nullptr;
}

void publish(LiveTemporary* slot, int folder, const std::string& name) noexcept
{
    if (slot == nullptr) return;
    slot->state.store(LiveTemporary::Claimed);
    std::memcpy(slot->name, name.c_str(), name.size() + 1);
    slot->folder = folder;
    slot->state.store(LiveTemporary::Published, std::memory_order_release);
}

void release(LiveTemporary* slot) noexcept
{
    if (slot != nullptr) slot->state.store(LiveTemporary::Free, std::memory_order_release);
}

constexpr std::string_view temporaryMark = ".konversi-";
constexpr std::size_t randomLetterCount = 6;
constexpr int creationAttempts = 100;

// ".peta.dxf.konversi-XXXXXX": hidden, and plainly this program's. A long
// output name is cut so that the temporary's own stays within the limit.
std::string temporaryNameFor(const std::string& target)
{
    static constexpr std::string_view letters =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::minstd_rand random{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, letters.size() - 1);
    std::string name = ".";
    name.append(target, 0, NAME_MAX - 1 - temporaryMark.size() - randomLetterCount);
    name += temporaryMark;
    for (std::size_t i = 0; i < randomLetterCount; ++i)
        name += letters[pick(random)];
    return name;
}

FileIdentity identityOf(const struct stat& info)
{
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

bool linksTo(int folder, const std::string& name, FileIdentity file)
{
    struct stat info {};
    return ::fstatat(folder, name.c_str(), &info, 0) == 0 && identityOf(info) == file;
}

// Checks that the output `name` may be replaced and returns the permission
// bits the new file keeps: those of the file it replaces, or none for the
// umask to decide when it is new or replaces a symbolic link. A name that
// resolves to the input is refused even through a link: the user meant the
// input.
std::optional<mode_t> checkReplaceable(int folder, const std::string& name, FileIdentity input,
                                       const WrittenOutputs& written)
{
    struct stat info {};
    if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT) return std::nullopt;
        throw Error(detail::outputOpenError(errno));
    }
    const FileIdentity identity = identityOf(info);
    const bool link = S_ISLNK(info.st_mode);
    if (identity == input || (link && linksTo(folder, name, input)))
        throw Error(ErrorCode::FileAlreadyOpen);
    if (written.contains(identity.device, identity.inode))
        throw Error(ErrorCode::FileAlreadyExists);
    if (link) return std::nullopt;
    // A FIFO would block the program, and a device or socket is no file to
    // save; none is opened.
    if (!S_ISREG(info.st_mode) || ::faccessat(folder, name.c_str(), W_OK, AT_EACCESS) != 0)
        throw Error(ErrorCode::PathFileAccess);
    return info.st_mode & 0777;
}

// Holds back the signals that stop konversi-cli while the temporaries are
// renamed: a stop asked for then comes after the last rename, so that a
// conversion never ends with some of its outputs replaced and others not.
class StopSignalsHeld {
public:
    StopSignalsHeld() noexcept
    {
        sigset_t stops;
        ::sigemptyset(&stops);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP})
            ::sigaddset(&stops, signal);
        ::pthread_sigmask(SIG_BLOCK, &stops, &previous_);
    }
    ~StopSignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    StopSignalsHeld(const StopSignalsHeld&) = delete;
    StopSignalsHeld& operator=(const StopSignalsHeld&) = delete;

private:
    sigset_t previous_;
};

bool isFolderAt(int folder, const std::string& name)
{
    struct stat info {};
    return ::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISDIR(info.st_mode);
}

}  // namespace

bool WrittenOutputs::contains(std::uint64_t device, std::uint64_t inode) const
{
    return files_.contains({device, inode});
}

void WrittenOutputs::add(std::uint64_t device, std::uint64_t inode)
{
    files_.insert({device, inode});
}

void removeTemporaryOutputs() noexcept
{
    for (const LiveTemporary& slot : liveTemporaries) {
        if (slot.state.load(std::memory_order_acquire) == LiveTemporary::Published)
            ::unlinkat(slot.folder, slot.name, 0);
    }
}

namespace detail {

OutputFiles::~OutputFiles()
{
    for (const Temporary& temporary : temporaries_) {
        ::unlinkat(temporary.folder, temporary.name.c_str(), 0);
        release(temporary.live);
    }
    for (const Folder& folder : folders_)
        ::close(folder.fd);
}

int OutputFiles::start(const std::string& path, FileIdentity input)
{
    const auto slash = path.rfind('/');
    const std::string target = slash == std::string::npos ? path : path.substr(slash + 1);
    const int folder = openFolder(folderOf(path));
    const std::optional<mode_t> mode = checkReplaceable(folder, target, input, written_);
    const int fd = create(folder, target);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || (mode && ::fchmod(fd, *mode) != 0)) {
        ::close(fd);
        throw Error(ErrorCode::PathFileAccess);
    }
    temporaries_.back().identity = identityOf(info);
    return fd;
}

// Each folder is opened once, and its temporaries are created, renamed and
// removed relative to it: the signal handler then needs no path of its own.
int OutputFiles::openFolder(const std::string& path)
{
    for (const Folder& folder : folders_) {
        if (folder.path == path) return folder.fd;
    }
    Folder folder{path, ::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC)};
    if (folder.fd < 0) throw Error(outputOpenError(errno));
    folders_.reserve(folders_.size() + 1);
    return folders_.emplace_back(std::move(folder)).fd;
}

// Creates the temporary for `target` under a name no other file has. The name
// is published before the file exists, so that a signal never meets a
// temporary it does not know.
int OutputFiles::create(int folder, const std::string& target)
{
    Temporary temporary{folder, {}, target, {}, claimLiveSlot()};
    temporaries_.reserve(temporaries_.size() + 1);
    for (int attempt = 0; attempt < creationAttempts; ++attempt) {
        temporary.name = temporaryNameFor(target);
        publish(temporary.live, folder, temporary.name);
        const int fd =
            ::openat(folder, temporary.name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            temporaries_.push_back(std::move(temporary));
            return fd;
        }
        if (errno != EEXIST) {
            const int error = errno;
            release(temporary.live);
            throw Error(outputOpenError(error));
        }
    }
    release(temporary.live);
    throw Error(ErrorCode::PathFileAccess);
}

// Puts the temporary in its target's place. An existing target is swapped
// with it, so that the earlier file waits under the temporary's name until
// the whole commit has succeeded: the swap is atomic, and a plain rename over
// it would make ext4 (auto_da_alloc, on by default) write the whole new file
// out within the rename, which costs a large conversion a third of its time.
// Where the file system cannot swap, or the target does not exist, it is a
// rename, and nothing is set aside.
bool OutputFiles::putInPlace(Temporary& temporary)
{
    const char* const name = temporary.name.c_str();
    const char* const target = temporary.target.c_str();
    if (::renameat2(temporary.folder, name, temporary.folder, target, RENAME_EXCHANGE) == 0) {
        temporary.setAside = true;
        if (!isFolderAt(temporary.folder, temporary.name)) return true;
        // A folder took the target's name while converting: it goes back.
        putBack(temporary);
        return false;
    }
    return ::renameat(temporary.folder, name, temporary.folder, target) == 0;
}

// Undoes putInPlace: the earlier file returns to its name, or the new one
// leaves it, and the temporary is again what the destructor removes.
void OutputFiles::putBack(Temporary& temporary)
{
    const char* const name = temporary.name.c_str();
    const char* const target = temporary.target.c_str();
    if (temporary.setAside) {
        ::renameat2(temporary.folder, name, temporary.folder, target, RENAME_EXCHANGE);
    } else {
        ::renameat(temporary.folder, target, temporary.folder, name);
    }
    temporary.setAside = false;
}

// Removes the earlier file that putInPlace set aside, once every output is
// in place.
void OutputFiles::removeSetAside(const Temporary& temporary)
{
    if (temporary.setAside) ::unlinkat(temporary.folder, temporary.name.c_str(), 0);
}

// The temporaries are not synced before they replace their targets, which
// would cost a large conversion much of its time. All or nothing: when one
// cannot be put in place, those before it are put back, so that a failed
// commit leaves every earlier output as it was.
void OutputFiles::commit()
{
    const StopSignalsHeld held;
    std::size_t placed = 0;
    while (placed < temporaries_.size() && putInPlace(temporaries_[placed]))
        ++placed;
    if (placed < temporaries_.size()) {
        while (placed > 0)
            putBack(temporaries_[--placed]);
        throw Error(ErrorCode::PathFileAccess);
    }
    for (const Temporary& temporary : temporaries_) {
        removeSetAside(temporary);
        release(temporary.live);
        written_.add(temporary.identity.device, temporary.identity.inode);
    }
    temporaries_.clear();
}

}  // namespace detail

}  // namespace konversi
