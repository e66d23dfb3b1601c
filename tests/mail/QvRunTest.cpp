#include "mail/QvRun.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>

#include "TestFiles.h"

namespace fs = std::filesystem;

namespace {

// Runs each test with its own temporary directory, where the command files go.
class RunTool : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* tmp = std::getenv("TMPDIR")) m_SavedTmp = tmp;
        ::setenv("TMPDIR", (m_Dir / "").c_str(), 1);
    }
    void TearDown() override {
        if (m_SavedTmp.empty())
            ::unsetenv("TMPDIR");
        else
            ::setenv("TMPDIR", m_SavedTmp.c_str(), 1);
    }

    TTempDir m_Dir;
    std::string m_SavedTmp;
};

TEST_F(RunTool, EachCallLeavesItsOwnCommandFileAndTheDirectoryStays) {
    const fs::path before = fs::current_path();
    EXPECT_TRUE(::RunTool("test \"$(pwd)\" = " + ShellQuote(before.string())))
        << "the tool runs where the caller was";
    EXPECT_FALSE(::RunTool("exit 3"));
    EXPECT_FALSE(::RunTool("no-such-program-anywhere --help 2>/dev/null"));
    EXPECT_EQ(fs::current_path(), before);
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(m_Dir / ""))
        files.push_back(ReadFile(entry.path()));
    ASSERT_EQ(files.size(), 3u);
    EXPECT_TRUE(files[0].starts_with("-2\r\n" + before.string() + "\r\n")) << files[0];
}

TEST_F(RunTool, NamesReachTheToolAsOneArgumentUnchanged) {
    const fs::path odd = m_Dir / "my file's \"name\" $HOME; rm -rf x.txt";
    const fs::path archive = m_Dir / "out put.txt";
    EXPECT_FALSE(SubstituteToolNames("zip -9 &F", archive, odd)) << "no archive placeholder";
    EXPECT_FALSE(SubstituteToolNames("zip &Z", archive, odd)) << "no file placeholder";
    const auto command = SubstituteToolNames("printf '[%s]' &F > &Z", archive, odd);
    ASSERT_TRUE(command);
    EXPECT_TRUE(::RunTool(*command));
    EXPECT_EQ(ReadFile(archive), "[" + odd.string() + "]");
}

TEST_F(RunTool, StoppingWhileItWaitsEndsTheCommandAndWhatItStarted) {
    const fs::path marker = m_Dir / "still running";
    int asked = 0;
    // The shell starts a child that would leave a mark later; both end with the stop.
    EXPECT_FALSE(::RunTool("(sleep 1; touch " + ShellQuote(marker.string()) + ") & wait",
                           [&] { return ++asked < 5; }));
    EXPECT_EQ(asked, 5);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_FALSE(fs::exists(marker));
    EXPECT_TRUE(::RunTool("exit 0", [] { return true; }));
}

} // namespace
