#include "app/commandTable.h"

#include <cstddef>
#include <iterator>

#include "app/commandIds.h"

namespace {

constexpr CommandStatus Enabled(bool enabled) { return {enabled, false}; }
constexpr CommandStatus Checked(bool checked) { return {true, checked}; }

CommandStatus Always(unsigned, const CommandState&) { return Enabled(true); }
CommandStatus Never(unsigned, const CommandState&) { return Enabled(false); }

// What the picture's edit commands work on: a floating selection while a selection tool is current.
bool SelectionToolHasSelection(const CommandState& s) {
    return s.selectionExists && (s.currentTool == kToolFreeSelection || s.currentTool == kToolRectSelection);
}

// ---- edit: while the text box is edited its edit window answers, else the picture ----------------------

CommandStatus Undo(unsigned, const CommandState& s) {
    // A floating selection is something to undo even before it made a history step: undo drops it.
    return Enabled(s.textEditing ? s.textCanUndo : SelectionToolHasSelection(s) || s.undoCount > 0);
}
CommandStatus Redo(unsigned, const CommandState& s) {
    // The edit window has no redo of its own.
    return Enabled(!s.textEditing && s.redoCount > 0);
}
CommandStatus OnMarkedPart(unsigned, const CommandState& s) {
    return Enabled(s.textEditing ? s.textSelected : SelectionToolHasSelection(s));
}
CommandStatus Paste(unsigned, const CommandState& s) {
    return Enabled(s.textEditing ? s.clipboardHasText : s.clipboardHasPicture);
}
// Also while the text box is edited: these always work on the picture's selection.
CommandStatus OnPictureSelection(unsigned, const CommandState& s) { return Enabled(SelectionToolHasSelection(s)); }

// ---- view, image and colours -----------------------------------------------------------------------------

struct ZoomCommand {
    unsigned id;
    int zoom;
};
constexpr ZoomCommand kZoomCommands[] = {
    {kCmdZoom125, 125},   {kCmdZoom250, 250},   {kCmdZoom500, 500},     {kCmdZoom1000, 1000},   {kCmdZoom2000, 2000},
    {kCmdZoom4000, 4000}, {kCmdZoom8000, 8000}, {kCmdZoom10000, 10000}, {kCmdZoom15000, 15000},
};
// Only 12.5 % to 800 % show a mark, the one of the current zoom.
constexpr int kLargestMarkedZoom = 8000;

CommandStatus ZoomMark(unsigned id, const CommandState& s) {
    const int zoom = ZoomOfCommand(id);
    return Checked(zoom <= kLargestMarkedZoom && zoom == s.zoom);
}
CommandStatus FontsWindow(unsigned, const CommandState& s) { return {s.currentTool == kToolText, s.fontsWindowShown}; }
CommandStatus ToolBoxMark(unsigned, const CommandState& s) { return Checked(s.toolBoxShown); }
CommandStatus PaletteMark(unsigned, const CommandState& s) { return Checked(s.paletteShown); }
CommandStatus StatusBarMark(unsigned, const CommandState& s) { return Checked(s.statusBarShown); }
CommandStatus RulersMark(unsigned, const CommandState& s) { return Checked(s.rulersShown); }
CommandStatus GridMark(unsigned, const CommandState& s) { return Checked(s.gridShown); }
CommandStatus ThumbnailMark(unsigned, const CommandState& s) { return Checked(s.thumbnailShown); }
// Cropping needs a selection of any tool; clearing the picture waits until no selection floats.
CommandStatus WithSelection(unsigned, const CommandState& s) { return Enabled(s.selectionExists); }
CommandStatus WithoutSelection(unsigned, const CommandState& s) { return Enabled(!s.selectionExists); }
CommandStatus OpaqueMark(unsigned, const CommandState& s) { return Checked(!s.transparentSelection); }
CommandStatus ModernPaletteMark(unsigned, const CommandState& s) { return Checked(s.paletteKind == 1); }
CommandStatus OldPaletteMark(unsigned, const CommandState& s) { return Checked(s.paletteKind == 2); }

// ---- file and languages ----------------------------------------------------------------------------------

CommandStatus OpenLastMark(unsigned, const CommandState& s) { return Checked(s.openLastAtStart); }
// Every number of the range below the translation commands names a language.
CommandStatus LanguageMark(unsigned id, const CommandState& s) {
    return Checked(s.language >= 0 && id - kCmdLanguageRangeFirst == static_cast<unsigned>(s.language));
}

constexpr CommandEntry One(unsigned id, CommandGroup group, CommandStatus (*rule)(unsigned, const CommandState&)) {
    return {id, id, group, rule};
}

using enum CommandGroup;

constexpr CommandEntry kCommands[] = {
    // File
    One(kCmdNew, File, Always),
    One(kCmdOpen, File, Always),
    One(kCmdSave, File, Always),
    One(kCmdSaveAs, File, Always),
    One(kCmdAcquire, Shell, Always),
    One(kCmdPrintPreview, Print, Always),
    One(kCmdPageSetup, Print, Always),
    One(kCmdPrint, Print, Always),
    One(kCmdOpenFolder, Shell, Always),
    One(kCmdDeleteFile, Shell, Always),
    One(kCmdSend, Print, Always),
    One(kCmdWallpaperTiled, Shell, Always),
    One(kCmdWallpaperCentred, Shell, Always),
    One(kCmdWallpaperStretched, Shell, Always),
    One(kCmdRecentFilePlaceholder, File, Never),
    {kCmdRecentFileFirst, kCmdRecentFileLast, File, Always},
    One(kCmdOpenLastAtStart, File, OpenLastMark),
    One(kCmdExit, File, Always),
    // Edit
    One(kCmdUndo, Edit, Undo),
    One(kCmdRedo, Edit, Redo),
    One(kCmdCut, Edit, OnMarkedPart),
    One(kCmdCopy, Edit, OnMarkedPart),
    One(kCmdPaste, Edit, Paste),
    One(kCmdCropSelection, Edit, OnPictureSelection),
    One(kCmdClearSelection, Edit, OnMarkedPart),
    One(kCmdInvertSelection, Edit, OnPictureSelection),
    One(kCmdSelectAll, Edit, Always),
    One(kCmdCopyTo, File, OnPictureSelection),
    One(kCmdPasteFrom, File, Always),
    // View
    One(kCmdToolBox, View, ToolBoxMark),
    One(kCmdPalette, View, PaletteMark),
    One(kCmdStatusBar, View, StatusBarMark),
    One(kCmdTextToolbar, Fonts, FontsWindow),
    One(kCmdRulers, View, RulersMark),
    One(kCmdZoom125, View, ZoomMark),
    One(kCmdZoom250, View, ZoomMark),
    One(kCmdZoom500, View, ZoomMark),
    One(kCmdZoom1000, View, ZoomMark),
    One(kCmdZoom2000, View, ZoomMark),
    One(kCmdZoom4000, View, ZoomMark),
    One(kCmdZoom8000, View, ZoomMark),
    One(kCmdZoom10000, View, ZoomMark),
    One(kCmdZoom15000, View, ZoomMark),
    One(kCmdGrid, View, GridMark),
    One(kCmdThumbnail, View, ThumbnailMark),
    One(kCmdFullScreen, View, Always),
    // Extras
    One(kCmdRoomsPicture, Extras, Always),
    One(kCmdRandomShapesPicture, Extras, Always),
    One(kCmdLandscapePicture, Extras, Always),
    One(kCmdRandomCirclesPicture, Extras, Always),
    One(kCmdMountainsPicture, Extras, Always),
    One(kCmdCityPicture, Extras, Always),
    One(kCmdStoneHillsPicture, Extras, Always),
    One(kCmdMoreAi, Extras, Always),
    // Image
    One(kCmdFlipRotate, Dialog, Always),
    One(kCmdStretchSkew, Dialog, Always),
    One(kCmdCrop, View, WithSelection),
    One(kCmdInvertColours, View, Always),
    One(kCmdAttributes, Dialog, Always),
    One(kCmdClearPicture, View, WithoutSelection),
    One(kCmdDrawOpaque, View, OpaqueMark),
    One(kCmdCountColours, View, Always),
    // Colours
    One(kCmdEditPalette, View, Always),
    One(kCmdModernPalette, View, ModernPaletteMark),
    One(kCmdOldPalette, View, OldPaletteMark),
    {kCmdEffectFirst, kCmdEffectLast, Effect, Always},
    // Help
    One(kCmdHelpTopics, Web, Always),
    One(kCmdAbout, Dialog, Always),
    One(kCmdWebHelp, Web, Always),
    One(kCmdLicence, Web, Always),
    One(kCmdHomepage, Web, Always),
    One(kCmdDonate, Web, Always),
    One(kCmdMoreFreeware, Web, Always),
    // Languages, with the two translation commands inside the range
    {kCmdLanguageRangeFirst, kCmdLanguageRangeLast, Language, LanguageMark},
    // Shortcuts only
    One(kCmdToolSizeUp, View, Always),
    One(kCmdToolSizeDown, View, Always),
};

// Every identifier has one line at most, and each travels in the low word of WM_COMMAND's wParam.
consteval bool EachIdentifierOnceAndInAWord() {
    for (size_t i = 0; i < std::size(kCommands); ++i) {
        const CommandEntry& a = kCommands[i];
        if (a.first > a.last || a.last > 0xFFFF || !a.rule) return false;
        for (size_t j = i + 1; j < std::size(kCommands); ++j) {
            const CommandEntry& b = kCommands[j];
            if (a.first <= b.last && b.first <= a.last) return false;
        }
    }
    return true;
}
static_assert(EachIdentifierOnceAndInAWord());

}  // namespace

const CommandEntry* FindCommand(unsigned id) {
    for (const CommandEntry& entry : kCommands) {
        if (id >= entry.first && id <= entry.last) return &entry;
    }
    return nullptr;
}

CommandStatus StateOf(unsigned id, const CommandState& state) {
    const CommandEntry* entry = FindCommand(id);
    return entry ? entry->rule(id, state) : CommandStatus{};
}

int ZoomOfCommand(unsigned id) {
    for (const ZoomCommand& command : kZoomCommands) {
        if (command.id == id) return command.zoom;
    }
    return 0;
}
