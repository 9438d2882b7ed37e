/*
 * lexbaydll — the course-data library of Lexbay.
 *
 * Reads the course files (lesson text, word list, sentence timing), writes the
 * lesson, word and welcome pages, and supplies a millisecond clock, the
 * dictation comparison and the launch of the user's web browser.
 *
 * Every call opens what it needs, closes it before it returns and keeps no
 * state. Strings are zero-terminated byte strings; file contents are copied as
 * bytes and never converted between character sets. Paths are UTF-8 bytes.
 */
#ifndef LEXBAYDLL_H
#define LEXBAYDLL_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The host name that the welcome page's start picture links to. The welcome
 * view recognises a navigation to it and closes the welcome page instead. */
#define LEXBAY_START_HOST "start.lexbay.example.org"

/* The maker and its recording tool, with their web pages, credited on the
 * welcome page and in the program's recording-source dialog. The names are
 * UTF-8 in this header; the library writes them in the page's encoding. */
#define LEXBAY_MAKER_NAME "蓝湾软件"
#define LEXBAY_PRODUCT_NAME "声桥"
#define LEXBAY_MAKER_SITE "http://www.lexbay.example.com/"
#define LEXBAY_PRODUCT_PAGE "http://www.lexbay.example.com/shengqiao/"

#if defined(__GNUC__)
#define LEXBAYDLL_API __attribute__((visibility("default")))
#else
#define LEXBAYDLL_API
#endif

/* Receives one lesson title (the bytes after the '$', line end included). */
typedef void (*LexbayListSink)(void* list, const char* title);

/* Appends the title of every lesson of a lesson text file, in file order.
 * Returns the number of titles passed to addItem. */
LEXBAYDLL_API int32_t dllFillLsLesson(const char* lessonFile, void* list, LexbayListSink addItem);

/* Writes the page of lesson lessonIndex; returns its sentence count. */
LEXBAYDLL_API int32_t dllMakeHtml(const char* headFile, const char* lessonFile, const char* pageFile,
                    int32_t lessonIndex, int32_t showChinese);

/* Writes the word page of lesson lessonIndex; returns 0. */
LEXBAYDLL_API int32_t dllMakeHtmlWords(const char* headFile, const char* wordFile, const char* pageFile,
                         int32_t lessonIndex);

/* Reads sentence start times (seconds) into times, at most capacity of them;
 * returns how many were stored. */
LEXBAYDLL_API int32_t dllReadAllTimeInfo(const char* timingFile, double* times, int32_t capacity);

/* Writes the welcome page; returns 0. */
LEXBAYDLL_API int32_t dllInit(const char* pageFile);

/* Opens an address in the user's web browser without waiting for it.
 * Returns 0, or -1 when no browser opener is available. */
LEXBAYDLL_API int32_t dllIePage(const char* address);

/* The current UTC time as 100-ns units since 1601-01-01, in whole milliseconds. */
LEXBAYDLL_API double dllMyGetTime(void);

/* Milliseconds passed since a stamp of dllMyGetTime, truncated. */
LEXBAYDLL_API int32_t dllTimePassed(double stamp);

/* -1 when typed equals right, else the byte position of the first difference
 * in typed (its length when one text is the beginning of the other). */
LEXBAYDLL_API int32_t dllCompareSentence(const char* typed, const char* right);

#ifdef __cplusplus
}
#endif

#endif
