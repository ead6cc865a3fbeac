#include "painting/colourState_win.h"

#include <array>

#include "program/appMessages.h"
#include "painting/colourState.h"
#include "win/prompt.h"

namespace {

constexpr size_t kRoleCount = 3;
std::array<HWND, kRoleCount> receivers{};

HWND ExistingReceiver(ColourReceiver role) {
    HWND window = receivers[static_cast<size_t>(role)];
    return window && IsWindow(window) ? window : nullptr;
}

class ReceiverNotifier final : public ColourState::Observer {
public:
    void CellsChanged() override {
        if (HWND palette = ExistingReceiver(ColourReceiver::Palette)) InvalidateRect(palette, nullptr, FALSE);
    }
    void ColoursChanged() override {
        for (auto role : {ColourReceiver::Palette, ColourReceiver::Canvas, ColourReceiver::TextEditor})
            if (HWND window = ExistingReceiver(role)) SendMessageW(window, MSG_COLORS_CHANGED, 0, 0);
    }
};

ReceiverNotifier notifier;

}  // namespace

void SetColourReceiver(ColourReceiver role, HWND window) {
    receivers[static_cast<size_t>(role)] = window;
    ColourState& model = TheColourState();
    if (!model.GetObserver()) model.SetObserver(&notifier);
}

void ForgetColourReceiver(HWND window) {
    if (!window) return;
    for (HWND& receiver : receivers)
        if (receiver == window) receiver = nullptr;
}

HWND GetColourReceiver(ColourReceiver role) { return receivers[static_cast<size_t>(role)]; }

bool ChooseColorForEdit(COLORREF& colour) {
    // One dialog record for the process, so the custom colours survive between calls; all white at first.
    static std::array<COLORREF, 16> customColours = [] {
        std::array<COLORREF, 16> colours;
        colours.fill(RGB(255, 255, 255));
        return colours;
    }();
    static CHOOSECOLORW record = [] {
        CHOOSECOLORW filled{};
        filled.lStructSize = sizeof(filled);
        filled.lpCustColors = customColours.data();
        return filled;
    }();
    // The owner is looked up at every call: a window handle kept from the first call may have gone.
    HWND owner = PromptOwner();
    record.hwndOwner = owner && IsWindow(owner) ? owner : nullptr;
    record.Flags = CC_RGBINIT;
    record.rgbResult = colour;
    if (!CurrentPrompt().ChooseColour(record)) return false;
    colour = record.rgbResult;
    return true;
}
