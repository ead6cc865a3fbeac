#include "painting/colourState.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Colour = ColourState::Colour;

// Records what the model told its observer, in order.
class RecordingObserver final : public ColourState::Observer {
public:
    void CellsChanged() override { events.push_back('c'); }
    void ColoursChanged() override { events.push_back('f'); }
    std::vector<char> events;
};

const Colour kOldRows[28] = {
    0x00000000, 0x00808080, 0x00000080, 0x00008080, 0x00008000, 0x00808000, 0x00800000,
    0x00800080, 0x00408080, 0x00404000, 0x00FF8000, 0x00804000, 0x00FF0040, 0x00004080,
    0x00FFFFFF, 0x00C0C0C0, 0x000000FF, 0x0000FFFF, 0x0000FF00, 0x00FFFF00, 0x00FF0000,
    0x00FF00FF, 0x0080FFFF, 0x0080FF00, 0x00FFFF80, 0x00FF8080, 0x008000FF, 0x004080FF,
};
const Colour kModernRows[28] = {
    0x00000000, 0x00464646, 0x00787878, 0x00300099, 0x00241CED, 0x000078FF, 0x000EC2FF,
    0x0000F2FF, 0x001DE6A8, 0x004CB122, 0x00EFB700, 0x00F36D4D, 0x0099362F, 0x0098316F,
    0x00FFFFFF, 0x00DCDCDC, 0x00B4B4B4, 0x003C5A9C, 0x00B1A3FF, 0x007AAAE5, 0x009CE4F5,
    0x00BDF9FF, 0x00BCF9D3, 0x0061BB9D, 0x00EAD999, 0x00D19A70, 0x008E6D54, 0x00D5A5B5,
};

void ExpectCells(const ColourState& state, const Colour (&rows)[28]) {
    for (unsigned i = 0; i < 28; ++i) EXPECT_EQ(state.GetCellColor(i), rows[i]) << "cell " << i;
    for (unsigned i = 28; i < ColourState::kCellCount; ++i) EXPECT_EQ(state.GetCellColor(i), 0x00FFFFFFu) << i;
}

}  // namespace

TEST(ColourState, StartsBlackOnWhiteWithTheOldPalette) {
    const ColourState state;
    EXPECT_EQ(state.GetForeground(), 0x00000000u);
    EXPECT_EQ(state.GetBackground(), 0x00FFFFFFu);
    EXPECT_EQ(state.GetPaletteKind(), ColourState::kOldPalette);
    ExpectCells(state, kOldRows);
}

TEST(ColourState, LoadsBothBuiltInTablesCompletely) {
    ColourState state;
    state.LoadBuiltInPalette(ColourState::kModernPalette);
    EXPECT_EQ(state.GetPaletteKind(), 1);
    ExpectCells(state, kModernRows);
    state.LoadBuiltInPalette(ColourState::kOldPalette);
    EXPECT_EQ(state.GetPaletteKind(), 2);
    ExpectCells(state, kOldRows);
}

TEST(ColourState, LoadingATableDropsCellEditsButKeepsTheCurrentColours) {
    ColourState state;
    state.SetCellColor(3, 0x00123456);
    state.SetCellColor(50, 0x00ABCDEF);
    state.SetForeground(0x00010203);
    state.SetBackground(0x00040506);
    state.LoadBuiltInPalette(ColourState::kModernPalette);
    ExpectCells(state, kModernRows);
    EXPECT_EQ(state.GetForeground(), 0x00010203u);
    EXPECT_EQ(state.GetBackground(), 0x00040506u);
}

TEST(ColourState, UnknownKindLoadsNothingButIsKeptAndRepaints) {
    ColourState state;
    RecordingObserver observer;
    state.SetObserver(&observer);
    state.SetCellColor(0, 0x00112233);
    state.LoadBuiltInPalette(3);
    EXPECT_EQ(state.GetPaletteKind(), 3);
    EXPECT_EQ(state.GetCellColor(0), 0x00112233u);
    EXPECT_EQ(observer.events, (std::vector<char>{'c', 'c'}));
    state.LoadBuiltInPalette(0);
    EXPECT_EQ(state.GetPaletteKind(), 0);
}

TEST(ColourState, CellIndicesAbove55AreIgnored) {
    ColourState state;
    RecordingObserver observer;
    state.SetObserver(&observer);
    state.SetCellColor(55, 0x00445566);
    EXPECT_EQ(state.GetCellColor(55), 0x00445566u);
    state.SetCellColor(56, 0x00778899);
    state.SetCellColor(static_cast<unsigned>(-1), 0x00778899);
    EXPECT_EQ(state.GetCellColor(56), 0u);
    EXPECT_EQ(state.GetCellColor(static_cast<unsigned>(-1)), 0u);
    EXPECT_EQ(observer.events, (std::vector<char>{'c'}));  // only the valid store repaints
}

TEST(ColourState, CurrentColourChangesAreBroadcast) {
    ColourState state;
    RecordingObserver observer;
    state.SetObserver(&observer);
    state.SetForeground(0x000000FF);
    state.SetBackground(0x00FF0000);
    EXPECT_EQ(state.GetForeground(), 0x000000FFu);
    EXPECT_EQ(state.GetBackground(), 0x00FF0000u);
    EXPECT_EQ(observer.events, (std::vector<char>{'f', 'f'}));
    state.SetObserver(nullptr);
    state.SetForeground(0);
    EXPECT_EQ(observer.events.size(), 2u);
}
