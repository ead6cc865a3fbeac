#include "document/historyRing.h"

#include <gtest/gtest.h>

#include <vector>

TEST(HistoryRing, WrapIsTheMathematicalModulo) {
    EXPECT_EQ(HistoryRing::Wrap(0), 0);
    EXPECT_EQ(HistoryRing::Wrap(127), 127);
    EXPECT_EQ(HistoryRing::Wrap(128), 0);
    EXPECT_EQ(HistoryRing::Wrap(-1), 127);
    EXPECT_EQ(HistoryRing::Wrap(-128), 0);
    EXPECT_EQ(HistoryRing::Wrap(-129), 127);
}

TEST(HistoryRing, AdvanceWrapsAndCapsTheUndoCountAt127) {
    HistoryRing ring;
    for (int i = 0; i < 127; ++i) ring.Advance();
    EXPECT_EQ(ring.RingIndex(), 127);
    EXPECT_EQ(ring.UndoCount(), 127);
    ring.Advance();
    EXPECT_EQ(ring.RingIndex(), 0);
    EXPECT_EQ(ring.UndoCount(), 127);
    for (int i = 0; i < 72; ++i) ring.Advance();
    EXPECT_EQ(ring.RingIndex(), 200 % 128);
    EXPECT_EQ(ring.UndoCount(), 127);
}

TEST(HistoryRing, UndoFromSlotZeroGoesToTheLastSlot) {
    HistoryRing ring;
    for (int i = 0; i < 128; ++i) ring.Advance();
    ASSERT_EQ(ring.RingIndex(), 0);
    EXPECT_EQ(ring.UndoSlot(), 127);
    ASSERT_TRUE(ring.StepBack(false));
    EXPECT_EQ(ring.RingIndex(), 127);
    EXPECT_EQ(ring.RedoSlot(), 127);
    ASSERT_TRUE(ring.StepForward());
    EXPECT_EQ(ring.RingIndex(), 0);
}

TEST(HistoryRing, ExactlyTheRecordedStepsCanBeUndoneAndRedone) {
    HistoryRing ring;
    for (int i = 0; i < 200; ++i) ring.Advance();
    int undone = 0;
    while (ring.StepBack(false)) ++undone;
    EXPECT_EQ(undone, 127);
    EXPECT_EQ(ring.RedoCount(), 127);
    // The slot the next step overwrites was never one of the undoable ones.
    EXPECT_EQ(ring.RingIndex(), HistoryRing::Wrap(200 - 127));
    int redone = 0;
    while (ring.StepForward()) ++redone;
    EXPECT_EQ(redone, 127);
    EXPECT_EQ(ring.RingIndex(), 200 % 128);
    EXPECT_EQ(ring.UndoCount(), 127);
}

TEST(HistoryRing, NewStepMakesRedoUnreachable) {
    HistoryRing ring;
    ring.Advance();
    ring.Advance();
    ASSERT_TRUE(ring.StepBack(false));
    ASSERT_EQ(ring.RedoCount(), 1);
    ring.Advance();
    EXPECT_EQ(ring.RedoCount(), 0);
    EXPECT_FALSE(ring.StepForward());
    EXPECT_EQ(ring.UndoCount(), 2);
}

TEST(HistoryRing, UndoWithDiscardRedoLeavesNothingToRedo) {
    HistoryRing ring;
    ring.Advance();
    ring.Advance();
    ASSERT_TRUE(ring.StepBack(false));
    ASSERT_TRUE(ring.StepBack(true));
    EXPECT_EQ(ring.RedoCount(), 0);
    EXPECT_EQ(ring.UndoCount(), 0);
    EXPECT_EQ(ring.RingIndex(), 0);
}

TEST(HistoryRing, NothingToUndoOrRedoChangesNothing) {
    HistoryRing ring;
    EXPECT_FALSE(ring.StepBack(false));
    EXPECT_FALSE(ring.StepForward());
    EXPECT_EQ(ring.RingIndex(), 0);
    EXPECT_EQ(ring.UndoCount(), 0);
    EXPECT_EQ(ring.RedoCount(), 0);
}

TEST(HistoryRing, ForgetKeepsTheCurrentSlot) {
    HistoryRing ring;
    for (int i = 0; i < 5; ++i) ring.Advance();
    ring.StepBack(false);
    ring.Forget();
    EXPECT_EQ(ring.RingIndex(), 4);
    EXPECT_FALSE(ring.CanUndo());
    EXPECT_FALSE(ring.CanRedo());
}

TEST(HistoryRing, StepsBeyondTheBudgetDropTheOldestButNeverTheNewest) {
    HistoryRing ring;
    std::vector<int> released;
    ring.SetReleaser([&](int slot) { released.push_back(slot); });
    ring.SetBudget(1000);
    for (int i = 0; i < 3; ++i) ring.Advance(300);
    EXPECT_EQ(ring.UndoCount(), 3);
    EXPECT_TRUE(released.empty());
    ring.Advance(300);  // 1200 bytes: the first step goes
    EXPECT_EQ(ring.UndoCount(), 3);
    EXPECT_EQ(ring.HeldBytes(), 900u);
    EXPECT_EQ(released, std::vector<int>{0});
    // Two undone steps are released by the next step, the oldest by its size; a step larger than the
    // whole budget is kept alone.
    ring.StepBack(false, 300);
    ring.StepBack(false, 300);
    ring.Advance(800);
    EXPECT_EQ(released, (std::vector<int>{0, 3, 1}));
    EXPECT_EQ(ring.UndoCount(), 1);
    ring.Advance(5000);
    EXPECT_EQ(ring.UndoCount(), 1);
    EXPECT_EQ(ring.HeldBytes(), 5000u);
    ASSERT_TRUE(ring.StepBack(true, 5000));  // an undo that discards its redo releases it
    EXPECT_EQ(ring.HeldBytes(), 0u);

    // Steps that fit keep the 127 levels; the one pushed out of the full ring is released at once.
    HistoryRing roomy;
    roomy.SetBudget(HistoryBudgetFor(uint64_t{8} << 30));
    EXPECT_EQ(roomy.Budget(), uint64_t{2} << 30);
    EXPECT_EQ(HistoryBudgetFor(uint64_t{1} << 30), kMinHistoryBudget);
    for (int i = 0; i < 200; ++i) roomy.Advance(uint64_t{12} << 20);
    EXPECT_EQ(roomy.UndoCount(), 127);
    EXPECT_EQ(roomy.HeldBytes(), uint64_t{127 * 12} << 20);
}
