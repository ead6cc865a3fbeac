// A few released DIB sections of picture size, kept for the next bitmap of the same size and depth. A
// large picture's memory costs more the first time it is touched than any pass over it afterwards, so
// an effect, a transform or an undo step that finds a section here pays for fresh memory at most once.
// Only true-colour sections (16, 24 and 32 bits, no colour table) of at least a megabyte are kept.
#pragma once
#include <windows.h>

#include <cstddef>
#include <optional>

// A DIB section of exactly this size and depth (a negative height: top-down rows), its pixel memory
// through bits. Its pixels are whatever the section held before: the caller writes every byte. A
// section from the pool when one fits, else a new one; nullptr when none can be made.
HBITMAP TakeDibSection(int width, int height, int bitsPerPixel, void** bits);
// Takes over bitmap: a section worth keeping goes into the pool (the oldest one leaves when the pool is
// full), anything else is deleted. The bitmap must not be selected into a DC.
void GiveBackBitmap(HBITMAP bitmap);
// Makes a section of this size and depth on another thread and puts it into the pool, unless the pool
// holds one or is making one: called when a large picture was replaced, so that the next operation on
// it finds memory ready while the user looks at the result. Small pictures get none.
void PrepareSpareSection(int width, int height, int bitsPerPixel);
// Waits until a spare section being made is in the pool.
void FinishSpareSection();
// Deletes every section the pool holds.
void EmptyDibPool();
// The sections and bytes the pool holds now.
int PooledSections();
size_t PooledBytes();

// Which way the rows of the true-colour section selected into dc lie (bits: its memory): the first
// pixel of memory row 0 is changed for a moment and looked up through the DC at (0, 0). The header the
// platform reports back may show a positive height for top-down rows, so this is the only sure way.
// None when the DC cannot show that pixel (a clipping region, for instance).
// The header of a section without a colour table or masks (a negative height: top-down rows).
BITMAPINFOHEADER PlainSectionHeader(int width, int height, int bitsPerPixel);

// A true-colour section (16, 24 or 32 bits) laid out as one made without a colour table or masks: blue,
// green and red in their usual places. The platform may report such a section's default masks as bit
// fields.
bool SectionHasPlainLayout(const DIBSECTION& section);

std::optional<bool> SectionRowsAreTopDown(HDC dc, void* bits, int bitsPerPixel, int height);
