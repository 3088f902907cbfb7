// What long commands say while they run and when they are stopped.
#include "messages.hpp"

#include <gtest/gtest.h>

namespace scene {

namespace {

TEST(Messages, CountsAreGroupedByThousands) {
    for (long count : {0L, 7L, 999L, 1000L, 20000L, 1234567L, -45678L}) {
        std::string digits = GroupedCount(count);
        std::erase(digits, ',');
        EXPECT_EQ(digits, std::to_string(count));  // commas only, at every third digit
        const std::string grouped = GroupedCount(count);
        for (size_t at = grouped.size(); at >= 4; at -= 4) EXPECT_EQ(grouped[at - 4], ',');
    }
    EXPECT_EQ(ProgressText(Work::WritingCopies, 1233, 20000), "Writing copy 1,234 of 20,000");
    EXPECT_EQ(ProgressText(Work::FixingModels, 11, 300), "Fixing model 12 of 300");
    EXPECT_EQ(StoppedText(Work::WritingCopies, 1234, 20000),
              "Stopped: 1,234 of 20,000 copies written");
    EXPECT_EQ(StoppedText(Work::FixingModels, 12, 300), "Stopped: 12 of 300 models checked");
}

}  // namespace

}  // namespace scene
