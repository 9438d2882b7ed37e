#pragma once

// The sub-statuses of the shadow-reading comparison mode (nCompareStatus).
enum : int {
    CompareIdle = 0,
    ComparePlayStandard = 1,
    ComparePlayUser = 2,
    CompareLoopStandard = 3,
    CompareLoopUser = 4,
    CompareRecording = 5,
};
