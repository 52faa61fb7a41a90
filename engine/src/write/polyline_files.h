#pragma once

#include "konversi/conversion_job.h"
#include "write/output_files.h"
#include "write/sequential_writer.h"

#include <cstdint>
#include <optional>

namespace konversi::detail {

// The outputs of poly2txt, one per polyline in file order: polylines 1 to
// 999 get a numbered file each (.001 ... .999); all later ones share the one
// file ending ".nnn".
class PolylineFiles {
public:
    PolylineFiles(const ConversionJob& job, OutputFiles& outputs, FileIdentity input)
        : job_(job), outputs_(outputs), input_(input)
    {
    }

    // Starts the next polyline's output and returns its writer.
    SequentialWriter& startNext();
    // Ends the polyline started last: closes its numbered file.
    void endCurrent();
    // Closes the shared file, once every polyline has ended.
    void close();

private:
    const ConversionJob& job_;
    OutputFiles& outputs_;
    FileIdentity input_;
    std::uint64_t counter_ = 0;
    std::optional<SequentialWriter> numbered_;
    std::optional<SequentialWriter> shared_;  // started by the first polyline it holds
};

}  // namespace konversi::detail
