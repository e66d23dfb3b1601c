#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "TestFiles.h"
#include "mail/QvRun.h"

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
    std::vector<fs::path> CommandFiles() const {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(m_Dir / ""))
            if (entry.path().filename().string().starts_with("QVT")) files.push_back(entry.path());
        return files;
    }

    TTempDir m_Dir;
    std::string m_SavedTmp;
};

TEST_F(RunTool, EachCallLeavesItsOwnCommandFile) {
    const fs::path before = fs::current_path();
    EXPECT_TRUE(::RunTool("true"));
    EXPECT_TRUE(::RunTool("exit 0"));
    const auto files = CommandFiles();
    ASSERT_EQ(files.size(), 2u);
    EXPECT_NE(files[0], files[1]);
    EXPECT_EQ(ReadFile(files[0]).substr(0, 4), "-2\r\n");
    EXPECT_NE(ReadFile(files[0]).find(before.string() + "\r\n"), std::string::npos);
    EXPECT_EQ(fs::current_path(), before);
}

TEST_F(RunTool, FailuresAnswerFalseAndTheDirectoryStays) {
    const fs::path before = fs::current_path();
    EXPECT_FALSE(::RunTool("exit 3"));
    EXPECT_EQ(fs::current_path(), before);
    EXPECT_FALSE(::RunTool("no-such-program-anywhere --help 2>/dev/null"));
    EXPECT_EQ(fs::current_path(), before);
    EXPECT_TRUE(::RunTool("test \"$(pwd)\" = " + ShellQuote(before.string()))) << "the tool runs where the caller was";
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
    const auto start = std::chrono::steady_clock::now();
    // The shell starts a child that would leave a mark later; both end with the stop.
    EXPECT_FALSE(::RunTool("(sleep 1; touch " + ShellQuote(marker.string()) + ") & wait",
                           [&] { return ++asked < 5; }));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(800));
    EXPECT_EQ(asked, 5);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_FALSE(fs::exists(marker));
    EXPECT_TRUE(::RunTool("exit 0", [] { return true; }));
}

} // namespace
