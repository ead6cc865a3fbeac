// The picture dialogs behind the Image menu: flip/rotate, stretch/skew and attributes. Each is a modal
// dialog from the program's resources that edits a plain record; the commands run it through the prompt
// seam and read the record afterwards. Titles and labels come from the current language.
#pragma once
#include <windows.h>

#include "dialogs/attributeUnits.h"
#include "win/dialog.h"

inline constexpr int kMirrorRotateTemplate = 700;
inline constexpr int kAttributesTemplate = 710;
inline constexpr int kStretchSkewTemplate = 740;

// ---- flip/rotate --------------------------------------------------------------------------------------

// What the flip/rotate dialog answers (its result): nothing (cancelled), a mirror or a rotation.
enum MirrorRotateAnswer : int {
    kMirrorRotateCancelled = 0,
    kMirrorHorizontally = 1,
    kMirrorVertically = 2,
    kRotate90 = 3,
    kRotate180 = 4,
    kRotate270 = 5,
};

class CMirrorRotateDialog final : public CDialogBase {
protected:
    std::span<const MessageEntry> MessageMap() const override;

private:
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
};

// ---- stretch/skew -------------------------------------------------------------------------------------

struct StretchSkewValues {
    int percentX = 100;  // 1 to 500
    int percentY = 100;
    int degreesX = 0;  // -89 to 89
    int degreesY = 0;
};

class CStretchSkewDialog final : public CDialogBase {
public:
    // Set on OK.
    const StretchSkewValues& Values() const { return values_; }

protected:
    std::span<const MessageEntry> MessageMap() const override;
    void FillControls() override;
    // Checks the four fields in order (whole numbers, percentages, angles); a failure shows its warning
    // and keeps the dialog open.
    bool ReadControls() override;

private:
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);

    StretchSkewValues values_;
};

// ---- attributes ---------------------------------------------------------------------------------------

// The attributes dialog's controls.
inline constexpr int kAttributesWidthEdit = 711;
inline constexpr int kAttributesHeightEdit = 712;
inline constexpr int kAttributesWidthLabel = 715;
inline constexpr int kAttributesHeightLabel = 716;
inline constexpr int kAttributesFileDateLabel = 717;
inline constexpr int kAttributesFileSizeLabel = 718;
inline constexpr int kAttributesResolutionLabel = 719;
inline constexpr int kAttributesFileDate = 720;
inline constexpr int kAttributesFileSize = 721;
inline constexpr int kAttributesResolution = 722;
inline constexpr int kAttributesStandardButton = 723;
inline constexpr int kAttributesUnitGroup = 724;
inline constexpr int kAttributesColourGroup = 725;
inline constexpr int kAttributesInches = 726;
inline constexpr int kAttributesCentimetres = 727;
inline constexpr int kAttributesPixels = 728;
inline constexpr int kAttributesBlackAndWhite = 729;
inline constexpr int kAttributesColours = 730;

struct AttributesValues {
    int width = 0;  // pixels
    int height = 0;
    bool blackAndWhite = false;
};

class CAttributesDialog final : public CDialogBase {
public:
    // Set on OK: the size last computed from the edits (at least 1 x 1) and the colour choice.
    const AttributesValues& Values() const { return values_; }

protected:
    std::span<const MessageEntry> MessageMap() const override;

private:
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);

    void ShowFileFacts();
    void ShowResolution();
    // The picture's size, shown in pixels with the pixel unit checked.
    void StartFromPicture();
    void ShowSize();
    // A typed width or height, read when the user changed the edit.
    void ReadTypedSize(int edit);

    AttributesValues values_;
    int width_ = 1;  // what the edits stand for, in pixels; becomes the record's on OK
    int height_ = 1;
    AttributeUnit unit_ = AttributeUnit::pixel;  // the unit the edits show
};

// ---- about --------------------------------------------------------------------------------------------

inline constexpr int kAboutTemplate = 790;

// The program's name, its version and the version of the PNG library it was built with.
class CAboutDlg final : public CDialogBase {
protected:
    std::span<const MessageEntry> MessageMap() const override;

private:
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
};
