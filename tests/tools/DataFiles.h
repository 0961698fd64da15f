#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tools/art/PngWriter.h"

// The generated data files, read the way the game reads them (through SDL).
namespace datatest {

inline std::string DataPath(const std::string& name)
{
    return std::string(KARSK_TEST_DATA_DIR) + "/" + name;
}

// A picture of the data as 0xRRGGBB pixels; empty, and a failure, when unreadable.
inline ktool::Image Picture(const std::string& name)
{
    ktool::Image image;
    std::string error;
    EXPECT_TRUE(ktool::LoadBmp(DataPath(name), image, error)) << error;
    return image;
}

}  // namespace datatest
