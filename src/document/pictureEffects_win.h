// The picture effects of the effects menu and the colour count: each effect makes a new bitmap from the
// picture (one history step) or from the floating selection's content (no step until the selection is
// committed). A picture with a real alpha channel is flattened onto white first, if the user agrees.
#pragma once
#include <windows.h>

#include <cstdint>

// Effect kinds 0-20; the effects menu's commands are 6004 + kind.
inline constexpr int kEffectKindCount = 21;
inline constexpr int kEffectBoxBlur = 0;
inline constexpr int kEffectTwoColours = 1;
inline constexpr int kEffectGrey = 2;
inline constexpr int kEffectSixteenColours = 3;
inline constexpr int kEffect256Colours = 4;
inline constexpr int kEffectSixteenBits = 5;
inline constexpr int kEffectSepia = 6;
inline constexpr int kEffectInvert = 7;
inline constexpr int kEffectDarker = 8;
inline constexpr int kEffectBrighter = 9;
inline constexpr int kEffectMoreContrast = 10;
inline constexpr int kEffectLessContrast = 11;
inline constexpr int kEffectMoreSaturation = 12;
inline constexpr int kEffectLessSaturation = 13;
inline constexpr int kEffectRedEye = 14;
inline constexpr int kEffectGaussianBlur = 15;
inline constexpr int kEffectEmboss = 16;
inline constexpr int kEffectSharpen = 17;
inline constexpr int kEffectEdges = 18;
inline constexpr int kEffectTwentyFourBits = 19;
inline constexpr int kEffectThirtyTwoBits = 20;

// Texts of the effects: the colour count's label and the two halves of the alpha question.
inline constexpr int kTextColourCount = 11;
inline constexpr int kTextDropAlphaQuestion = 17;
inline constexpr int kTextDropAlphaDetail = 18;

// Applies effect `kind` to the floating selection's content while a selection is active, else to the
// picture as one history step. False when the kind is unknown, the user kept the alpha channel, or the
// result could not be made (the picture and the selection are then unchanged).
bool ApplyEffect(int kind);
// The result of effect `kind` (not 7, the inversion, which works in place) made from source, which is
// left as it is; a new bitmap owned by the caller, null when it cannot be made.
HBITMAP EffectResult(int kind, HBITMAP source);

// True when the picture has no alpha channel, or the user agreed to drop it: the picture is then
// composited onto white as one history step and pictureHasAlpha cleared. Any other answer: false.
bool ConfirmDropAlpha();
// Shows the number of distinct colours of the picture and returns it (0 when it could not be counted).
uint32_t ReportColourCount();
// The bitmap reduced to 2, 16 or 256 colours of the standard palette with error diffusion, at 1, 4 or 8
// bits per pixel.
HBITMAP ReduceColours(HBITMAP bitmap, int count);
// The bitmap as an 8-bit grey picture (unchanged in depth when it already is one).
HBITMAP ToGreyscale(HBITMAP bitmap);
