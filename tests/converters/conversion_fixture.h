#pragma once

#include "konversi/conversion_job.h"
#include "konversi/converters.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace konversi {

using Files = std::map<std::string, std::string>;  // file name -> bytes

// Runs converters in a fresh folder, filling the job as the window does from
// the input's full path and its name, with the options konversi-cli would set.
class Conversion : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return dir_.file(name); }
    void put(const std::string& name, std::string_view bytes)
    {
        test::writeFile(path(name), bytes);
    }

    void run(const std::string& name, ConversionMode mode, const ConversionOptions& options = {})
    {
        ConversionJob job;
        job.fill(path(name), name, mode);
        job.options = options;
        convert(job, mode);
    }

    // Every regular file of the folder except `input`, with its bytes.
    Files filesBeside(const std::string& input) const
    {
        Files files;
        for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
            const std::string name = entry.path().filename().string();
            if (name == input || entry.is_symlink() || !entry.is_regular_file()) continue;
            files[name] = test::readFile(entry.path().string());
        }
        return files;
    }

    test::TempDir dir_;
};

}  // namespace konversi
