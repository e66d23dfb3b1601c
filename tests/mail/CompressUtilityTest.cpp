#include "mail/CompressUtility.h"

#include <gtest/gtest.h>

#include "text/Exceptions.h"

TEST(CompressUtilityList, SortedByNameWhateverTheCase) {
    TCompressUtilityList tools;
    AddBuiltInUtilities(tools);
    EXPECT_EQ(tools.AddUtility("Arc", "arcx", "arc a &Z &F"), 0);
    EXPECT_EQ(tools.Extension(0), "arc"); // cut to three characters
    // A name differing only in case replaces the tool's fields and keeps the name and its place.
    EXPECT_EQ(tools.AddUtility("PKZIP", "zi", "zip -9 &Z &F"), 2);
    ASSERT_EQ(tools.Count(), 3);
    EXPECT_EQ(tools.Name(2), "pkzip");
    EXPECT_EQ(tools.CommandLine(2), "zip -9 &Z &F");
    tools.Delete(tools.IndexOf("LHA"));
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
}

TEST(CompressUtilityList, ExtensionsAFileNameCanEndWith) {
    for (const char* good : {"", "7z", "zip", "a_b", "Z~!"})
        EXPECT_TRUE(ValidToolExtension(good)) << good;
    for (const char* bad : {"z.p", "zips", "a b", "a*", "x/y", "\"q\"", "<>", "\t", "\xe9"})
        EXPECT_FALSE(ValidToolExtension(bad)) << bad;
}
