#include "painting/toolState.h"

#include <array>
#include <initializer_list>

#include "program/appMessages.h"
#include "document/floatingSelection.h"
#include "document/imageModel.h"
#include "painting/statusText.h"
#include "painting/toolWindows.h"
#include "painting/colourState.h"

namespace {

constexpr size_t kReceiverCount = 5;

std::array<HWND, kReceiverCount>& Receivers() {
    static std::array<HWND, kReceiverCount> windows{};
    return windows;
}

// Sends the message to each receiver of the list that exists, in the list's order.
void SendToReceivers(UINT message, WPARAM wParam, std::initializer_list<ToolReceiver> roles) {
    for (const ToolReceiver role : roles) {
        const HWND window = GetToolReceiver(role);
        if (window && IsWindow(window)) SendMessageW(window, message, wParam, 0);
    }
}

}  // namespace

void SetToolReceiver(ToolReceiver role, HWND window) { Receivers()[static_cast<size_t>(role)] = window; }

void ForgetToolReceiver(HWND window) {
    for (HWND& held : Receivers())
        if (held == window) held = nullptr;
}

HWND GetToolReceiver(ToolReceiver role) { return Receivers()[static_cast<size_t>(role)]; }

// Counts nested dispatches; tool objects replaced meanwhile are destroyed when the outermost returns.
class ToolState::DispatchScope {
public:
    explicit DispatchScope(ToolState& state) : state_(state) { ++state_.dispatchDepth_; }
    DispatchScope(const DispatchScope&) = delete;
    DispatchScope& operator=(const DispatchScope&) = delete;
    ~DispatchScope() {
        if (--state_.dispatchDepth_ == 0) state_.retiredTools_.clear();
    }

private:
    ToolState& state_;
};

ToolState::ToolState() : toolObject_(CreateTool(kToolPen)) {}

ToolState::~ToolState() = default;

bool ToolState::SelectTool(int id) {
    if (!IsToolId(id)) return false;
    FinishStroke(false);
    TheFloatingSelection().Commit();
    settings_.currentTool = id;
    if (IsDrawingTool(id)) settings_.lastDrawingTool = id;
    std::unique_ptr<ToolBase> fresh = CreateTool(id);
    // A tool that chose another tool from one of its own operations is still running: it is destroyed
    // once that operation has returned.
    if (dispatchDepth_ > 0) retiredTools_.push_back(std::move(toolObject_));
    toolObject_ = std::move(fresh);
    NotifyToolChanged();
    return true;
}

void ToolState::SetLineWidth(int width) {
    settings_.lineWidth = width;
    NotifyToolSettingsChanged();
    TheImageModel().NotifyViews();
}

void ToolState::SetPenWidth(int width) {
    settings_.penWidth = width;
    NotifyToolSettingsChanged();
    TheImageModel().NotifyViews();
}

void ToolState::SetBrushWidth(int width) {
    settings_.brushWidth = width;
    NotifyToolSettingsChanged();
    TheImageModel().NotifyViews();
}

void ToolState::SetShapeStyle(int style) {
    settings_.shapeStyle = style;
    NotifyToolSettingsChanged();
}

void ToolState::SetBrushStyle(int style) {
    settings_.brushStyle = style;
    NotifyToolSettingsChanged();
}

void ToolState::SetAirBrushSize(int size) {
    settings_.airBrushSize = size;
    NotifyToolSettingsChanged();
}

void ToolState::SetRubberSize(int size) {
    settings_.rubberSize = size;
    NotifyToolSettingsChanged();
}

void ToolState::SetTransparentSelection(int transparent) {
    settings_.transparentSelection = transparent;
    NotifyToolSettingsChanged();
    TheImageModel().NotifyViews();
}

void ToolState::SetZoomValue(int zoom) {
    settings_.zoom = zoom;
    NotifyZoomChanged();
}

ToolSize ToolState::ToolSizeOf(int tool) const {
    const RECT& placement = TheFloatingSelection().Placement();
    return ToolSizeFor(tool, settings_, placement.right - placement.left, placement.bottom - placement.top);
}

ToolSize ToolState::GetToolSize() const { return ToolSizeOf(settings_.currentTool); }

void ToolState::SelectAll() {
    SelectTool(kToolRectSelection);
    const ImageModel& document = TheImageModel();
    const int width = document.Width();
    const int height = document.Height();
    PointerDown(true, 0, 0, false);
    PointerMove(true, width, height);
    PointerUp(true, width, height);
}

// ---- dispatch ---------------------------------------------------------------------------------------

void ToolState::Prepare() {
    const ColourState& colours = TheColourState();
    toolObject_->surface = TheImageModel().DrawingDc();
    toolObject_->foreColor = colours.GetForeground();
    toolObject_->backColor = colours.GetBackground();
}

void ToolState::Clear() {
    toolObject_->surface = nullptr;
    for (const auto& retired : retiredTools_) retired->surface = nullptr;
}

void ToolState::PointerDown(bool isLeft, int x, int y, bool isDoubleClick) {
    const DispatchScope scope(*this);
    Prepare();
    stroke_.strokeStart = stroke_.strokeEnd = PixelPoint{x, y};
    toolObject_->BeginStroke(isLeft, x, y, isDoubleClick);
    Clear();
    // A new stroke may replace a whole preview; a tool that changed the picture has told the views.
    InvalidateCanvas();
}

void ToolState::PointerMove(bool isLeft, int x, int y) {
    const DispatchScope scope(*this);
    Prepare();
    ToolBase* tool = toolObject_.get();
    const PreviewArea before = tool->LivePreview();
    if (tool->ContinueStroke(isLeft, x, y)) stroke_.strokeEnd = PixelPoint{x, y};
    // The preview changed at most where it lay before the move and where it lies now; a tool that
    // changed the picture has told the views itself.
    const PreviewArea after = toolObject_.get() == tool ? tool->LivePreview() : PreviewArea::Anywhere();
    Clear();
    RepaintPreview(CombinedPreview(before, after));
}

void ToolState::PointerUp(bool isLeft, int x, int y) {
    const DispatchScope scope(*this);
    Prepare();
    if (toolObject_->EndStroke(isLeft, x, y)) stroke_.strokeEnd = PixelPoint{x, y};
    Clear();
}

void ToolState::FinishStroke(bool cancel) {
    const DispatchScope scope(*this);
    Prepare();
    toolObject_->FinishStroke(cancel);
    Clear();
}

void ToolState::DrawOnPicture(HDC dc) {
    const DispatchScope scope(*this);
    toolObject_->DrawOnPicture(dc);
}

void ToolState::DrawOnCanvas(HDC dc) {
    const DispatchScope scope(*this);
    toolObject_->DrawOnCanvas(dc);
}

void ToolState::AdjustSize(bool decrease) {
    const DispatchScope scope(*this);
    toolObject_->AdjustSize(decrease);
}

bool ToolState::OnEscape() {
    const DispatchScope scope(*this);
    return toolObject_->OnEscape();
}

void ToolState::ResetStroke() {
    stroke_.Reset();
    FloatingSelection& selection = TheFloatingSelection();
    if (selection.IsActive()) {
        selection.Commit();
        selection.Discard();
    }
}

void ToolState::InvalidateCanvas() {
    const HWND canvas = GetToolReceiver(ToolReceiver::Canvas);
    if (canvas && IsWindow(canvas)) InvalidateRect(canvas, nullptr, FALSE);
}

void ToolState::RepaintPreview(const PreviewArea& area) {
    if (!area.known || !RepaintCanvasPreview(area.picture, area.canvas)) InvalidateCanvas();
}

void ToolState::TrackPointer(int x, int y, unsigned keys) {
    const int tool = settings_.currentTool;
    const ImageModel& document = TheImageModel();
    const PixelPoint drag = DragSizeForStatus(tool, x, y, stroke_.strokeStart, document.Width(), document.Height());
    if (tool == kToolRubber || tool == kToolPen || tool == kToolBrush || tool == kToolAirBrush || tool == kToolShape)
        ShowStatusText(kStatusPosition, PositionText(x, y));
    // With Shift the line and shape tools draw square figures: both extents show the horizontal one.
    const auto dragText = [&] {
        const bool square = settings_.currentTool >= kToolLine && (keys & MK_SHIFT) != 0;
        return SizeText(drag.x, square ? drag.x : drag.y);
    };
    // Each move repaints the part of the canvas its preview changed.
    if (keys & MK_LBUTTON) {
        PointerMove(true, x, y);
        const int current = settings_.currentTool;
        if (current >= kToolText || current == kToolFreeSelection || current == kToolRectSelection)
            ShowStatusText(kStatusSize, dragText());
    }
    if (keys & MK_RBUTTON) {
        PointerMove(false, x, y);
        if (settings_.currentTool >= kToolText) ShowStatusText(kStatusSize, dragText());
    }
}

// ---- notifications ----------------------------------------------------------------------------------

void ToolState::NotifyToolChanged() {
    SendToReceivers(
        MSG_TOOL_CHANGED, static_cast<WPARAM>(settings_.currentTool),
        {ToolReceiver::ToolBox, ToolReceiver::SettingsPanel, ToolReceiver::FontsWindow, ToolReceiver::TextEditor});
}

void ToolState::NotifyToolSettingsChanged() {
    SendToReceivers(MSG_TOOL_SETTINGS_CHANGED, 0, {ToolReceiver::SettingsPanel, ToolReceiver::TextEditor});
}

void ToolState::NotifyZoomChanged() {
    SendToReceivers(MSG_ZOOM_CHANGED, 0, {ToolReceiver::SettingsPanel, ToolReceiver::TextEditor, ToolReceiver::Canvas});
}

ToolState& TheToolState() {
    static ToolState state;
    return state;
}
