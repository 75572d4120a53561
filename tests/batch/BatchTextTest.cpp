// What a person reads of a batch: durations, the progress line and the
// closing summary.
#include "batch/BatchText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(BatchText, DurationsAreRoundedToWhatMatters)
{
    const std::pair<double, const char*> cases[] = {
        {0, "0 s"},    {0.4, "0 s"},        {59.4, "59 s"},        {59.6, "1 min"},
        {60, "1 min"}, {61, "1 min 1 s"},   {3599, "59 min 59 s"}, {3600, "1 h"},
        {3629, "1 h"}, {3631, "1 h 1 min"}, {7199, "2 h"},         {-5, "0 s"},
    };
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(DurationText(seconds), text) << seconds;
}

TEST(BatchText, TheProgressNamesFailuresAndTimeLeftOnceThereAreAny)
{
    TBatchCounts counts;
    counts.Total = 200;
    counts.Done = 30;
    counts.Skipped = 7;
    EXPECT_EQ(BatchProgressText(counts), "37 of 200 done");
    counts.Failed = 2;
    counts.SecondsLeft = 190;
    EXPECT_EQ(BatchProgressText(counts), "37 of 200 done, 2 failed, about 3 min 10 s left");

    counts.Fraction = 0.5;
    EXPECT_EQ(BatchProgressLine(counts, 80),
              "[##############...............] 37 of 200 done, 2 failed, about 3 min 10 s left");
    for (int columns : {1, 20, 45, 60, 200}) {
        const std::string line = BatchProgressLine(counts, columns);
        EXPECT_LE(int(line.size()), std::max(columns - 1, 8)) << columns;
    }
}

TEST(BatchText, TheSummaryCountsEveryEndingAndNamesEachFailure)
{
    std::vector<TPhotoResult> results = {
        {TPhotoEnd::Done, "", ""},
        {TPhotoEnd::Skipped, "", ""},
        {TPhotoEnd::Failed, "a.jpg cannot be opened: not enough memory for a 9000 x 9000 picture", ""},
        {TPhotoEnd::Done, "", "b.jpg is damaged: Premature end of JPEG file"},
        {TPhotoEnd::Failed, "c.png: no such file", ""},
    };
    EXPECT_EQ(BatchSummary(results, 250, false),
              (std::vector<std::string>{
                  "5 photos: 2 done, 1 skipped, 2 failed, in 4 min 10 s",
                  "failed: a.jpg cannot be opened: not enough memory for a 9000 x 9000 picture",
                  "warning: b.jpg is damaged: Premature end of JPEG file",
                  "failed: c.png: no such file",
              }));
    results.push_back({TPhotoEnd::Cancelled, "", ""});
    results.push_back({TPhotoEnd::NotStarted, "", ""});
    EXPECT_EQ(BatchSummary(results, 3, true).front(),
              "7 photos: 2 done, 1 skipped, 2 failed, 2 not done: stopped, in 3 s");
    EXPECT_EQ(BatchSummary({{TPhotoEnd::Done, "", ""}}, 1, false).front(),
              "1 photo: 1 done, 0 skipped, 0 failed, in 1 s");

    EXPECT_EQ(BatchResourcesText(2, 1, std::uint64_t(15) << 30, std::uint64_t(700) << 20),
              "2 photos at a time, 1 thread each, within a memory budget of 15 GiB (at most 700 MiB taken)");
    EXPECT_EQ(BytesText(std::uint64_t(3) << 29), "1.5 GiB");
}

} // namespace
