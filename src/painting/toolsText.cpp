// The text tool: the box is the floating selection's rectangle (no pixels are lifted), the typing happens
// in the edit window over it, and the text reaches the picture when the box is committed.
#include "document/floatingSelection.h"
#include "document/imageModel.h"
#include "painting/drawPrimitives_win.h"
#include "painting/fontState.h"
#include "painting/textEditWindow.h"
#include "painting/toolState.h"
#include "painting/toolWindows.h"
#include "painting/tools.h"

namespace {

// A click, or a drag smaller than this, opens a box of this size.
constexpr int kSmallestBoxWidth = 100;
constexpr int kSmallestBoxHeight = 24;

POINT Clamped(int x, int y) {
    POINT point{x, y};
    TheImageModel().ClampPoint(point);
    return point;
}

void SpanBox(int x, int y) {
    const PixelPoint start = TheToolState().Stroke().strokeStart;
    TheFloatingSelection().SetRectangle(POINT{start.x, start.y}, Clamped(x, y));
}

}  // namespace

// Until the release only the dashed box changes: the tool state repaints the canvas where it lies.
void TextTool::BeginStroke(bool, int x, int y, bool) {
    TheTextEditWindow().CreateIfNeeded();
    SpanBox(x, y);
}

bool TextTool::ContinueStroke(bool, int& x, int& y) {
    SpanBox(x, y);
    return true;
}

PreviewArea TextTool::LivePreview() const {
    const RECT& placement = TheFloatingSelection().Placement();
    PreviewArea area;
    area.picture = InflatedRect(PixelRect{placement.left, placement.top, placement.right, placement.bottom}, 2);
    return area;
}

bool TextTool::EndStroke(bool, int& x, int& y) {
    SpanBox(x, y);
    CTextEditWindow& edit = TheTextEditWindow();
    FloatingSelection& selection = TheFloatingSelection();
    const RECT placement = selection.Placement();
    if (edit.IsShown()) {
        CommitOpenText();
        // A plain click while a box is open only ends that box.
        if (IsRectEmpty(&placement)) {
            edit.Hide();
            selection.Discard();
            return true;
        }
    }
    if (TheFontState().fontsWindowShown) OpenFontsWindow();
    // The release point as the canvas passed it: a click near the edge still gets the whole box.
    PixelRect box{x, y, x + kSmallestBoxWidth, y + kSmallestBoxHeight};
    if (!IsRectEmpty(&placement)) {
        box = PixelRect{placement.left, placement.top, placement.right, placement.bottom};
        if (box.Width() < kSmallestBoxWidth) box.right = box.left + kSmallestBoxWidth;
        if (box.Height() < kSmallestBoxHeight) box.bottom = box.top + kSmallestBoxHeight;
    }
    edit.OpenAt(box);
    return true;
}

void TextTool::DrawOnPicture(HDC dc) {
    const RECT& placement = TheFloatingSelection().Placement();
    if (CanvasInDrag() && !IsRectEmpty(&placement))
        DrawDashedFrame(dc, placement.left, placement.top, placement.right, placement.bottom);
}

void TextTool::FinishStroke(bool cancel) {
    CTextEditWindow& edit = TheTextEditWindow();
    if (!cancel) CommitOpenText();
    edit.Hide();
    TheFloatingSelection().Discard();
    ToolBase::FinishStroke(cancel);
}

void TextTool::CommitOpenText() {
    CTextEditWindow& edit = TheTextEditWindow();
    if (!edit.IsShown() || edit.Text(1).empty()) return;
    if (!TheImageModel().SnapshotPicture()) return;
    edit.CommitText(surface, foreColor, backColor, TheToolState().TransparentSelection() == 0);
    TheImageModel().NotifyViews();
}
