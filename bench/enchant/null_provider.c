/* A provider that knows every word and suggests nothing, with the engine's
 * word characters for Latin-1 text: what Enchant itself costs (tokenizing,
 * its word lists, the calls), measured apart from any checker. Tag en_US. */
#include <enchant-provider.h>
#include <glib.h>
#include <string.h>

static int latin1_letter(uint32_t c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
         (c >= 0xC0 && c <= 0xFF && c != 0xD0 && c != 0xD7 && c != 0xDE && c != 0xF0 && c != 0xF7 &&
          c != 0xFE);
}

static int word_character(EnchantDict* me, uint32_t c, size_t n) {
  (void)me;
  if (latin1_letter(c)) return 1;
  if (n == 0) return 0;
  if (c >= '0' && c <= '9') return 1;
  return n == 1 && (c == '\'' || c == 0x2019 || c == 0x2018 || c == 0x02BC);
}

static int check(EnchantDict* me, const char* const word, size_t length) {
  (void)me;
  (void)word;
  (void)length;
  return 0;
}

static EnchantDict* request_dict(EnchantProvider* me, const char* const tag) {
  (void)me;
  if (strcmp(tag, "en_US") != 0) return NULL;
  EnchantDict* dict = g_new0(EnchantDict, 1);
  dict->check = check;
  dict->is_word_character = word_character;
  return dict;
}

static void dispose_dict(EnchantProvider* me, EnchantDict* dict) {
  (void)me;
  g_free(dict);
}

static const char* identify(EnchantProvider* me) {
  (void)me;
  return "null";
}

static char** list_dicts(EnchantProvider* me, size_t* count) {
  (void)me;
  char** list = g_new0(char*, 2);
  list[0] = g_strdup("en_US");
  *count = 1;
  return list;
}

static void dispose(EnchantProvider* me) {
  g_free(me);
}

EnchantProvider* init_enchant_provider(void);
EnchantProvider* init_enchant_provider(void) {
  EnchantProvider* provider = g_new0(EnchantProvider, 1);
  provider->dispose = dispose;
  provider->request_dict = request_dict;
  provider->dispose_dict = dispose_dict;
  provider->identify = identify;
  provider->describe = identify;
  provider->list_dicts = list_dicts;
  return provider;
}
