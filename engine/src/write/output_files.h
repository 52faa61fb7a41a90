#pragma once

#include "konversi/converters.h"
#include "platform/file_identity.h"
#include "platform/output_folder.h"

#include <string>
#include <vector>

namespace konversi::detail {

struct LiveTemporary;

// The outputs of one conversion, saved the way QSaveFile saves: each is
// written to a temporary file beside its name (".peta.dxf.konversi-XXXXXX")
// and commit() renames them all over their names once the whole conversion
// has succeeded. Temporaries not committed are removed on destruction, so a
// conversion that fails changes no file.
class OutputFiles {
public:
    explicit OutputFiles(WrittenOutputs& written) noexcept : written_(written) {}
    ~OutputFiles();
    OutputFiles(const OutputFiles&) = delete;
    OutputFiles& operator=(const OutputFiles&) = delete;

    // Checks `path` as an output of a conversion of `input`, then creates its
    // temporary and returns it open for writing. Nothing is
    // created when the check fails: error 55 when `path` is the input, 58
    // when an earlier conversion of the batch wrote it, 75 when it is a
    // folder, a FIFO, socket or device, or a file the user may not write, 76
    // when its folder is missing. A symbolic link is replaced, never written
    // through.
    platform::OutputHandle start(const std::string& path, FileIdentity input);

    // A writer abandoned after one of its writes had failed says so here:
    // that failure came first, whatever error then ended the conversion.
    void noteFailedWrite() noexcept { writeFailed_ = true; }
    bool writeFailed() const noexcept { return writeFailed_; }

    // Renames every temporary over its name, in the order they were started,
    // all or none: error 75, with every name as it was, when one fails.
    // Their writers must be closed.
    void commit();

private:
    struct Folder {
        std::string path;
        platform::Folder handle;
    };
    struct Temporary {
        platform::Folder folder;
        std::string name;
        std::string target;  // the name it replaces
        FileIdentity identity;
        LiveTemporary* live;
        platform::Placement placement = platform::Placement::NotPlaced;
    };

    platform::Folder openFolder(const std::string& path);
    platform::OutputHandle create(platform::Folder folder, const std::string& target);
    static bool putInPlace(Temporary& temporary);
    static void putBack(Temporary& temporary);
    static void removeSetAside(const Temporary& temporary);

    WrittenOutputs& written_;
    std::vector<Folder> folders_;
    std::vector<Temporary> temporaries_;
    bool writeFailed_ = false;
};

}  // namespace konversi::detail
