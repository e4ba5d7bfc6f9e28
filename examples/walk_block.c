/* walk_block: a minimal host of the engine, in C.
 *
 * Opens a session, opens a block over a sample paragraph that works in this
 * program's own buffer, walks it word by word, replaces one word, and prints
 * the edited paragraph. Given a dictionary file (walk_block en_US.olx), it
 * first checks the paragraph against it and prints the findings. */
#include <stdio.h>
#include <string.h>

#include "orth.h"

/* Prints each word of the block the dictionary (lexicon 0) reports. */
static void print_findings(int32_t session, int32_t block) {
  char word[WORD_MAX + 1];
  char other[WORD_MAX + 1];
  const uint32_t options = OPT_REPORT_MISSPELLED | OPT_REPORT_DOUBLED_WORD;
  int32_t result;
  while ((result = ORTH_CheckBlock(session, block, options, word, sizeof word, other,
                                   sizeof other)) >= 0 &&
         !(result & RES_END_OF_BLOCK)) {
    printf("finding: %s%s%s\n", word, (result & RES_MISSPELLED) ? " misspelled" : "",
           (result & RES_DOUBLED_WORD) ? " doubled" : "");
    if (ORTH_NextBlockWord(session, block) != 0) break;
  }
}

int main(int argc, char** argv) {
  char paragraph[256] =
      "Teh engine walks a block of text word by word; it can replace "
      "or delete the the word under its cursor.";
  char word[WORD_MAX + 1];
  char edited[256];
  int32_t major, minor, session, block, next, length;
  uint32_t words = 0;

  ORTH_Version(&major, &minor);
  printf("engine version %d.%d\n", (int)major, (int)minor);

  session = ORTH_OpenSession();
  if (session < 0) {
    fprintf(stderr, "cannot open a session: %d\n", (int)session);
    return 1;
  }
  block = ORTH_OpenBlock(session, paragraph, (uint32_t)strlen(paragraph), sizeof paragraph, 0);
  if (block < 0) {
    fprintf(stderr, "cannot open a block: %d\n", (int)block);
    ORTH_CloseSession(session);
    return 1;
  }
  if (argc > 1) {
    if (ORTH_OpenLex(session, argv[1], -1) < 0) {
      fprintf(stderr, "cannot open the dictionary %s\n", argv[1]);
      ORTH_CloseSession(session);
      return 1;
    }
    print_findings(session, block);
    ORTH_CloseBlock(session, block);
    block = ORTH_OpenBlock(session, paragraph, (uint32_t)strlen(paragraph), sizeof paragraph, 0);
  }
  ORTH_GetBlockInfo(session, block, NULL, NULL, NULL, &words);
  printf("%u words:\n", (unsigned)words);

  do {
    if (ORTH_GetBlockWord(session, block, word, sizeof word) < 0) break;
    printf("  %s\n", word);
    next = ORTH_NextBlockWord(session, block);
  } while (next == 0);

  /* Start again over the same buffer and correct its first word. */
  ORTH_CloseBlock(session, block);
  block = ORTH_OpenBlock(session, paragraph, (uint32_t)strlen(paragraph), sizeof paragraph, 0);
  if (block >= 0 && ORTH_ReplaceBlockWord(session, block, "The") == 0) {
    length = ORTH_GetBlock(session, block, edited, sizeof edited - 1);
    if (length >= 0) {
      edited[length] = '\0';
      printf("edited: %s\n", edited);
    }
  }
  ORTH_CloseSession(session);
  return 0;
}
