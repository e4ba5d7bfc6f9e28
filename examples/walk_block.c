/* walk_block: a minimal host of the engine, in C.
 *
 * Opens a session, opens a block over a sample paragraph that works in this
 * program's own buffer, walks it word by word, replaces one word, and prints
 * the edited paragraph. */
#include <stdio.h>
#include <string.h>

#include "orth.h"

int main(void) {
  char paragraph[256] =
      "Teh engine walks a block of text word by word; it can replace "
      "or delete the word under its cursor.";
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
