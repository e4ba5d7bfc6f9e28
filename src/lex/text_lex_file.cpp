// The text lexicon file: header line, probing, loading, creating and saving.
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <random>
#include <string>
#include <system_error>

#include "lex/save_file_ops.h"
#include "lex/text_lex.h"
#include "session/platform_file.h"
#include "text/char_table.h"

namespace orth {

namespace {

// ProbeTextLex reads this much of the header line; LoadTextLex reads the
// header and every entry line in pieces of TEXT_LEX_PIECE_MAX bytes, a longer
// line giving several pieces.
constexpr size_t PROBE_LINE_MAX = 80;
constexpr size_t TEXT_LEX_PIECE_MAX = 79;
// How many temporary names a save tries next to its target.
constexpr int SAVE_TEMP_ATTEMPTS = 16;

// Closes a C file when it goes out of scope.
struct ScopedFile {
  std::FILE* file = nullptr;
  explicit ScopedFile(std::FILE* f) : file(f) {}
  ScopedFile(const ScopedFile&) = delete;
  ScopedFile& operator=(const ScopedFile&) = delete;
  ~ScopedFile() {
    if (file != nullptr) std::fclose(file);
  }
};

bool HasName(const char* fileName) {
  return fileName != nullptr && fileName[0] != '\0';
}

// Reads up to max bytes into piece, stopping after a line feed, and ends it
// with a NUL (piece holds max + 1 bytes). Returns the bytes read, 0 at the end
// of the file or after a read error (which the caller tells by ferror).
size_t ReadPiece(std::FILE* file, char* piece, size_t max) {
  size_t length = 0;
  while (length < max) {
    const int c = std::getc(file);
    if (c == EOF) break;
    piece[length++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  piece[length] = '\0';
  return length;
}

// An optional sign and decimal digits, stopping at the first other byte; no
// digits give 0. Tokens are at most 9 bytes, so the value fits.
int32_t ParseDecimal(const char* token) {
  const char* p = token;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  int32_t value = 0;
  while (*p >= '0' && *p <= '9') value = value * 10 + (*p++ - '0');
  return negative ? -value : value;
}

int32_t WriteHeaderLine(std::FILE* file, int32_t language, int32_t type, uint32_t count) {
  return std::fprintf(file, "%cLID %04d %d %u\n", '#', language, type, count) < 0 ? ERR_FILE_OPEN
                                                                                  : 0;
}

// Writes the whole lexicon and closes the file; any failed write, flush or
// close gives ERR_FILE_OPEN.
int32_t WriteTextLexFile(const TextLex& lex, std::FILE* file) {
  const SaveFileOps& ops = TextLexSaveOps();
  // A header line, or two words, a ':' and a line feed.
  char line[2 * TEXT_LEX_SLOT_SIZE + 2];
  std::snprintf(line, sizeof line, "%cLID %04d %d %u\n", '#', lex.language, lex.type, lex.count);
  bool ok = ops.writeText(file, line) >= 0;
  for (uint32_t i = 0; ok && i < lex.count; ++i) {
    if (lex.HasOthers()) {
      std::snprintf(line, sizeof line, "%s:%s\n", lex.WordAt(i), lex.OtherAt(i));
    } else {
      std::snprintf(line, sizeof line, "%s\n", lex.WordAt(i));
    }
    ok = ops.writeText(file, line) >= 0;
  }
  ok = ok && ops.flush(file) == 0 && std::ferror(file) == 0;
  const bool closed = ops.close(file) == 0;
  return ok && closed ? 0 : ERR_FILE_OPEN;
}

// A number for a temporary name that differs between processes and calls.
uint64_t TempNameNumber() {
  uint64_t number =
      static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  try {
    std::random_device device;
    number ^= (static_cast<uint64_t>(device()) << 32) | device();
  } catch (...) {
    // The clock alone still varies between attempts.
  }
  return number % 100000000;
}

// Creates a fresh temporary file next to target, never reusing an existing
// name. Returns the open file (null when none could be made) and its name.
// After the first name the names are random: the temporary files that
// interrupted saves leave behind must not use up the names for good.
std::FILE* CreateSaveTemp(const std::string& target, std::string& tempName) {
  for (int attempt = 0; attempt < SAVE_TEMP_ATTEMPTS; ++attempt) {
    tempName =
        attempt == 0 ? target + ".tmp" : target + "." + std::to_string(TempNameNumber()) + ".tmp";
    errno = 0;
    std::FILE* file = TextLexSaveOps().createExclusive(tempName.c_str());
    if (file != nullptr) return file;
    if (errno != EEXIST) break;
  }
  return nullptr;
}

// Stores one entry piece (its line end already removed) in the next slot.
void StoreEntry(TextLex& lex, char* piece) {
  char* other = nullptr;
  if (lex.HasOthers()) {
    other = std::strchr(piece, ':');
    if (other != nullptr) *other++ = '\0';
  }
  StoreTextLexWord(lex.WordAt(lex.count), piece);
  // A Change or Suggest line without ':' keeps its word with an empty other
  // word, and is saved back as "word:".
  if (lex.HasOthers()) StoreTextLexWord(lex.OtherAt(lex.count), other != nullptr ? other : "");
  // A carriage return ending the entry (kept when a NUL or the cut to
  // WORD_MAX came after it) would be taken for part of the line end when the
  // saved file is read again; dropping it here keeps a save lossless.
  char* last = lex.HasOthers() ? lex.OtherAt(lex.count) : lex.WordAt(lex.count);
  for (size_t length = std::strlen(last); length > 0 && last[length - 1] == '\r';) {
    last[--length] = '\0';
  }
  ++lex.count;
}

}  // namespace

SaveFileOps DefaultSaveFileOps() {
  SaveFileOps ops;
  ops.createExclusive = [](const char* name) { return CreateNewFile(name); };
  ops.writeText = [](std::FILE* file, const char* text) { return std::fputs(text, file); };
  ops.flush = [](std::FILE* file) { return std::fflush(file); };
  ops.close = [](std::FILE* file) { return std::fclose(file); };
  ops.rename = [](const char* from, const char* to) { return ReplaceFileWith(from, to); };
  return ops;
}

SaveFileOps& TextLexSaveOps() {
  static SaveFileOps ops = DefaultSaveFileOps();
  return ops;
}

const char* ReadHeaderToken(const char* position, char* token) {
  const char* p = position;
  while (IsSpace(static_cast<unsigned char>(*p))) ++p;
  int length = 0;
  while (length < HEADER_TOKEN_MAX && *p != '\0' && !IsSpace(static_cast<unsigned char>(*p))) {
    token[length++] = *p++;
  }
  token[length] = '\0';
  return p;
}

int32_t ParseLexHeader(const char* line, int32_t& language, int32_t& type, int32_t& count) {
  char token[HEADER_TOKEN_MAX + 1];
  const char* p = ReadHeaderToken(line, token);  // "#LID": not examined
  p = ReadHeaderToken(p, token);
  if (*p == '\0') return ERR_BAD_FORMAT;
  const int32_t parsedLanguage = ParseDecimal(token);
  p = ReadHeaderToken(p, token);
  if (*p == '\0') return ERR_BAD_FORMAT;
  const int32_t parsedType = ParseDecimal(token);
  ReadHeaderToken(p, token);
  const int32_t parsedCount = ParseDecimal(token);
  language = parsedLanguage;
  type = parsedType;
  count = parsedCount < 0 ? 0 : parsedCount;
  return 0;
}

int32_t ProbeTextLex(const char* fileName, int32_t& type, int32_t& language) {
  if (!HasName(fileName)) return ERR_FILE_OPEN;
  ScopedFile file(OpenFile(fileName, "rb"));
  if (file.file == nullptr) return ERR_FILE_OPEN;
  char line[PROBE_LINE_MAX + 1];
  if (ReadPiece(file.file, line, PROBE_LINE_MAX) == 0 || line[0] != '#') return ERR_BAD_FORMAT;
  int32_t parsedLanguage = 0;
  int32_t parsedType = 0;
  int32_t count = 0;
  if (ParseLexHeader(line, parsedLanguage, parsedType, count) != 0) return ERR_BAD_FORMAT;
  type = parsedType;
  language = parsedLanguage;
  return 0;
}

int32_t LoadTextLex(const char* fileName, std::unique_ptr<TextLex>& out) {
  std::unique_ptr<TextLex> lex(new (std::nothrow) TextLex);
  if (!lex) return ERR_NO_MEMORY;
  if (!HasName(fileName)) return ERR_FILE_OPEN;
  ScopedFile file(OpenFile(fileName, "rb"));
  if (file.file == nullptr) return ERR_FILE_OPEN;

  char piece[TEXT_LEX_PIECE_MAX + 1];
  if (ReadPiece(file.file, piece, TEXT_LEX_PIECE_MAX) == 0 || piece[0] != '#') {
    return std::ferror(file.file) ? ERR_FILE_OPEN : ERR_BAD_FORMAT;
  }
  int32_t count = 0;
  if (ParseLexHeader(piece, lex->language, lex->type, count) != 0) return ERR_BAD_FORMAT;
  if (lex->type != LEX_TYPE_CHANGE && lex->type != LEX_TYPE_ACCEPT &&
      lex->type != LEX_TYPE_SUGGEST) {
    return ERR_BAD_FORMAT;
  }

  // Room for the header's count and a few additions, within the byte limit of
  // an array, so that every list a lexicon can grow to loads again.
  if (static_cast<uint32_t>(count) > TEXT_LEX_MAX_ENTRIES) return ERR_NO_MEMORY;
  lex->capacity = static_cast<uint32_t>(count) + TEXT_LEX_GROW_STEP;
  if (lex->capacity > TEXT_LEX_MAX_ENTRIES) lex->capacity = TEXT_LEX_MAX_ENTRIES;
  lex->words = AllocateTextLexSlots(lex->capacity);
  if (!lex->words) return ERR_NO_MEMORY;
  if (lex->type != LEX_TYPE_ACCEPT) {
    lex->others = AllocateTextLexSlots(lex->capacity);
    if (!lex->others) return ERR_NO_MEMORY;
  }

  for (;;) {
    size_t length = ReadPiece(file.file, piece, TEXT_LEX_PIECE_MAX);
    if (length == 0) break;
    if (piece[length - 1] == '\n') {
      piece[--length] = '\0';
      if (length > 0 && piece[length - 1] == '\r') piece[--length] = '\0';
    }
    if (piece[0] == '#') continue;
    if (lex->count == lex->capacity) {
      const int32_t grown = GrowTextLex(*lex);
      if (grown < 0) return grown;
    }
    StoreEntry(*lex, piece);
  }
  // A read error must not pass for the end of the list: saving a partly read
  // list later would lose the rest of the user's words.
  if (std::ferror(file.file)) return ERR_FILE_OPEN;
  out = std::move(lex);
  return 0;
}

int32_t CreateTextLex(const char* fileName, int32_t type, int32_t language,
                      std::unique_ptr<TextLex>& out) {
  if (HasName(fileName)) {
    if (std::FILE* existing = OpenFile(fileName, "rb")) {
      std::fclose(existing);
      return ERR_FILE_EXISTS;
    }
    // Exclusive creation: a file that exists but cannot be read is not
    // overwritten either.
    errno = 0;
    std::FILE* file = CreateNewFile(fileName);
    if (file == nullptr) return errno == EEXIST ? ERR_FILE_EXISTS : ERR_FILE_OPEN;
    const bool written = WriteHeaderLine(file, language, type, 0) == 0 && std::fflush(file) == 0;
    if (std::fclose(file) != 0 || !written) {
      RemoveFile(fileName);  // the file is ours and incomplete
      return ERR_FILE_OPEN;
    }
  }

  std::unique_ptr<TextLex> lex(new (std::nothrow) TextLex);
  if (!lex) return ERR_NO_MEMORY;
  lex->type = type;
  lex->language = language;
  lex->capacity = TEXT_LEX_GROW_STEP;
  lex->words = AllocateTextLexSlots(lex->capacity);
  if (!lex->words) return ERR_NO_MEMORY;
  if (type != LEX_TYPE_ACCEPT) {
    lex->others = AllocateTextLexSlots(lex->capacity);
    if (!lex->others) return ERR_NO_MEMORY;
  }
  out = std::move(lex);
  return 0;
}

int32_t SaveTextLex(const TextLex& lex, const char* fileName) {
  if (!HasName(fileName)) return ERR_FILE_OPEN;
  namespace fs = std::filesystem;
  std::error_code error;
  fs::path target = PathFromName(fileName);

  // A target that exists but may not be written stays as it is, as it would
  // if it were rewritten in place.
  if (std::FILE* probe = OpenFile(fileName, "r+b")) {
    std::fclose(probe);
  } else if (fs::exists(fs::symlink_status(target, error))) {
    return ERR_FILE_OPEN;
  }
  // A linked list file is replaced where it really lives; the link stays.
  if (fs::is_symlink(fs::symlink_status(target, error))) {
    target = fs::canonical(target, error);
    if (error) return ERR_FILE_OPEN;
  }

  // Write a complete copy first and let it replace the target in one step,
  // so that a full disk or a crash never leaves a partly written list.
  std::string tempName;
  const std::string targetName = NameFromPath(target);
  std::FILE* file = CreateSaveTemp(targetName, tempName);
  if (file == nullptr) return ERR_FILE_OPEN;
  try {
    if (WriteTextLexFile(lex, file) != 0) {
      RemoveFile(tempName.c_str());
      return ERR_FILE_OPEN;
    }
    const fs::file_status old = fs::status(target, error);
    if (!error && fs::exists(old))
      fs::permissions(PathFromName(tempName.c_str()), old.permissions(), error);
    error.clear();  // a new target has no status; the rename decides
    if (TextLexSaveOps().rename(tempName.c_str(), targetName.c_str()) != 0) {
      error = std::make_error_code(std::errc::io_error);
    }
  } catch (...) {
    error = std::make_error_code(std::errc::not_enough_memory);
  }
  if (error) {
    RemoveFile(tempName.c_str());
    return ERR_FILE_OPEN;
  }
  return 0;
}

}  // namespace orth
