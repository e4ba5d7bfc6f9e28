/*
 * orth.h - the public interface of the ORTH spelling-checker engine.
 *
 * The engine checks words, walks and corrects blocks of text, proposes ranked
 * corrections, lists words that sound alike and keeps user word lists.
 *
 * Conventions every caller must know:
 *  - Text is 8-bit ISO 8859-1 (Latin-1). Words are NUL-terminated; a word the
 *    engine keeps has at most WORD_MAX (30) characters, longer input is cut.
 *  - Every function but ORTH_Version returns a 32-bit signed integer: a value
 *    of 0 or more is success (a handle, count, length, character or a set of
 *    RES_* finding bits); a negative value is one of the ERR_* codes below.
 *  - Handles are small numbers: sessions 0..15, lexicons 0..15 and blocks 0..3
 *    inside a session. Every open hands out the lowest free number.
 *  - Handles are checked first, in this order: session (ERR_BAD_SESSION), then
 *    the lexicon (ERR_BAD_LEX) or block (ERR_BAD_BLOCK), then the other
 *    arguments in the order each function's comment lists.
 *  - Caller buffers come with their size in bytes, counting the terminating
 *    NUL; the engine never writes past that size and a size of 0 means the
 *    buffer is not written. Word lists are consecutive NUL-terminated strings
 *    ended by an empty string.
 *  - Threads: different sessions may be used from different threads at the
 *    same time, and sessions may be opened and closed from any thread. Calls
 *    on one session are serialised by the engine: a second thread waits
 *    until the first call returns, and the answers are those of the calls
 *    made one after the other in some order. A call on a session that
 *    another thread is closing waits for the close and then returns
 *    ERR_BAD_SESSION. The engine starts no threads. Caller memory (buffers,
 *    an in-place block's text) is the caller's to keep from other threads.
 *  - Sessions that open the same dictionary file (same name, size and
 *    modification time) share what never changes after loading: the ranked
 *    suggester's index and commonness grades, and, for lexicons opened
 *    without a cache budget, the dictionary's sections. A lexicon opened
 *    with a budget keeps its own sections within it.
 *  - Case: a dictionary stores its words in lower case. Its case forms file,
 *    when there is one, gives the words its word list never writes in lower
 *    case; OPT_REPORT_WRONG_CASE reports them written otherwise, and ranked
 *    suggestions come out in their case. A word that a text lexicon or a
 *    dictionary without such a rule holds may be written in any case.
 */
#ifndef ORTH_H
#define ORTH_H

#include <stdint.h>

/* ---- Export macro -------------------------------------------------------- */
#if defined(_WIN32)
#if defined(ORTH_BUILDING_LIBRARY)
#define ORTH_API __declspec(dllexport)
#else
#define ORTH_API __declspec(dllimport)
#endif
#elif defined(__GNUC__) || defined(__clang__)
#define ORTH_API __attribute__((visibility("default")))
#else
#define ORTH_API
#endif

/* ---- Version (the single source of the project's version) --------------- */
#define ORTH_VERSION_MAJOR 3
#define ORTH_VERSION_MINOR 3
#define ORTH_VERSION_PATCH 0

/* ---- Limits -------------------------------------------------------------- */
#define WORD_MAX 30     /* characters of a word the engine keeps */
#define MAX_SESSIONS 16 /* sessions per process */
#define MAX_LEXICONS 16 /* lexicon slots per session */
#define MAX_BLOCKS 4    /* block slots per session */

/* ---- Result codes (pinned: a number never changes meaning) --------------- */
#define ERR_TOO_MANY_SESSIONS (-1)   /* all sessions are open */
#define ERR_BAD_SESSION (-2)         /* no open session under that number */
#define ERR_NOT_FOUND (-3)           /* word not in the lexicon, or no word in the block */
#define ERR_FILE_OPEN (-4)           /* a lexicon file cannot be opened, created or saved */
#define ERR_TOO_MANY_LEXICONS (-5)   /* all lexicon slots of the session are in use */
#define ERR_BAD_FORMAT (-6)          /* unknown lexicon type, or a damaged lexicon file */
#define ERR_BAD_LEX (-7)             /* no open lexicon under that number */
#define ERR_BUFFER_TOO_SMALL (-8)    /* an output buffer or a block's capacity is too small */
#define ERR_LEX_READ_ONLY (-9)       /* the lexicon cannot be edited */
#define ERR_OTHER_WORD_MISSING (-10) /* a change or suggest entry needs its other word */
/* -11 is not assigned. */
#define ERR_NO_MEMORY (-12)        /* memory ran out, or a size limit was reached */
#define ERR_LEX_NOT_LISTABLE (-13) /* the lexicon cannot be listed */
#define ERR_FILE_EXISTS (-14)      /* the file to create exists already */
#define ERR_TOO_MANY_BLOCKS (-15)  /* all block slots of the session are in use */
#define ERR_BAD_BLOCK (-16)        /* no open block under that number */

/* ---- Option bits of the word and block checks ---------------------------- */
#define OPT_IGNORE_CAPITALIZED 0x1u       /* excuse a word starting upper case */
#define OPT_IGNORE_MIXED_CASE 0x2u        /* excuse a mixed-case word */
#define OPT_IGNORE_NON_ALPHA 0x4u         /* excuse a word holding a non-letter */
#define OPT_REPORT_UNCAPITALIZED 0x10000u /* report a word not starting upper case */
#define OPT_REPORT_MIXED_CASE 0x20000u    /* report a mixed-case word */
#define OPT_REPORT_NON_ALPHA 0x40000u     /* mark a misspelled word holding a non-letter */
#define OPT_REPORT_MISSPELLED 0x80000u    /* look the word up in the lexicons */
#define OPT_REPORT_DOUBLED_WORD 0x100000u /* block check: report a repeated word */
#define OPT_SPLIT_AT_APOSTROPHE 0x200000u /* accept a word whose apostrophe pieces are known */
/* Extension: report a known word written in a case its dictionary rules out
 * ("debian" for "Debian", "nasa" for "NASA"), by the dictionary's case forms
 * file (".olf" beside its ".olx"). */
#define OPT_REPORT_WRONG_CASE 0x400000u

/* ---- Finding bits (non-negative results of the checks) ------------------- */
#define RES_MISSPELLED 0x1    /* found in no lexicon */
#define RES_CHANGE_WORD 0x2   /* a change lexicon holds a replacement */
#define RES_SUGGEST_WORD 0x4  /* a suggest lexicon holds a suggestion */
#define RES_UNCAPITALIZED 0x8 /* the first character is not upper case */
#define RES_MIXED_CASE 0x10   /* the word is mixed-case */
#define RES_NON_ALPHA 0x20    /* a misspelled word holding a non-letter */
#define RES_END_OF_BLOCK 0x40 /* block check: no word remains */
#define RES_DOUBLED_WORD 0x80 /* block check: the word repeats the previous one */
#define RES_WRONG_CASE 0x100  /* written in a case its dictionary rules out */

/* ---- Lexicon formats and types ------------------------------------------- */
#define LEX_FORMAT_COMPRESSED 0 /* read-only compressed dictionary */
#define LEX_FORMAT_TEXT 1       /* editable text word list */
#define LEX_TYPE_CHANGE 0       /* found words are reported with a replacement */
#define LEX_TYPE_ACCEPT 1       /* found words are spelled correctly */
#define LEX_TYPE_SUGGEST 2      /* found words are reported with a suggestion */

/* Lexicon options (extension), set with ORTH_SetLexOptions. */
#define LEXOPT_CHECK_ONLY 0x1u /* its words are accepted, never offered as corrections */

/* Search level of ORTH_Suggest: widen automatically until something is found. */
#define SUGGEST_LEVEL_AUTO (-1)

/* ---- Message numbers of qzptSendORTHMessage ------------------------------ */
#define MSG_OPEN_SESSION 100u
#define MSG_CLOSE_SESSION 101u
#define MSG_OPEN_LEX 102u
#define MSG_CREATE_LEX 103u
#define MSG_CLOSE_LEX 104u
#define MSG_CLEAR_LEX 105u
#define MSG_CHECK_WORD 106u
#define MSG_GET_LEX 107u
#define MSG_SUGGEST 108u
#define MSG_ADD_TO_LEX 109u
#define MSG_DEL_FROM_LEX 110u
#define MSG_GET_LEX_INFO 111u
#define MSG_VERSION 112u

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Sessions and version ------------------------------------------------ */

/* Stores the major and minor version (3 and 3); a null pointer is skipped. */
ORTH_API void ORTH_Version(int32_t* major, int32_t* minor);

/* Opens a session. Returns its number 0..15, ERR_TOO_MANY_SESSIONS or
 * ERR_NO_MEMORY. */
ORTH_API int32_t ORTH_OpenSession(void);

/* Closes a session with its lexicons (unsaved changes are discarded) and its
 * blocks (an in-place block leaves the caller's text as edited). Returns 0 or
 * ERR_BAD_SESSION. */
ORTH_API int32_t ORTH_CloseSession(int32_t session);

/* ---- Word check ---------------------------------------------------------- */

/* Checks one word under the OPT_* bits. The buffer (size 0: not written)
 * receives the word in corrected case, or a lexicon's replacement or
 * suggestion, or under RES_WRONG_CASE the word in its dictionary's case
 * (with the word's own elision and ending); every byte of it up to bufferSize is written
 * (NUL-filled), so pass a buffer of about WORD_MAX + 1 bytes, not a large one. Returns the RES_*
 * finding bits (0: nothing to report) or ERR_BAD_SESSION. */
ORTH_API int32_t ORTH_CheckWord(int32_t session, uint32_t options, const char* word, char* buffer,
                                uint32_t bufferSize);

/* ---- Suggestions --------------------------------------------------------- */

/* Writes up to maxCount ranked corrections for word into buffer (a list ended
 * by an empty string) and their scores 0..100 into scores. level is
 * SUGGEST_LEVEL_AUTO or 0..3 (breadth of the dictionary search). Returns 0,
 * ERR_BAD_SESSION, ERR_NO_MEMORY or ERR_BUFFER_TOO_SMALL. */
ORTH_API int32_t ORTH_Suggest(int32_t session, const char* word, int32_t level, char* buffer,
                              uint32_t bufferSize, int32_t* scores, int32_t maxCount);

/* Extension: the ranked suggester. Writes up to maxCount corrections for word
 * like ORTH_Suggest (the same buffer, score, case and ERR_BUFFER_TOO_SMALL
 * rules), found by a wider search and ranked by a model of how people
 * misspell: weighted edit distance (swapped, doubled and neighbouring-key
 * letters cheap, a changed first letter dear), agreement of the phonetic key,
 * and how common each word is when a dictionary has a commonness file (".olc"
 * beside its ".olx"). Scores: 100 for the word itself when a lexicon holds
 * it, 99 for a user list's replacement, 98 down to 1 for the others. The
 * first call that needs a dictionary indexes its words (kept while a session
 * has that file open, and shared by all of them). A word its dictionary's
 * case forms file gives in capitals comes out in that case, with the upper
 * case of the word as typed added: "debain" gives "Debian", "DEBAIN" gives
 * "DEBIAN".
 * ORTH_Suggest is unaffected. Returns 0, ERR_BAD_SESSION,
 * ERR_NO_MEMORY or ERR_BUFFER_TOO_SMALL. */
ORTH_API int32_t ORTH_SuggestRanked(int32_t session, const char* word, char* buffer,
                                    uint32_t bufferSize, int32_t* scores, int32_t maxCount);

/* ---- Lexicons ------------------------------------------------------------ */

/* Creates an empty text lexicon of LEX_TYPE_* type, with a new file when
 * fileName is given (null or empty: memory only). Checks: session, type
 * (ERR_BAD_FORMAT), free slot (ERR_TOO_MANY_LEXICONS), then ERR_FILE_EXISTS,
 * ERR_FILE_OPEN, ERR_NO_MEMORY. Returns the lexicon number. */
ORTH_API int32_t ORTH_CreateLex(int32_t session, const char* fileName, int32_t type,
                                int32_t language);

/* Opens a lexicon file of either format; cacheBudget bounds the bytes a
 * compressed dictionary caches (negative: no limit). Checks: session, free
 * slot (ERR_TOO_MANY_LEXICONS), then ERR_FILE_OPEN, ERR_BAD_FORMAT,
 * ERR_NO_MEMORY. Returns the lexicon number. */
ORTH_API int32_t ORTH_OpenLex(int32_t session, const char* fileName, int32_t cacheBudget);

/* Closes a lexicon, saving a modified text lexicon that has a file first.
 * Returns 0, ERR_BAD_SESSION, ERR_BAD_LEX or ERR_FILE_OPEN (the save failed:
 * the lexicon stays open and modified). */
ORTH_API int32_t ORTH_CloseLex(int32_t session, int32_t lex);

/* Adds a word (with its other word for change and suggest lexicons) to a text
 * lexicon. Returns 0, ERR_BAD_SESSION, ERR_BAD_LEX, ERR_LEX_READ_ONLY,
 * ERR_OTHER_WORD_MISSING, ERR_BAD_FORMAT (nothing left to store) or
 * ERR_NO_MEMORY. */
ORTH_API int32_t ORTH_AddToLex(int32_t session, int32_t lex, const char* word,
                               const char* otherWord);

/* Removes a word from a text lexicon. Returns 0, ERR_BAD_SESSION,
 * ERR_BAD_LEX, ERR_LEX_READ_ONLY or ERR_NOT_FOUND. */
ORTH_API int32_t ORTH_DelFromLex(int32_t session, int32_t lex, const char* word);

/* Removes every entry of a text lexicon. Returns 0, ERR_BAD_SESSION,
 * ERR_BAD_LEX or ERR_LEX_READ_ONLY. */
ORTH_API int32_t ORTH_ClearLex(int32_t session, int32_t lex);

/* Reports a lexicon's listing size in bytes, LEX_FORMAT_*, LEX_TYPE_* and
 * language; each output may be null. Returns 0, ERR_BAD_SESSION or
 * ERR_BAD_LEX. */
ORTH_API int32_t ORTH_GetLexInfo(int32_t session, int32_t lex, int32_t* size, int32_t* format,
                                 int32_t* type, int32_t* language);

/* Extension: sets an open lexicon's LEXOPT_* bits (0 clears them; a new
 * lexicon has none). Under LEXOPT_CHECK_ONLY the word and block checks accept
 * the lexicon's words as before, while ORTH_Suggest, ORTH_SuggestRanked and
 * ORTH_PhonSearch never offer them, nor use them as parts of a split word;
 * only the typed word itself still comes first when such a lexicon holds it.
 * Meant for a large list of rare words: accepted when written, but kept from
 * crowding out the common words a misspelling was meant to be. Returns 0,
 * ERR_BAD_SESSION, ERR_BAD_LEX or ERR_BAD_FORMAT (an unknown bit: nothing
 * changes). */
ORTH_API int32_t ORTH_SetLexOptions(int32_t session, int32_t lex, uint32_t options);

/* Lists a text lexicon's entries ("word" or "word:other") into buffer.
 * Returns the number of entries, ERR_BAD_SESSION, ERR_BAD_LEX,
 * ERR_LEX_NOT_LISTABLE or ERR_BUFFER_TOO_SMALL. */
ORTH_API int32_t ORTH_GetLex(int32_t session, int32_t lex, char* buffer, uint32_t bufferSize);

/* ---- Phonetic search ----------------------------------------------------- */

/* Lists the lexicon words that sound like word into buffer. Returns the
 * number of words, ERR_BAD_SESSION or ERR_BUFFER_TOO_SMALL. */
ORTH_API int32_t ORTH_PhonSearch(int32_t session, const char* word, char* buffer,
                                 uint32_t bufferSize);

/* ---- Text blocks --------------------------------------------------------- */

/* Opens a block over length bytes of text in a buffer of capacity bytes;
 * copy non-zero works on a private copy, zero edits the caller's buffer in
 * place (it must stay alive and unmoved until the block is closed). Checks:
 * session, free slot (ERR_TOO_MANY_BLOCKS), length <= capacity and text given
 * when length > 0 (ERR_BUFFER_TOO_SMALL), ERR_NO_MEMORY. Returns the block
 * number 0..3 with the cursor on the first word. */
ORTH_API int32_t ORTH_OpenBlock(int32_t session, const char* text, uint32_t length,
                                uint32_t capacity, int32_t copy);

/* Closes a block. Returns 0, ERR_BAD_SESSION or ERR_BAD_BLOCK. */
ORTH_API int32_t ORTH_CloseBlock(int32_t session, int32_t block);

/* Walks the block from the current word to the next one with a finding under
 * the OPT_* bits (plus OPT_REPORT_DOUBLED_WORD). The word goes to wordBuffer,
 * the corrected or replacement word to otherBuffer. Returns the RES_* bits of
 * that word, RES_END_OF_BLOCK, ERR_BAD_SESSION or ERR_BAD_BLOCK. */
ORTH_API int32_t ORTH_CheckBlock(int32_t session, int32_t block, uint32_t options, char* wordBuffer,
                                 uint32_t wordBufferSize, char* otherBuffer,
                                 uint32_t otherBufferSize);

/* Replaces the current word (its first 30 characters) by newWord; the cursor
 * stays on the new word. Returns 0, ERR_BAD_SESSION, ERR_BAD_BLOCK,
 * ERR_NOT_FOUND (no current word) or ERR_BUFFER_TOO_SMALL (it would not fit
 * the capacity, or newWord is null); the text is unchanged on failure. */
ORTH_API int32_t ORTH_ReplaceBlockWord(int32_t session, int32_t block, const char* newWord);

/* Moves the cursor to the next word. Returns 0, ERR_BAD_SESSION,
 * ERR_BAD_BLOCK or ERR_NOT_FOUND (no further word: the cursor is at the end). */
ORTH_API int32_t ORTH_NextBlockWord(int32_t session, int32_t block);

/* Deletes from the cursor up to and including the white space after the
 * word. Returns 0, or ERR_BAD_SESSION for a bad session or a bad block. */
ORTH_API int32_t ORTH_DelBlockWord(int32_t session, int32_t block);

/* Reports the text length, capacity, cursor and word count; each output may
 * be null. The block is left as it was. Returns 0, ERR_BAD_SESSION or
 * ERR_BAD_BLOCK. */
ORTH_API int32_t ORTH_GetBlockInfo(int32_t session, int32_t block, uint32_t* length,
                                   uint32_t* capacity, uint32_t* cursor, uint32_t* wordCount);

/* Copies the word at or after the cursor into buffer (at most size - 1
 * characters and a NUL). Returns the character after the copied part
 * (0..255; 0 at the end of the text), ERR_BAD_SESSION, ERR_BAD_BLOCK,
 * ERR_BUFFER_TOO_SMALL (size 0 or a null buffer: nothing written) or
 * ERR_NOT_FOUND. */
ORTH_API int32_t ORTH_GetBlockWord(int32_t session, int32_t block, char* buffer, uint32_t size);

/* Copies the block's text (no NUL added) into buffer. Returns its length,
 * ERR_BAD_SESSION, ERR_BAD_BLOCK or ERR_BUFFER_TOO_SMALL. */
ORTH_API int32_t ORTH_GetBlock(int32_t session, int32_t block, char* buffer, uint32_t size);

/* ---- Message dispatcher -------------------------------------------------- */

/* Calls the function of message MSG_* with the generic arguments in order
 * and returns its result; an unknown message returns 0. */
ORTH_API int32_t qzptSendORTHMessage(uint32_t message, intptr_t a1, intptr_t a2, intptr_t a3,
                                     intptr_t a4, intptr_t a5, intptr_t a6, intptr_t a7);

#ifdef __cplusplus
}
#endif

#endif /* ORTH_H */
