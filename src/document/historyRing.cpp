#include "document/historyRing.h"

int HistoryRing::Wrap(int index) {
    const int r = index % kHistorySlots;
    return r < 0 ? r + kHistorySlots : r;
}

void HistoryRing::Advance() {
    ringIndex_ = Wrap(ringIndex_ + 1);
    if (undoCount_ < kMaxHistorySteps) ++undoCount_;
    redoCount_ = 0;
}

bool HistoryRing::StepBack(bool discardRedo) {
    if (undoCount_ <= 0) return false;
    ringIndex_ = UndoSlot();
    --undoCount_;
    if (discardRedo)
        redoCount_ = 0;
    else if (redoCount_ < kMaxHistorySteps)
        ++redoCount_;
    return true;
}

bool HistoryRing::StepForward() {
    if (redoCount_ <= 0) return false;
    ringIndex_ = Wrap(ringIndex_ + 1);
    --redoCount_;
    if (undoCount_ < kMaxHistorySteps) ++undoCount_;
    return true;
}

void HistoryRing::Forget() {
    undoCount_ = 0;
    redoCount_ = 0;
}
