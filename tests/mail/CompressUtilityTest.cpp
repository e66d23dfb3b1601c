#include "mail/CompressUtility.h"

#include <gtest/gtest.h>

#include "text/Exceptions.h"

TEST(CompressUtilityList, SortedByNameWhateverTheCase) {
    TCompressUtilityList tools;
    AddBuiltInUtilities(tools);
    EXPECT_EQ(tools.AddUtility("Arc", "arcx", "arc a &Z &F"), 0);
    ASSERT_EQ(tools.Count(), 3);
    EXPECT_EQ(tools.Name(0), "Arc");
    EXPECT_EQ(tools.Extension(0), "arc"); // cut to three characters
    EXPECT_EQ(tools.Name(1), "lha");
    EXPECT_EQ(tools.CommandLine(1), "lha a /m &Z &F");
    // A name differing only in case replaces the tool's fields and keeps the name and its place.
    EXPECT_EQ(tools.AddUtility("PKZIP", "zi", "zip -9 &Z &F"), 2);
    EXPECT_EQ(tools.Count(), 3);
    EXPECT_EQ(tools.Name(2), "pkzip");
    EXPECT_EQ(tools.Extension(2), "zi");
    EXPECT_EQ(tools.CommandLine(2), "zip -9 &Z &F");
    EXPECT_EQ(tools.IndexOf("LHA"), 1);
    tools.Delete(1);
    EXPECT_EQ(tools.IndexOf("lha"), -1);
    EXPECT_THROW(tools.CommandLine(-1), ERangeError); // a compress merge with no tool chosen
    EXPECT_THROW(tools.Delete(2), ERangeError);
}

TEST(CompressUtilityList, AWorkingCopyNeverChangesTheListItCameFrom) {
    TCompressUtilityList tools;
    AddBuiltInUtilities(tools);
    TCompressUtilityList working = tools;
    working.AddUtility("pkzip", "7z", "7z a &Z &F");
    working.Delete(working.IndexOf("lha"));
    EXPECT_EQ(tools.CommandLine(tools.IndexOf("pkzip")), "pkzip &Z &F");
    EXPECT_EQ(tools.Count(), 2);
    tools = working; // OK in the Tools dialog
    EXPECT_EQ(tools.Extension(0), "7z");
    EXPECT_EQ(tools.Count(), 1);
}

TEST(CompressUtilityList, ExtensionsAFileNameCanEndWith) {
    for (const char* good : {"", "7z", "zip", "a_b", "Z~!"})
        EXPECT_TRUE(ValidToolExtension(good)) << good;
    for (const char* bad : {"z.p", "zips", "a b", "a*", "x/y", "\"q\"", "<>", "\t", "\xe9"})
        EXPECT_FALSE(ValidToolExtension(bad)) << bad;
}
