#include "document/historyRing.h"

#include <algorithm>

uint64_t HistoryBudgetFor(uint64_t physicalMemoryBytes) { return std::max(physicalMemoryBytes / 4, kMinHistoryBudget); }

int HistoryRing::Wrap(int index) {
    const int r = index % kHistorySlots;
    return r < 0 ? r + kHistorySlots : r;
}

void HistoryRing::SetSlotBytes(int slot, uint64_t bytes) {
    heldBytes_ -= slotBytes_[slot];
    slotBytes_[slot] = bytes;
    heldBytes_ += bytes;
}

void HistoryRing::Release(int slot) {
    SetSlotBytes(slot, 0);
    if (release_) release_(slot);
}

// The redoable steps are the slots from the current one on.
void HistoryRing::ReleaseRedo() {
    for (int i = 0; i < redoCount_; ++i) Release(Wrap(ringIndex_ + i));
    redoCount_ = 0;
}

void HistoryRing::Advance(uint64_t bytes) {
    // The new step overwrote the first redoable slot; the others cannot be reached any more.
    for (int i = 1; i < redoCount_; ++i) Release(Wrap(ringIndex_ + i));
    redoCount_ = 0;
    SetSlotBytes(ringIndex_, bytes);
    ringIndex_ = Wrap(ringIndex_ + 1);
    if (undoCount_ < kMaxHistorySteps) {
        ++undoCount_;
    } else {
        Release(ringIndex_);  // the oldest step, in the slot the next step takes
    }
    while (heldBytes_ > budget_ && undoCount_ > 1) {
        Release(Wrap(ringIndex_ - undoCount_));
        --undoCount_;
    }
}

bool HistoryRing::StepBack(bool discardRedo, uint64_t bytes) {
    if (undoCount_ <= 0) return false;
    ringIndex_ = UndoSlot();
    --undoCount_;
    SetSlotBytes(ringIndex_, bytes);
    if (discardRedo) {
        ++redoCount_;
        ReleaseRedo();
    } else if (redoCount_ < kMaxHistorySteps) {
        ++redoCount_;
    }
    return true;
}

bool HistoryRing::StepForward(uint64_t bytes) {
    if (redoCount_ <= 0) return false;
    SetSlotBytes(ringIndex_, bytes);
    ringIndex_ = Wrap(ringIndex_ + 1);
    --redoCount_;
    if (undoCount_ < kMaxHistorySteps) ++undoCount_;
    return true;
}

void HistoryRing::Forget() {
    undoCount_ = 0;
    redoCount_ = 0;
    slotBytes_.fill(0);
    heldBytes_ = 0;
}
