// Command identifiers of the main window: the menu items, accelerators and posted commands, and the
// numbered ranges (effects, recent files, languages). The command table (commandTable.cpp) says which
// group carries each out and when it is enabled. Portable: plain numbers, usable wherever a command is cited.
#pragma once

#include "program/settings.h"

// ---- File -------------------------------------------------------------------------------------------
inline constexpr unsigned kCmdNew = 201;
inline constexpr unsigned kCmdOpen = 202;
inline constexpr unsigned kCmdSave = 203;
inline constexpr unsigned kCmdSaveAs = 204;
inline constexpr unsigned kCmdAcquire = 205;       // from scanner or camera
inline constexpr unsigned kCmdPrintPreview = 206;  // no action
inline constexpr unsigned kCmdPageSetup = 207;
inline constexpr unsigned kCmdPrint = 208;
inline constexpr unsigned kCmdSend = 209;
inline constexpr unsigned kCmdWallpaperTiled = 210;
inline constexpr unsigned kCmdWallpaperCentred = 211;
inline constexpr unsigned kCmdWallpaperStretched = 212;
inline constexpr unsigned kCmdRecentFilePlaceholder = 213;  // greyed until the recent list has entries
inline constexpr unsigned kCmdOpenLastAtStart = 214;        // check mark only
inline constexpr unsigned kCmdExit = 218;
inline constexpr unsigned kCmdOpenFolder = 10151;  // the picture's folder with the file selected
inline constexpr unsigned kCmdDeleteFile = 10152;  // the picture's file to the recycle bin

// ---- Edit -------------------------------------------------------------------------------------------
inline constexpr unsigned kCmdUndo = 220;
inline constexpr unsigned kCmdRedo = 221;
inline constexpr unsigned kCmdCut = 222;
inline constexpr unsigned kCmdCopy = 223;
inline constexpr unsigned kCmdPaste = 224;
inline constexpr unsigned kCmdClearSelection = 225;
inline constexpr unsigned kCmdInvertSelection = 226;  // no action
inline constexpr unsigned kCmdSelectAll = 227;
inline constexpr unsigned kCmdCopyTo = 228;
inline constexpr unsigned kCmdPasteFrom = 229;
inline constexpr unsigned kCmdCropSelection = 292;

// ---- View -------------------------------------------------------------------------------------------
inline constexpr unsigned kCmdToolBox = 230;
inline constexpr unsigned kCmdPalette = 231;
inline constexpr unsigned kCmdStatusBar = 232;
inline constexpr unsigned kCmdTextToolbar = 233;  // the text tool's fonts window
inline constexpr unsigned kCmdZoom125 = 234;
inline constexpr unsigned kCmdZoom250 = 235;
inline constexpr unsigned kCmdZoom500 = 236;
inline constexpr unsigned kCmdZoom1000 = 237;
inline constexpr unsigned kCmdZoom2000 = 238;
inline constexpr unsigned kCmdZoom4000 = 239;
inline constexpr unsigned kCmdZoom8000 = 240;
inline constexpr unsigned kCmdFullScreen = 241;
inline constexpr unsigned kCmdGrid = 242;
inline constexpr unsigned kCmdThumbnail = 243;
inline constexpr unsigned kCmdZoom10000 = 244;
inline constexpr unsigned kCmdZoom15000 = 245;
inline constexpr unsigned kCmdRulers = 246;

// ---- Image ------------------------------------------------------------------------------------------
inline constexpr unsigned kCmdFlipRotate = 250;
inline constexpr unsigned kCmdStretchSkew = 251;
inline constexpr unsigned kCmdCrop = 252;
inline constexpr unsigned kCmdInvertColours = 253;
inline constexpr unsigned kCmdAttributes = 254;
inline constexpr unsigned kCmdClearPicture = 255;
inline constexpr unsigned kCmdDrawOpaque = 256;
inline constexpr unsigned kCmdCountColours = 263;

// ---- Colours ----------------------------------------------------------------------------------------
inline constexpr unsigned kCmdEditPalette = 260;
inline constexpr unsigned kCmdModernPalette = 261;  // not in the menu bar
inline constexpr unsigned kCmdOldPalette = 262;

// Picture effects: command kCmdEffectFirst + k applies effect k.
inline constexpr unsigned kCmdEffectFirst = 6004;
inline constexpr unsigned kCmdEffectBlur = 6004;
inline constexpr unsigned kCmdEffectMonochrome = 6005;
inline constexpr unsigned kCmdEffectGreyScale = 6006;
inline constexpr unsigned kCmdEffect16Colours = 6007;
inline constexpr unsigned kCmdEffect256Colours = 6008;
inline constexpr unsigned kCmdEffect65536Colours = 6009;
inline constexpr unsigned kCmdEffectSepia = 6010;
inline constexpr unsigned kCmdEffectInvert = 6011;
inline constexpr unsigned kCmdEffectDarker = 6012;
inline constexpr unsigned kCmdEffectLighter = 6013;
inline constexpr unsigned kCmdEffectMoreContrast = 6014;
inline constexpr unsigned kCmdEffectLessContrast = 6015;
inline constexpr unsigned kCmdEffectMoreSaturation = 6016;
inline constexpr unsigned kCmdEffectLessSaturation = 6017;
inline constexpr unsigned kCmdEffectRedEye = 6018;
inline constexpr unsigned kCmdEffectGaussianBlur = 6019;
inline constexpr unsigned kCmdEffectEmboss = 6020;
inline constexpr unsigned kCmdEffectSharpen = 6021;
inline constexpr unsigned kCmdEffectEdges = 6022;
inline constexpr unsigned kCmdEffect24Bits = 6023;
inline constexpr unsigned kCmdEffect32Bits = 6024;
inline constexpr unsigned kCmdEffectLast = 6024;

// ---- Extras -----------------------------------------------------------------------------------------
inline constexpr unsigned kCmdRoomsPicture = 294;  // not in the menu bar
inline constexpr unsigned kCmdRandomShapesPicture = 295;
inline constexpr unsigned kCmdLandscapePicture = 296;
inline constexpr unsigned kCmdRandomCirclesPicture = 297;
inline constexpr unsigned kCmdMountainsPicture = 298;
inline constexpr unsigned kCmdCityPicture = 299;
inline constexpr unsigned kCmdStoneHillsPicture = 300;
inline constexpr unsigned kCmdMoreAi = 1401;  // no action

// ---- Help -------------------------------------------------------------------------------------------
inline constexpr unsigned kCmdHelpTopics = 270;  // not in the menu bar
inline constexpr unsigned kCmdAbout = 271;
inline constexpr unsigned kCmdMoreFreeware = 272;
inline constexpr unsigned kCmdWebHelp = 273;
inline constexpr unsigned kCmdLicence = 274;
inline constexpr unsigned kCmdHomepage = 275;  // no action
inline constexpr unsigned kCmdDonate = 276;

// ---- Accelerator-only commands ---------------------------------------------------------------------
inline constexpr unsigned kCmdToolSizeUp = 290;    // Ctrl+plus
inline constexpr unsigned kCmdToolSizeDown = 291;  // Ctrl+minus

// ---- Ranges -----------------------------------------------------------------------------------------
// Recent files: command kCmdRecentFileFirst + i opens recent file i (0 the newest) of kRecentFileCount.
inline constexpr unsigned kCmdRecentFileFirst = 1200;
inline constexpr unsigned kCmdRecentFileLast = 1209;
// Language commands (1000 + language, the two translation commands inside).
inline constexpr unsigned kCmdLanguageRangeFirst = 1000;
inline constexpr unsigned kCmdLanguageRangeLast = 1100;

// The handlers index by the offset into a range: an effect kind, a recent-file entry. That no identifier
// is two commands, and that each fits WM_COMMAND's low word, the command table checks.
static_assert(kCmdEffectLast - kCmdEffectFirst + 1 == 21, "one command for each of the 21 effects");
static_assert(kCmdEffect32Bits == kCmdEffectLast && kCmdEffectBlur == kCmdEffectFirst);
static_assert(kCmdRecentFileLast - kCmdRecentFileFirst + 1 == unsigned{kRecentFileCount});
