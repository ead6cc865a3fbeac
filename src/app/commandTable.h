// The main window's command table: every command identifier with the group whose handler carries it
// out and the rule that says, from a plain record of the program's state, whether the command is
// enabled and whether its menu item shows a mark. The dispatcher, the menu states and the shortcuts
// all read it. Portable: no window handles here.
#pragma once

#include "painting/toolGeometry.h"

// The handler groups of the main window (mainCommands.cpp routes each to its function).
enum class CommandGroup {
    File,
    Edit,
    View,
    Effect,
    Language,
    Dialog,
    Print,
    Shell,
    Fonts,
    Extras,
    Web,
};

// What the rules read, taken from the program once for each question.
struct CommandState {
    // The picture's history.
    int undoCount = 0;
    int redoCount = 0;
    // A floating selection over a rectangle that is not empty, lifted or not.
    bool selectionExists = false;
    int currentTool = kToolPen;
    // The text box is being edited (the text tool is current and its edit window shows); then the edit
    // window's own undo and selected text count instead of the picture's.
    bool textEditing = false;
    bool textCanUndo = false;
    bool textSelected = false;
    // What the clipboard offers: text for the text box, a picture (metafile, DIB or bitmap) for the canvas.
    bool clipboardHasText = false;
    bool clipboardHasPicture = false;
    // The panels and view settings.
    bool toolBoxShown = false;
    bool paletteShown = false;
    bool statusBarShown = false;
    bool fontsWindowShown = false;
    bool rulersShown = false;
    bool gridShown = false;
    bool thumbnailShown = false;
    int zoom = 1000;  // in tenths of a percent
    // The selection tools' transparent mode: opaque drawing is its opposite.
    bool transparentSelection = false;
    int paletteKind = 2;  // 1 the modern palette, 2 the old one
    bool openLastAtStart = false;
    int language = 0;  // the current language's index
};

struct CommandStatus {
    bool enabled = false;
    bool checked = false;
};

// One line of the table: the identifiers first to last (one command or a numbered range).
struct CommandEntry {
    unsigned first;
    unsigned last;
    CommandGroup group;
    CommandStatus (*rule)(unsigned id, const CommandState& state);
};

// The table's line for `id`; null for an identifier that is no command.
const CommandEntry* FindCommand(unsigned id);

// Whether command `id` is enabled and checked in `state`. An identifier that is no command is neither.
CommandStatus StateOf(unsigned id, const CommandState& state);

// The zoom a zoom command sets, in tenths of a percent; 0 for any other identifier.
int ZoomOfCommand(unsigned id);
