#pragma once

// The files a run writes into its user folder (the working folder, so they
// are named relative to it), and the shipped files it reads from there by
// name. The lesson page names its pictures relative to itself.

inline constexpr char kLessonPage[] = "curLesson.htm";
inline constexpr char kWordsPage[] = "curLessonwords.htm";
inline constexpr char kWelcomePage[] = "homepage.htm";
// The learner's take, made from the blank one, whose format it keeps.
inline constexpr char kTakeFile[] = "yourvoice.wav";
inline constexpr char kBlankTakeFile[] = "userblank.wav";
// The heads the lesson and word pages begin with.
inline constexpr char kLessonHead[] = "htmlhead.txt";
inline constexpr char kWordsHead[] = "htmlheadwords.txt";
