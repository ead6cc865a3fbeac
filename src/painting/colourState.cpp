#include "painting/colourState.h"

namespace {

constexpr ColourState::Colour kWhite = 0x00FFFFFF;

// Each table: 14 dark colours, 14 light colours, then white up to the end.
constexpr ColourState::Table MakeTable(const std::array<ColourState::Colour, 28>& shown) {
    ColourState::Table table{};
    for (unsigned i = 0; i < table.size(); ++i) table[i] = i < shown.size() ? shown[i] : kWhite;
    return table;
}

constexpr ColourState::Table kModernTable = MakeTable({
    0x00000000, 0x00464646, 0x00787878, 0x00300099, 0x00241CED, 0x000078FF, 0x000EC2FF,
    0x0000F2FF, 0x001DE6A8, 0x004CB122, 0x00EFB700, 0x00F36D4D, 0x0099362F, 0x0098316F,
    0x00FFFFFF, 0x00DCDCDC, 0x00B4B4B4, 0x003C5A9C, 0x00B1A3FF, 0x007AAAE5, 0x009CE4F5,
    0x00BDF9FF, 0x00BCF9D3, 0x0061BB9D, 0x00EAD999, 0x00D19A70, 0x008E6D54, 0x00D5A5B5,
});

constexpr ColourState::Table kOldTable = MakeTable({
    0x00000000, 0x00808080, 0x00000080, 0x00008080, 0x00008000, 0x00808000, 0x00800000,
    0x00800080, 0x00408080, 0x00404000, 0x00FF8000, 0x00804000, 0x00FF0040, 0x00004080,
    0x00FFFFFF, 0x00C0C0C0, 0x000000FF, 0x0000FFFF, 0x0000FF00, 0x00FFFF00, 0x00FF0000,
    0x00FF00FF, 0x0080FFFF, 0x0080FF00, 0x00FFFF80, 0x00FF8080, 0x008000FF, 0x004080FF,
});

}  // namespace

const ColourState::Table* BuiltInPalette(int kind) {
    switch (kind) {
        case ColourState::kModernPalette:
            return &kModernTable;
        case ColourState::kOldPalette:
            return &kOldTable;
        default:
            return nullptr;
    }
}

ColourState::ColourState() : cells_(kOldTable) {}

ColourState::Colour ColourState::GetCellColor(unsigned index) const { return index < kCellCount ? cells_[index] : 0; }

void ColourState::SetCellColor(unsigned index, Colour colour) {
    if (index >= kCellCount) return;
    cells_[index] = colour;
    if (observer_) observer_->CellsChanged();
}

void ColourState::LoadBuiltInPalette(int kind) {
    if (const Table* table = BuiltInPalette(kind)) cells_ = *table;
    kind_ = kind;
    if (observer_) observer_->CellsChanged();
}

void ColourState::SetForeground(Colour colour) {
    foreground_ = colour;
    if (observer_) observer_->ColoursChanged();
}

void ColourState::SetBackground(Colour colour) {
    background_ = colour;
    if (observer_) observer_->ColoursChanged();
}

ColourState& TheColourState() {
    static ColourState state;
    return state;
}
