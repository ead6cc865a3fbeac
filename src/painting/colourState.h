// The palette model: the two current drawing colours and the table of colour cells the user picks from.
// One instance for the whole process; the painting tools read the current colours from it, the palette
// window and the colour picker write them. Colours are 0x00BBGGRR (red in the low byte).
#pragma once
#include <array>
#include <cstdint>

class ColourState {
public:
    using Colour = uint32_t;
    static constexpr unsigned kCellCount = 56;   // the whole table
    static constexpr unsigned kShownCells = 42;  // cells 0-41 appear in the palette window
    static constexpr int kModernPalette = 1;
    static constexpr int kOldPalette = 2;
    using Table = std::array<Colour, kCellCount>;

    // Told about every change, so that the windows showing the colours can repaint.
    class Observer {
    public:
        // A cell or the whole table changed: the palette window repaints.
        virtual void CellsChanged() = 0;
        // The foreground or background changed: every window that shows the colours is notified.
        virtual void ColoursChanged() = 0;

    protected:
        ~Observer() = default;
    };

    // Black on white with the old palette, as at every start.
    ColourState();

    // Cell index (unsigned, so a negative index arrives as a large one); above 55 yields 0.
    Colour GetCellColor(unsigned index) const;
    // Above 55 nothing happens.
    void SetCellColor(unsigned index, Colour colour);
    // 1 loads the modern table, 2 the old one, any other value no table; the value is kept as the kind in
    // every case. Loading overwrites all 56 cells, edits included; the current colours stay.
    void LoadBuiltInPalette(int kind);
    int GetPaletteKind() const { return kind_; }

    Colour GetForeground() const { return foreground_; }
    Colour GetBackground() const { return background_; }
    void SetForeground(Colour colour);
    void SetBackground(Colour colour);

    // The observer (not owned); nullptr for none.
    void SetObserver(Observer* observer) { observer_ = observer; }
    Observer* GetObserver() const { return observer_; }

private:
    Table cells_{};
    int kind_ = kOldPalette;
    Colour foreground_ = 0x00000000;
    Colour background_ = 0x00FFFFFF;
    Observer* observer_ = nullptr;
};

// The built-in table of a kind (1 modern, 2 old); nullptr for any other kind.
const ColourState::Table* BuiltInPalette(int kind);

// The process-wide palette model.
ColourState& TheColourState();
