#include "write/polyline_files.h"

#include <string>

namespace konversi::detail {

namespace {

constexpr std::uint64_t lastNumberedPolyline = 999;

std::string polylineFileName(const ConversionJob& job, std::uint64_t counter)
{
    std::string name = job.inDir + job.baseName;
    if (counter > lastNumberedPolyline) return name + ".nnn";
    name += '.';
    name += static_cast<char>('0' + counter / 100);
    name += static_cast<char>('0' + counter / 10 % 10);
    name += static_cast<char>('0' + counter % 10);
    return name;
}

}  // namespace

SequentialWriter& PolylineFiles::startNext()
{
    ++counter_;
    if (counter_ > lastNumberedPolyline) {
        if (!shared_) shared_.emplace(outputs_, polylineFileName(job_, counter_), input_);
        return *shared_;
    }
    numbered_.emplace(outputs_, polylineFileName(job_, counter_), input_);
    return *numbered_;
}

void PolylineFiles::endCurrent()
{
    if (!numbered_) return;
    numbered_->close();
    numbered_.reset();
}

void PolylineFiles::close()
{
    if (shared_) shared_->close();
}

}  // namespace konversi::detail
