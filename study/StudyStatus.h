#pragma once

// The study statuses: the idle lesson study and the status each mode runs in.
enum : int {
    StatusLesson = 1,
    StatusBrowse = 2,
    StatusThinkEnglish = 3,
    StatusSpell = 5,
    StatusCompare = 6,
    StatusWords = 7,
};
