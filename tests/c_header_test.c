/* The public header compiles as C, and a C program links the library. */
#include <stdio.h>
#include <string.h>

#include "orth.h"

int main(void) {
  int32_t major = 0, minor = 0;
  char text[] = "Teh cat";
  char word[WORD_MAX + 1];
  int32_t session, block;

  ORTH_Version(&major, &minor);
  ORTH_Version(NULL, NULL);
  if (major != ORTH_VERSION_MAJOR || minor != ORTH_VERSION_MINOR) return 1;

  session = ORTH_OpenSession();
  if (session < 0) return 2;
  block = ORTH_OpenBlock(session, text, (uint32_t)strlen(text), sizeof text, 0);
  if (block < 0) return 3;
  if (ORTH_GetBlockWord(session, block, word, sizeof word) != ' ' || strcmp(word, "Teh") != 0)
    return 4;
  if (ORTH_ReplaceBlockWord(session, block, "The") != 0 || strcmp(text, "The cat") != 0) return 5;
  if (ORTH_CloseSession(session) != 0) return 6;
  puts("C interface ok");
  return 0;
}
