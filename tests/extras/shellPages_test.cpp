// The web addresses by language and time zone, and where a picture lands on a printed page.
#include <gtest/gtest.h>

#include "extras/printLayout.h"
#include "extras/webPages.h"

TEST(WebPages, GermanTakesItsOwnSiteOthersTheNearerOneByTimeZone) {
    EXPECT_EQ(WebSiteBase(0, std::nullopt), kWebSiteGerman);
    EXPECT_EQ(WebSiteBase(1, -240), kWebSiteNear);
    EXPECT_EQ(WebSiteBase(1, 240), kWebSiteNear);
    EXPECT_EQ(WebSiteBase(1, 300), kWebSiteFar);
    EXPECT_EQ(WebSiteBase(2, std::nullopt), kWebSiteFar);
    EXPECT_EQ(WebPageAddress(WebPage::help, 1, 0), std::wstring(kWebSiteNear) + L"/?seite=faq-Tessora&faq=0");
    EXPECT_EQ(WebPageAddress(WebPage::licence, 0, 0),
              std::wstring(kWebSiteGerman) + L"/?seite=Freeware/Tessora/Lizenz");
    EXPECT_EQ(WebPageAddress(WebPage::thanks, 3, 600), std::wstring(kWebSiteFar) + L"/?seite=Freeware/Tessora/Thanks");
    EXPECT_EQ(WebPageAddress(WebPage::startPage, 1, 0), kWebSiteNear);
}

TEST(PrintLayout, PicturesKeepTheirSizeInInchesAndShrinkToThePrintableArea) {
    // 2 x 1 inches at 96 dpi on a 600 dpi printer.
    PrintRect rect = PrintPlacement(192, 96, 96, 96, 600, 600, 4800, 6600);
    EXPECT_EQ(rect.width, 1200);
    EXPECT_EQ(rect.height, 600);
    // 10 x 5 inches do not fit 8 inches: shrunk to the width, proportions kept.
    rect = PrintPlacement(960, 480, 96, 96, 600, 600, 4800, 6600);
    EXPECT_EQ(rect.width, 4800);
    EXPECT_EQ(rect.height, 2400);
    // An unknown resolution counts as the screen's; nothing printable gives nothing.
    EXPECT_EQ(PrintPlacement(96, 96, 0, -1, 300, 300, 5000, 5000).width, 300);
    EXPECT_EQ(PrintPlacement(96, 96, 96, 96, 300, 300, 0, 5000).width, 0);
}
