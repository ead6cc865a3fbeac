#include "program/settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {
// No field repeats another, so a swapped, shifted or reordered byte shows.
WindowPlacementRecord OddPlacement() {
    WindowPlacementRecord p{};
    p.length = 44;
    p.flags = 2;
    p.showCmd = kShowMaximized;
    p.ptMinPosition = {-5, 7};
    p.ptMaxPosition = {-1, -1};
    p.rcNormalPosition = {-1200, 33, 1917, 1050};
    return p;
}

bool SameBytes(const WindowPlacementRecord& a, const WindowPlacementRecord& b) {
    return std::memcmp(&a, &b, sizeof(a)) == 0;
}

std::u16string WithShowCommand(uint32_t showCmd) {
    WindowPlacementRecord p = OddPlacement();
    p.showCmd = showCmd;
    return EncodePlacement<char16_t>(p);
}

RecentFileList Numbered() {
    RecentFileList list;
    for (int i = 0; i < kRecentFileCount; ++i) list[i] = L"C:\\pics\\" + std::to_wstring(i + 1) + L".png";
    return list;
}
}  // namespace

TEST(PlacementEncoding, EachByteBecomesLowNibbleLetterThenHighNibbleLetter) {
    const std::u16string text = EncodePlacement<char16_t>(DefaultWindowPlacement());
    ASSERT_EQ(text.size(), 88u);
    // The length field 44 = 0x2C is the first byte; the maximised position (-1, -1) is bytes 20..27 of 0xFF.
    EXPECT_EQ(text.substr(0, 8), u"MCAAAAAA");
    EXPECT_EQ(text.substr(40, 16), u"PPPPPPPPPPPPPPPP");
    // Normal rectangle left = 100 = 0x64.
    EXPECT_EQ(text.substr(56, 8), u"EGAAAAAA");
    for (char16_t c : text) EXPECT_TRUE(c >= u'A' && c <= u'P');
}

TEST(PlacementEncoding, RoundTripRestoresEveryByte) {
    const WindowPlacementRecord original = OddPlacement();
    WindowPlacementRecord decoded{};
    EXPECT_TRUE(DecodePlacement(std::u16string_view(EncodePlacement<char16_t>(original)), decoded));
    EXPECT_TRUE(SameBytes(decoded, original));

    WindowPlacementRecord wide{};
    EXPECT_TRUE(DecodePlacement(std::wstring_view(EncodePlacement<wchar_t>(original)), wide));
    EXPECT_TRUE(SameBytes(wide, original));
}

TEST(PlacementEncoding, ShortTextReplacesOnlyTheBytesItHolds) {
    const WindowPlacementRecord original = OddPlacement();
    WindowPlacementRecord p = original;
    // Two and a half pairs: bytes 0 and 1 become 0xFF and 0x10, the lone letter is ignored.
    EXPECT_TRUE(DecodePlacement(std::u16string_view(u"PPABC"), p));
    const auto* bytes = reinterpret_cast<const uint8_t*>(&p);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0x10);
    EXPECT_EQ(std::memcmp(bytes + 2, reinterpret_cast<const uint8_t*>(&original) + 2, 42), 0);
}

TEST(PlacementEncoding, EmptyOrSingleLetterLeavesTheRecordUnchanged) {
    WindowPlacementRecord p = OddPlacement();
    EXPECT_FALSE(DecodePlacement(std::u16string_view(u""), p));
    EXPECT_FALSE(DecodePlacement(std::u16string_view(u"M"), p));
    EXPECT_TRUE(SameBytes(p, OddPlacement()));
}

TEST(PlacementEncoding, TextBeyondTheRecordIsIgnored) {
    std::u16string text = EncodePlacement<char16_t>(OddPlacement()) + std::u16string(10000, u'P');
    WindowPlacementRecord p{};
    EXPECT_TRUE(DecodePlacement(std::u16string_view(text), p));
    EXPECT_TRUE(SameBytes(p, OddPlacement()));
}

TEST(PlacementEncoding, LettersOutsideTheAlphabetStillDecodeWithoutFault) {
    WindowPlacementRecord p = DefaultWindowPlacement();
    // '0' - 'A' wraps; the byte is whatever the arithmetic leaves in its low eight bits.
    EXPECT_TRUE(DecodePlacement(std::string_view("0zA\x7f"), p));
    const auto* bytes = reinterpret_cast<const uint8_t*>(&p);
    EXPECT_EQ(bytes[0], static_cast<uint8_t>(('z' - 'A') * 16 + ('0' - 'A')));
    EXPECT_EQ(bytes[1], static_cast<uint8_t>((0x7f - 'A') * 16));
}

TEST(StoredPlacement, VisibleShowCommandsAreKept) {
    for (uint32_t showCmd : {1u, 3u, 4u, 5u, 8u, 9u, 10u}) {
        const WindowPlacementRecord p =
            PlacementFromText(std::u16string_view(WithShowCommand(showCmd)), DefaultWindowPlacement());
        EXPECT_EQ(p.showCmd, showCmd);
        EXPECT_EQ(p.rcNormalPosition.left, -1200) << showCmd;
    }
}

TEST(StoredPlacement, HiddenOrMinimisedWindowIsReplacedByTheDefault) {
    for (uint32_t showCmd : {0u, 2u, 6u, 7u, 11u, 12u, 0xFFFFFFFFu}) {
        const WindowPlacementRecord p =
            PlacementFromText(std::u16string_view(WithShowCommand(showCmd)), OddPlacement());
        EXPECT_TRUE(SameBytes(p, DefaultWindowPlacement())) << showCmd;
    }
}

TEST(StoredPlacement, AMinimisedWindowIsRememberedAsTheStateItRestoresTo) {
    for (uint32_t showCmd : {2u, 6u, 7u, 11u}) {
        WindowPlacementRecord p = OddPlacement();  // flags 2: it was maximised before
        p.showCmd = showCmd;
        EXPECT_EQ(PlacementToRemember(p).showCmd, kShowMaximized) << showCmd;
        p.flags = 0;
        const WindowPlacementRecord kept = PlacementToRemember(p);
        EXPECT_EQ(kept.showCmd, kShowNormal) << showCmd;
        EXPECT_EQ(kept.rcNormalPosition.left, -1200) << showCmd;
    }
    WindowPlacementRecord hidden = OddPlacement();
    hidden.showCmd = kShowHide;
    EXPECT_TRUE(SameBytes(PlacementToRemember(hidden), hidden));
    EXPECT_TRUE(SameBytes(PlacementToRemember(OddPlacement()), OddPlacement()));
}

TEST(StoredPlacement, WrongLengthOrEmptyWindowIsReplacedByTheDefault) {
    WindowPlacementRecord shortRecord = OddPlacement();
    shortRecord.length = 40;
    WindowPlacementRecord inverted = OddPlacement();
    inverted.rcNormalPosition = {500, 100, 400, 300};
    WindowPlacementRecord flat = OddPlacement();
    flat.rcNormalPosition = {100, 300, 700, 300};
    for (const WindowPlacementRecord& bad : {shortRecord, inverted, flat}) {
        const WindowPlacementRecord p =
            PlacementFromText(std::u16string_view(EncodePlacement<char16_t>(bad)), OddPlacement());
        EXPECT_TRUE(SameBytes(p, DefaultWindowPlacement()));
    }
}

TEST(StoredPlacement, GarbageOrTruncatedTextGivesTheDefault) {
    for (std::u16string_view text : {u"garbage", u"MCAAAAAA", u"\u4e2d\u6587\u00e9\u00e9\u00e9\u00e9"}) {
        const WindowPlacementRecord p = PlacementFromText(text, DefaultWindowPlacement());
        EXPECT_TRUE(IsUsablePlacement(p));
        EXPECT_TRUE(SameBytes(p, DefaultWindowPlacement()));
    }
}

TEST(StoredPlacement, MissingValueKeepsTheCurrentPlacement) {
    const WindowPlacementRecord p = PlacementFromText(std::u16string_view(u""), OddPlacement());
    EXPECT_TRUE(SameBytes(p, OddPlacement()));
}

TEST(IniInteger, ReadsLeadingSignAndDigits) {
    EXPECT_EQ(ParseIniInt(std::u16string_view(u"1000")), 1000);
    EXPECT_EQ(ParseIniInt(std::u16string_view(u"-45")), -45);
    EXPECT_EQ(ParseIniInt(std::u16string_view(u"+7")), 7);
    EXPECT_EQ(ParseIniInt(std::u16string_view(u"  250px")), 250);
    EXPECT_EQ(ParseIniInt(std::wstring_view(L"12 34")), 12);
    EXPECT_EQ(ParseIniInt(std::wstring_view(L"007")), 7);
}

TEST(IniInteger, TextThatIsNotANumberGivesZero) {
    for (std::u16string_view text : {u"", u"abc", u"-", u"+", u"x12", u"- 5", u"\u0663"})
        EXPECT_EQ(ParseIniInt(text), 0) << std::string(text.begin(), text.end());
}

TEST(IniInteger, ValuesBeyondTheIntRangeAreClamped) {
    EXPECT_EQ(ParseIniInt(std::u16string_view(u"2147483647")), INT_MAX);
    EXPECT_EQ(ParseIniInt(std::u16string_view(u"-2147483648")), INT_MIN);
    EXPECT_EQ(ParseIniInt(std::u16string_view(u"2147483648")), INT_MAX);
    EXPECT_EQ(ParseIniInt(std::u16string_view(u"-2147483649")), INT_MIN);
    EXPECT_EQ(ParseIniInt(std::u16string_view(u"99999999999999999999999999")), INT_MAX);
    EXPECT_EQ(ParseIniInt(std::u16string_view(u"-99999999999999999999999999")), INT_MIN);
}

TEST(IniInteger, RangeLimitsOnlyWhenGiven) {
    EXPECT_EQ(ApplyIniRange(5000, -1, -1), 5000);
    EXPECT_EQ(ApplyIniRange(-7, -1, -1), -7);
    EXPECT_EQ(ApplyIniRange(5000, 10, 4000), 4000);
    EXPECT_EQ(ApplyIniRange(3, 10, 4000), 10);
    EXPECT_EQ(ApplyIniRange(11, 10, 4000), 11);
}

TEST(RecentFiles, ReopeningTheFourthMovesItToTheFront) {
    RecentFileList list = Numbered();
    AddRecentFile(list, L"C:\\pics\\4.png");
    const RecentFileList before = Numbered();
    EXPECT_EQ(list[0], before[3]);
    EXPECT_EQ(list[1], before[0]);
    EXPECT_EQ(list[2], before[1]);
    EXPECT_EQ(list[3], before[2]);
    for (int i = 4; i < kRecentFileCount; ++i) EXPECT_EQ(list[i], before[i]) << i;
}

TEST(RecentFiles, NewFileDropsTheTenth) {
    RecentFileList list = Numbered();
    AddRecentFile(list, L"D:\\new.bmp");
    const RecentFileList before = Numbered();
    EXPECT_EQ(list[0], L"D:\\new.bmp");
    for (int i = 1; i < kRecentFileCount; ++i) EXPECT_EQ(list[i], before[i - 1]) << i;
}

TEST(RecentFiles, ReopeningTheNewestOrTheLastKeepsTheOrder) {
    RecentFileList list = Numbered();
    AddRecentFile(list, L"C:\\pics\\1.png");
    EXPECT_EQ(list, Numbered());

    AddRecentFile(list, L"C:\\pics\\10.png");
    EXPECT_EQ(list[0], L"C:\\pics\\10.png");
    for (int i = 1; i < kRecentFileCount; ++i) EXPECT_EQ(list[i], Numbered()[i - 1]) << i;
}

TEST(RecentFiles, MatchIgnoresCaseAndKeepsTheStoredSpelling) {
    RecentFileList list = Numbered();
    list[6] = L"C:\\Bilder\\\u00c4pfel.PNG";
    AddRecentFile(list, L"c:\\bilder\\\u00e4pfel.png");
    EXPECT_EQ(list[0], L"C:\\Bilder\\\u00c4pfel.PNG");
    EXPECT_EQ(list[7], Numbered()[7]);
    EXPECT_EQ(list[9], Numbered()[9]);
}

TEST(RecentFiles, FillsAnEmptyListFromTheFrontAndIgnoresAnEmptyPath) {
    RecentFileList list;
    AddRecentFile(list, L"a.png");
    AddRecentFile(list, L"b.png");
    AddRecentFile(list, L"");
    EXPECT_EQ(list[0], L"b.png");
    EXPECT_EQ(list[1], L"a.png");
    for (int i = 2; i < kRecentFileCount; ++i) EXPECT_TRUE(list[i].empty()) << i;
}

TEST(RecentFiles, UsesTheGivenComparison) {
    RecentFileList list = Numbered();
    AddRecentFile(list, L"C:\\PICS\\4.PNG", [](std::wstring_view a, std::wstring_view b) { return a == b; });
    EXPECT_EQ(list[0], L"C:\\PICS\\4.PNG");
    EXPECT_EQ(list[4], Numbered()[3]);  // the old spelling is a different file for an exact comparison
}

TEST(SavingRules, SmallPictureSideIsStoredAs600) {
    AppSettings settings;
    PrepareForSaving(settings, 5, 400);
    EXPECT_EQ(settings.BMPWidth, 600);
    EXPECT_EQ(settings.BMPHeight, 400);
    PrepareForSaving(settings, 10, 9);
    EXPECT_EQ(settings.BMPWidth, 10);
    EXPECT_EQ(settings.BMPHeight, 600);
    PrepareForSaving(settings, -3, 0);
    EXPECT_EQ(settings.BMPWidth, 600);
    EXPECT_EQ(settings.BMPHeight, 600);
}

TEST(SavingRules, MaximizedIsSetOnceAndNeverCleared) {
    AppSettings settings;
    PrepareForSaving(settings, 800, 600);
    EXPECT_EQ(settings.maximized, 0);
    settings.windowPlacement.showCmd = kShowMaximized;
    PrepareForSaving(settings, 800, 600);
    EXPECT_EQ(settings.maximized, 1);
    settings.windowPlacement.showCmd = kShowNormal;
    PrepareForSaving(settings, 800, 600);
    EXPECT_EQ(settings.maximized, 1);
}
