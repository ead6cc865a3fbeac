// Bookkeeping of the document's undo history: 128 slots used as a ring, so up to 127 steps can be undone
// and redone, within a memory budget. This class only counts, moves the current slot and adds up what
// the slots hold; the document owns the slots' contents and frees a slot when told it is released.
#pragma once
#include <array>
#include <cstdint>
#include <functional>

inline constexpr int kHistorySlots = 128;
// One slot is always the one the next step overwrites, so it can never be an undoable step.
inline constexpr int kMaxHistorySteps = kHistorySlots - 1;

// The history may hold a quarter of the machine's physical memory, and never less than this.
inline constexpr uint64_t kMinHistoryBudget = uint64_t{512} << 20;
uint64_t HistoryBudgetFor(uint64_t physicalMemoryBytes);

class HistoryRing {
public:
    // Slot index modulo the ring size, always 0..127 (also for negative values).
    static int Wrap(int index);

    int RingIndex() const { return ringIndex_; }
    int UndoCount() const { return undoCount_; }
    int RedoCount() const { return redoCount_; }
    bool CanUndo() const { return undoCount_ > 0; }
    bool CanRedo() const { return redoCount_ > 0; }

    // The bytes all steps together may hold; unlimited until set.
    void SetBudget(uint64_t bytes) { budget_ = bytes; }
    uint64_t Budget() const { return budget_; }
    // The bytes the slots hold now, undoable and redoable steps together.
    uint64_t HeldBytes() const { return heldBytes_; }
    // Called with each slot whose step is dropped, so its owner frees what the slot holds.
    void SetReleaser(std::function<void(int slot)> release) { release_ = std::move(release); }

    // The slot a new step is stored in; after storing it, Advance with the bytes the step holds.
    int RecordSlot() const { return ringIndex_; }
    // A step was stored at RecordSlot: every redoable step is released, the oldest undoable step when the
    // ring is full, and further oldest steps while the steps hold more than the budget. The new step is
    // never released, even when it alone is larger than the budget.
    void Advance(uint64_t bytes = 0);

    // The slot that holds the step Undo swaps back; after the swap, StepBack with the bytes the slot now
    // holds. Discarding redo releases that slot and every redoable one. False when nothing to undo.
    int UndoSlot() const { return Wrap(ringIndex_ - 1); }
    bool StepBack(bool discardRedo, uint64_t bytes = 0);

    // The slot that holds the step Redo swaps forward; after the swap, StepForward with the bytes the slot
    // now holds. False when nothing to redo.
    int RedoSlot() const { return ringIndex_; }
    bool StepForward(uint64_t bytes = 0);

    // Nothing to undo or redo and nothing held; the current slot stays where it is. The owner empties
    // the slots itself.
    void Forget();

private:
    void SetSlotBytes(int slot, uint64_t bytes);
    void Release(int slot);
    void ReleaseRedo();

    int ringIndex_ = 0;
    int undoCount_ = 0;
    int redoCount_ = 0;
    uint64_t budget_ = UINT64_MAX;
    uint64_t heldBytes_ = 0;
    std::array<uint64_t, kHistorySlots> slotBytes_{};
    std::function<void(int)> release_;
};
