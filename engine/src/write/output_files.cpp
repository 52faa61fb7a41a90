#include "write/output_files.h"

#include "konversi/error.h"
#include "platform/output_folder.h"

#include <array>
#include <atomic>
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
    platform::Folder folder;  // this and the name are read only while published
    char name[platform::maxNameLength + 1];
};

}  // namespace detail

namespace {

using detail::FileIdentity;
using detail::LiveTemporary;
namespace platform = detail::platform;

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

void publish(LiveTemporary* slot, platform::Folder folder, const std::string& name) noexcept
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
    name.append(target, 0, platform::maxNameLength - 1 - temporaryMark.size() - randomLetterCount);
    name += temporaryMark;
    for (std::size_t i = 0; i < randomLetterCount; ++i)
        name += letters[pick(random)];
    return name;
}

// Checks that the output `name` may be replaced and returns what it holds,
// if anything. A name that resolves to the input is refused even through a
// link: the user meant the input.
std::optional<platform::ExistingFile> checkReplaceable(platform::Folder folder,
                                                       const std::string& name, FileIdentity input,
                                                       const WrittenOutputs& written)
{
    const std::optional<platform::ExistingFile> existing = platform::inspect(folder, name);
    if (!existing) return existing;
    const FileIdentity identity = existing->identity;
    if (identity == input || existing->linked == input) throw Error(ErrorCode::FileAlreadyOpen);
    if (written.contains(identity.device, identity.inode))
        throw Error(ErrorCode::FileAlreadyExists);
    // A FIFO would block the program, and a device or socket is no file to
    // save; none is opened.
    if (!existing->link && !existing->writableFile) throw Error(ErrorCode::PathFileAccess);
    return existing;
}

// Holds back the stops of konversi-cli while the temporaries are renamed: a
// stop asked for then comes after the last rename, so that a conversion never
// ends with some of its outputs replaced and others not.
class StopsHeld {
public:
    StopsHeld() noexcept { platform::holdStops(); }
    ~StopsHeld() { platform::releaseStops(); }
    StopsHeld(const StopsHeld&) = delete;
    StopsHeld& operator=(const StopsHeld&) = delete;
};

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
    platform::awaitHeldStops();
    for (const LiveTemporary& slot : liveTemporaries) {
        if (slot.state.load(std::memory_order_acquire) == LiveTemporary::Published)
            platform::remove(slot.folder, slot.name);
    }
}

namespace detail {

OutputFiles::~OutputFiles()
{
    for (const Temporary& temporary : temporaries_) {
        platform::remove(temporary.folder, temporary.name.c_str());
        release(temporary.live);
    }
    for (const Folder& folder : folders_)
        platform::closeFolder(folder.handle);
}

platform::OutputHandle OutputFiles::start(const std::string& path, FileIdentity input)
{
    const std::string target = path.substr(platform::nameStart(path));
    const platform::Folder folder = openFolder(platform::folderOf(path));
    const std::optional<platform::ExistingFile> replaced =
        checkReplaceable(folder, target, input, written_);
    const platform::OutputHandle file = create(folder, target);
    const std::optional<FileIdentity> identity = platform::settle(file, replaced);
    if (!identity) {
        platform::close(file);
        throw Error(ErrorCode::PathFileAccess);
    }
    temporaries_.back().identity = *identity;
    return file;
}

// Each folder is opened once, and its temporaries are created, renamed and
// removed relative to it: the signal handler then needs no path of its own.
platform::Folder OutputFiles::openFolder(const std::string& path)
{
    for (const Folder& folder : folders_) {
        if (folder.path == path) return folder.handle;
    }
    folders_.reserve(folders_.size() + 1);
    return folders_.emplace_back(Folder{path, platform::openFolder(path)}).handle;
}

// Creates the temporary for `target` under a name no other file has. The name
// is published before the file exists, so that a signal never meets a
// temporary it does not know.
platform::OutputHandle OutputFiles::create(platform::Folder folder, const std::string& target)
{
    Temporary temporary{folder, {}, target, {}, claimLiveSlot()};
    temporaries_.reserve(temporaries_.size() + 1);
    for (int attempt = 0; attempt < creationAttempts; ++attempt) {
        temporary.name = temporaryNameFor(target);
        publish(temporary.live, folder, temporary.name);
        std::optional<platform::OutputHandle> file;
        try {
            file = platform::createNew(folder, temporary.name);
        } catch (const Error&) {
            release(temporary.live);
            throw;
        }
        if (file) {
            temporaries_.push_back(std::move(temporary));
            return *file;
        }
    }
    release(temporary.live);
    throw Error(ErrorCode::PathFileAccess);
}

// Puts the temporary in its target's place, setting aside the file it
// replaces where the system can, until the whole commit has succeeded.
bool OutputFiles::putInPlace(Temporary& temporary)
{
    temporary.placement = platform::putInPlace(temporary.folder, temporary.name, temporary.target);
    return temporary.placement != platform::Placement::NotPlaced;
}

// Undoes putInPlace: the earlier file returns to its name, or the new one
// leaves it, and the temporary is again what the destructor removes.
void OutputFiles::putBack(Temporary& temporary)
{
    platform::putBack(temporary.folder, temporary.name, temporary.target, temporary.placement);
    temporary.placement = platform::Placement::NotPlaced;
}

// Removes the earlier file that putInPlace set aside, once every output is
// in place.
void OutputFiles::removeSetAside(const Temporary& temporary)
{
    if (temporary.placement == platform::Placement::SetAside)
        platform::removeSetAside(temporary.folder, temporary.name);
}

// The temporaries are not synced before they replace their targets, which
// would cost a large conversion much of its time. All or nothing: when one
// cannot be put in place, those before it are put back, so that a failed
// commit leaves every earlier output as it was.
void OutputFiles::commit()
{
    const StopsHeld held;
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
