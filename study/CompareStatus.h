#pragma once

// What the shadow-reading comparison is doing inside its mode.
enum CompareStatus : int {
    CompareIdle = 0,
    ComparePlayStandard = 1,  // the recording's sentence, once
    ComparePlayUser = 2,      // the learner's take, once
    CompareLoopStandard = 3,  // the loop, at the recording's sentence
    CompareLoopUser = 4,      // the loop, at the learner's take
    CompareRecording = 5,
};
