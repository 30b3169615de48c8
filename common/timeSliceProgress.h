#pragma once

// Where the progress bar of a tool's window stands for a step of its kernel.
// A kernel that gives no number of steps (0) counts ten, and its bar stops at
// the end.
struct TimeSliceProgress {
    int maximum;
    int value;
};

TimeSliceProgress timeSliceProgress(int step, int stepMax);
