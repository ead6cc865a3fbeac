// Start-up wiring between the document's singletons and the modules that serve them, so that the document
// needs no knowledge of the palette or the drawing primitives.
#pragma once

// Connects the floating selection to the palette's background colour, to the current tool and its
// transparent-selection setting, and to the rectangle primitive (which paints through GDI+ while the
// picture has alpha, so erased pixels stay opaque).
void ConnectDocument();
