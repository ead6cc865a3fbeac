// Folder paths as the temporary folder is written: backslashes only, single, one at the end.
#include "extras/tempFolder.h"

#include <gtest/gtest.h>

TEST(TempFolderPath, SlashesAndRunsOfBackslashesBecomeSingleBackslashesWithOneAtTheEnd) {
    EXPECT_EQ(NormaliseFolderPath(L"D:/pictures//scans"), L"D:\\pictures\\scans\\");
    EXPECT_EQ(NormaliseFolderPath(L"D:\\pictures\\\\\\scans\\\\"), L"D:\\pictures\\scans\\");
    EXPECT_EQ(NormaliseFolderPath(L"C:\\Temp\\Tessora_Tmp\\"), L"C:\\Temp\\Tessora_Tmp\\");
    EXPECT_EQ(NormaliseFolderPath(L"C:"), L"C:\\");
}

TEST(TempFolderPath, NetworkPathsKeepTheirTwoLeadingBackslashes) {
    EXPECT_EQ(NormaliseFolderPath(L"\\\\server\\share\\tmp"), L"\\\\server\\share\\tmp\\");
    EXPECT_EQ(NormaliseFolderPath(L"//server/share"), L"\\\\server\\share\\");
    // More than two leading ones still give exactly two.
    EXPECT_EQ(NormaliseFolderPath(L"\\\\\\\\server"), L"\\\\server\\");
}
