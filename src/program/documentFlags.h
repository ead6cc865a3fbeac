// The document's process-wide flags and the hook through which bitmap work tells the status bar
// that the picture size may have changed. Portable: no window handles here.
#pragma once
#include <functional>

// True while the picture equals the file last loaded or saved.
extern bool pictureUnmodified;
// The fourth byte of each picture pixel is a real alpha value (picture decoded from a 32-bit PNG).
extern bool pictureHasAlpha;
// Greater than 0 during long bitmap work and modal picture dialogs; the canvas then leaves the cursor alone.
extern int bitmapWorkActive;

// Sets bitmapWorkActive to 1 for its lifetime and back to 0 on every exit path.
class BitmapWorkScope {
public:
    BitmapWorkScope() { bitmapWorkActive = 1; }
    BitmapWorkScope(const BitmapWorkScope&) = delete;
    BitmapWorkScope& operator=(const BitmapWorkScope&) = delete;
    ~BitmapWorkScope() { bitmapWorkActive = 0; }
};

// Called when a transform has produced a picture of a new size; the main window installs the
// handler that refreshes the status bar's size field. Without a handler nothing happens.
void SetPictureSizeRefresher(std::function<void()> refresher);
void RefreshPictureSizeField();
