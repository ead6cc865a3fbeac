#include "app/commandTable.h"

#include <gtest/gtest.h>

#include "app/commandIds.h"

namespace {

bool Enabled(unsigned id, const CommandState& state) { return StateOf(id, state).enabled; }
bool Checked(unsigned id, const CommandState& state) { return StateOf(id, state).checked; }

CommandState WithSelection(int tool) {
    CommandState state;
    state.currentTool = tool;
    state.selectionExists = true;
    return state;
}

TEST(CommandStates, UndoAndRedoFollowTheEndsOfTheHistory) {
    CommandState state;
    EXPECT_FALSE(Enabled(kCmdUndo, state));
    EXPECT_FALSE(Enabled(kCmdRedo, state));
    state.undoCount = 1;
    EXPECT_TRUE(Enabled(kCmdUndo, state));
    EXPECT_FALSE(Enabled(kCmdRedo, state));
    state = {};
    state.redoCount = 1;
    EXPECT_FALSE(Enabled(kCmdUndo, state));
    EXPECT_TRUE(Enabled(kCmdRedo, state));
    // A floating selection of a selection tool is undone before any step; one left by another tool is not.
    EXPECT_TRUE(Enabled(kCmdUndo, WithSelection(kToolFreeSelection)));
    EXPECT_FALSE(Enabled(kCmdUndo, WithSelection(kToolPen)));
}

TEST(CommandStates, SelectionCommandsNeedASelectionOfASelectionTool) {
    const unsigned commands[] = {kCmdCut,    kCmdCopy,         kCmdClearSelection, kCmdInvertSelection,
                                 kCmdCopyTo, kCmdCropSelection};
    CommandState noSelection;
    noSelection.currentTool = kToolRectSelection;
    for (unsigned id : commands) {
        EXPECT_TRUE(Enabled(id, WithSelection(kToolRectSelection))) << id;
        EXPECT_TRUE(Enabled(id, WithSelection(kToolFreeSelection))) << id;
        EXPECT_FALSE(Enabled(id, WithSelection(kToolPen))) << id;
        EXPECT_FALSE(Enabled(id, noSelection)) << id;
    }
    // The Image menu's crop takes a selection of any tool; clearing the picture waits until none floats.
    EXPECT_TRUE(Enabled(kCmdCrop, WithSelection(kToolPen)));
    EXPECT_FALSE(Enabled(kCmdCrop, noSelection));
    EXPECT_FALSE(Enabled(kCmdClearPicture, WithSelection(kToolPen)));
    EXPECT_TRUE(Enabled(kCmdClearPicture, noSelection));
}

TEST(CommandStates, PasteNeedsAPictureOnTheClipboardAndTheTextBoxText) {
    CommandState state;
    EXPECT_FALSE(Enabled(kCmdPaste, state));
    state.clipboardHasText = true;
    EXPECT_FALSE(Enabled(kCmdPaste, state));
    state.clipboardHasPicture = true;
    EXPECT_TRUE(Enabled(kCmdPaste, state));
    state.textEditing = true;
    state.currentTool = kToolText;
    EXPECT_TRUE(Enabled(kCmdPaste, state));
    state.clipboardHasText = false;
    EXPECT_FALSE(Enabled(kCmdPaste, state));
    EXPECT_TRUE(Enabled(kCmdPasteFrom, state));
}

TEST(CommandStates, WhileTheTextBoxIsEditedItsEditWindowAnswersInsteadOfThePicture) {
    CommandState state;
    state.currentTool = kToolText;
    state.textEditing = true;
    state.undoCount = 3;
    state.redoCount = 2;
    state.selectionExists = true;
    for (unsigned id : {kCmdUndo, kCmdRedo, kCmdCut, kCmdCopy, kCmdClearSelection}) EXPECT_FALSE(Enabled(id, state));
    state.textCanUndo = true;
    state.textSelected = true;
    for (unsigned id : {kCmdUndo, kCmdCut, kCmdCopy, kCmdClearSelection}) EXPECT_TRUE(Enabled(id, state)) << id;
    EXPECT_FALSE(Enabled(kCmdRedo, state)) << "the edit window has no redo";
    EXPECT_TRUE(Enabled(kCmdSelectAll, state));
}

TEST(CommandStates, PanelsAndViewSettingsShowTheirMarks) {
    const std::pair<unsigned, bool CommandState::*> marks[] = {{kCmdToolBox, &CommandState::toolBoxShown},
                                                               {kCmdPalette, &CommandState::paletteShown},
                                                               {kCmdStatusBar, &CommandState::statusBarShown},
                                                               {kCmdRulers, &CommandState::rulersShown},
                                                               {kCmdGrid, &CommandState::gridShown},
                                                               {kCmdThumbnail, &CommandState::thumbnailShown},
                                                               {kCmdOpenLastAtStart, &CommandState::openLastAtStart}};
    for (const auto& [id, field] : marks) {
        CommandState state;
        EXPECT_FALSE(Checked(id, state)) << id;
        state.*field = true;
        EXPECT_TRUE(Checked(id, state)) << id;
        EXPECT_TRUE(Enabled(id, state)) << id;
    }
    CommandState state;
    state.transparentSelection = true;
    EXPECT_FALSE(Checked(kCmdDrawOpaque, state));
    state.transparentSelection = false;
    EXPECT_TRUE(Checked(kCmdDrawOpaque, state));
    state.paletteKind = 1;
    EXPECT_TRUE(Checked(kCmdModernPalette, state));
    EXPECT_FALSE(Checked(kCmdOldPalette, state));
    // The fonts window's item needs the text tool, and shows the window's mark whatever the tool.
    state.fontsWindowShown = true;
    EXPECT_FALSE(Enabled(kCmdTextToolbar, state));
    EXPECT_TRUE(Checked(kCmdTextToolbar, state));
    state.currentTool = kToolText;
    EXPECT_TRUE(Enabled(kCmdTextToolbar, state));
}

TEST(CommandStates, OnlyTheCurrentZoomUpTo800PercentIsMarked) {
    CommandState state;
    for (int zoom : {125, 1000, 8000, 10000, 15000, 63, 29998}) {
        state.zoom = zoom;
        int marks = 0;
        unsigned marked = 0;
        for (unsigned id = 0; id <= 0xFFFF; ++id) {
            if (ZoomOfCommand(id) == 0) continue;
            EXPECT_TRUE(Enabled(id, state));
            if (Checked(id, state)) {
                ++marks;
                marked = id;
            }
        }
        const bool markedLevel = zoom == 125 || zoom == 1000 || zoom == 8000;
        EXPECT_EQ(marks, markedLevel ? 1 : 0) << zoom;
        if (markedLevel) {
            EXPECT_EQ(ZoomOfCommand(marked), zoom);
        }
    }
}

TEST(CommandStates, TheCurrentLanguageIsMarkedAndNumbersOutsideTheTableAreNoCommands) {
    CommandState state;
    state.language = 1;
    EXPECT_TRUE(Checked(kCmdLanguageRangeFirst + 1, state));
    EXPECT_FALSE(Checked(kCmdLanguageRangeFirst, state));
    EXPECT_FALSE(Checked(kCmdLanguageRangeLast, state));
    // The recent-file entries and the effects are commands as a whole range; the placeholder never works.
    for (unsigned id : {kCmdRecentFileFirst, kCmdRecentFileLast, kCmdEffectFirst, kCmdEffectLast})
        EXPECT_TRUE(Enabled(id, state)) << id;
    EXPECT_FALSE(Enabled(kCmdRecentFilePlaceholder, state));
    for (unsigned unknown : {0u, 199u, 264u, 1300u, 5000u, 6025u, 65535u}) {
        EXPECT_EQ(FindCommand(unknown), nullptr) << unknown;
        EXPECT_FALSE(Enabled(unknown, state)) << unknown;
    }
}

}  // namespace
