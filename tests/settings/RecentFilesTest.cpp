#include "settings/RecentFiles.h"

#include "tests/settings/TempDir.h"

namespace {

using RecentFiles = TempDirTest;

TEST_F(RecentFiles, TheNewestComesFirstOnceAndTheListStaysShort)
{
    std::vector<std::string> files;
    for (int i = 1; i <= 10; ++i)
        AddRecentFile(files, "/p/" + std::to_string(i) + ".jpg");
    AddRecentFile(files, "/p/5.jpg");
    const std::vector<std::string> expected = {"/p/5.jpg", "/p/10.jpg", "/p/9.jpg", "/p/8.jpg",
                                               "/p/7.jpg", "/p/6.jpg",  "/p/4.jpg", "/p/3.jpg"};
    EXPECT_EQ(files, expected);

    const std::string path = PathOf("recent.txt");
    EXPECT_TRUE(ReadRecentFiles(path).empty());
    files.push_back("/bad\nname.jpg");
    ASSERT_TRUE(WriteRecentFiles(path, files));
    EXPECT_EQ(ReadRecentFiles(path), expected);
}

} // namespace
