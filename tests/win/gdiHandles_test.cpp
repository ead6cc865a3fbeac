#include "win/gdiHandles.h"

#include <gtest/gtest.h>

namespace {

HBITMAP SmallBitmap() {
    WindowDc screen;
    return CreateCompatibleBitmap(screen, 3, 2);
}

TEST(GdiHandles, ScopedSelectPutsThePreviousObjectBack) {
    MemoryDc dc;
    ASSERT_TRUE(dc);
    BitmapHandle first(SmallBitmap());
    BitmapHandle second(SmallBitmap());
    PenHandle pen(CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
    const HGDIOBJ stockBitmap = GetCurrentObject(dc, OBJ_BITMAP);
    const HGDIOBJ stockPen = GetCurrentObject(dc, OBJ_PEN);
    {
        ScopedSelect selectFirst(dc, first.Get());
        EXPECT_TRUE(selectFirst);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), first.Get());
        {
            ScopedSelect selectSecond(dc, second.Get());
            ScopedSelect selectPen(dc, pen.Get());
            EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), second.Get());
            EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen.Get());
        }
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), first.Get());
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), stockPen);
    }
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), stockBitmap);

    ScopedSelect nothing(dc, nullptr);
    EXPECT_FALSE(nothing);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), stockBitmap);
}

TEST(GdiHandles, GdiObjectDeletesWhatItOwnsAndNothingElse) {
    HPEN raw = CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
    {
        PenHandle pen(raw);
        EXPECT_EQ(GetObjectType(raw), static_cast<DWORD>(OBJ_PEN));
        pen.Reset(raw);  // the same handle again: still owned, not deleted
        EXPECT_EQ(GetObjectType(raw), static_cast<DWORD>(OBJ_PEN));
    }
    EXPECT_EQ(GetObjectType(raw), 0u);

    HBRUSH kept = CreateSolidBrush(RGB(1, 2, 3));
    {
        BrushHandle brush(kept);
        EXPECT_EQ(brush.Release(), kept);
        EXPECT_FALSE(brush);
    }
    EXPECT_EQ(GetObjectType(kept), static_cast<DWORD>(OBJ_BRUSH));
    DeleteObject(kept);

    HBITMAP replaced = SmallBitmap();
    HBITMAP moved = SmallBitmap();
    BitmapHandle target(replaced);
    BitmapHandle source(moved);
    target = std::move(source);
    EXPECT_EQ(GetObjectType(replaced), 0u);  // the previous bitmap of the target is deleted
    EXPECT_EQ(target.Get(), moved);
    EXPECT_FALSE(source);
    EXPECT_EQ(GetObjectType(moved), static_cast<DWORD>(OBJ_BITMAP));
}

TEST(GdiHandles, SelectedBitmapIsDeselectedBeforeItsOwnerDeletesIt) {
    MemoryDc dc;
    HBITMAP raw = nullptr;
    {
        BitmapHandle bitmap(SmallBitmap());
        raw = bitmap.Get();
        ScopedSelect select(dc, bitmap.Get());
        ASSERT_TRUE(select);
    }
    // Had it still been selected into the live DC, the bitmap could not have been deleted.
    EXPECT_EQ(GetObjectType(raw), 0u);
    EXPECT_NE(GetCurrentObject(dc, OBJ_BITMAP), static_cast<HGDIOBJ>(raw));
}

}  // namespace
