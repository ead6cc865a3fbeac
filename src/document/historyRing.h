// Bookkeeping of the document's undo history: 128 slots used as a ring, so up to 127 steps can be undone
// and redone. This class only counts and moves the current slot; the document owns what the slots hold.
#pragma once

inline constexpr int kHistorySlots = 128;
// One slot is always the one the next step overwrites, so it can never be an undoable step.
inline constexpr int kMaxHistorySteps = kHistorySlots - 1;

class HistoryRing {
public:
    // Slot index modulo the ring size, always 0..127 (also for negative values).
    static int Wrap(int index);

    int RingIndex() const { return ringIndex_; }
    int UndoCount() const { return undoCount_; }
    int RedoCount() const { return redoCount_; }
    bool CanUndo() const { return undoCount_ > 0; }
    bool CanRedo() const { return redoCount_ > 0; }

    // The slot a new step is stored in; after storing it, Advance.
    int RecordSlot() const { return ringIndex_; }
    // A step was stored at RecordSlot: the oldest undoable step drops off when the ring is full and
    // every redoable step becomes unreachable.
    void Advance();

    // The slot that holds the step Undo swaps back; after the swap, StepBack. False when nothing to undo.
    int UndoSlot() const { return Wrap(ringIndex_ - 1); }
    bool StepBack(bool discardRedo);

    // The slot that holds the step Redo swaps forward; after the swap, StepForward. False when nothing to redo.
    int RedoSlot() const { return ringIndex_; }
    bool StepForward();

    // Nothing to undo or redo; the current slot stays where it is.
    void Forget();

private:
    int ringIndex_ = 0;
    int undoCount_ = 0;
    int redoCount_ = 0;
};
