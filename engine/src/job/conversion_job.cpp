#include "konversi/conversion_job.h"

#include "platform/output_folder.h"

#include <algorithm>

namespace konversi {

void ConversionJob::fill(const std::string& path, const std::string& title, ConversionMode mode)
{
    const std::string_view extension = outputExtension(mode);
    inPath = path;
    inTitle = title;
    inDir = inPath.substr(0, inPath.size() - std::min(inTitle.size(), inPath.size()));
    baseName = inTitle.substr(0, inTitle.find('.'));
    outPath = inDir + baseName;
    outPath += extension;
}

std::string fileNameOf(const std::string& path)
{
    return path.substr(detail::platform::nameStart(path));
}

}  // namespace konversi
