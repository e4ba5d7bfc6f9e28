#include "lex/case_forms.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "lex/commonness_file.h"
#include "lex/compressed_lex.h"
#include "lex/shared_dictionary.h"
#include "lex/sidecar_file.h"
#include "orth.h"
#include "session/platform_file.h"
#include "text/char_table.h"

namespace orth {

namespace {

// More forms than any word list of a language has; a larger count is a
// damaged file, not a reason to allocate.
constexpr uint32_t MOST_FORMS = 1u << 22;

unsigned char Lower(char c) {
  return ToLowerChar(static_cast<unsigned char>(c));
}

// FNV-1a of the lower-case spelling.
uint32_t HashLower(const char* word, size_t length) {
  uint32_t hash = 2166136261u;
  for (size_t i = 0; i < length; ++i) hash = (hash ^ Lower(word[i])) * 16777619u;
  return hash;
}

// Byte order of the lower-case spellings: negative, 0 or positive.
int CompareLower(const std::string& a, const std::string& b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    const unsigned char x = Lower(a[i]);
    const unsigned char y = Lower(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

}  // namespace

std::string CaseFormsFileName(const std::string& lexFileName) {
  const std::string commonness = CommonnessFileName(lexFileName);
  return commonness.substr(0, commonness.size() - std::strlen(COMMONNESS_EXTENSION)) +
         CASE_FORMS_EXTENSION;
}

bool HasUpperCase(const char* word) {
  for (const char* p = word; *p != '\0'; ++p) {
    if (IsUpper(static_cast<unsigned char>(*p))) return true;
  }
  return false;
}

void SortCaseForms(std::vector<std::string>& forms) {
  std::sort(forms.begin(), forms.end(),
            [](const std::string& a, const std::string& b) { return CompareLower(a, b) < 0; });
}

void BuildCaseForms(const std::vector<std::string>& forms, CaseForms& out) {
  out = CaseForms{};
  size_t bytes = 0;
  for (const std::string& form : forms) bytes += form.size() + 1;
  out.forms.reserve(bytes);
  // At most half full, so that a probe for a word without a form (almost
  // every word of a text) ends at once.
  size_t slots = 16;
  while (slots < forms.size() * 2) slots *= 2;
  out.slots.assign(slots, 0);
  for (const std::string& form : forms) {
    const auto offset = static_cast<uint32_t>(out.forms.size());
    out.forms.append(form);
    out.forms.push_back('\0');
    size_t at = HashLower(form.data(), form.size()) & (slots - 1);
    while (out.slots[at] != 0) at = (at + 1) & (slots - 1);
    out.slots[at] = offset + 1;
  }
  out.count = static_cast<uint32_t>(forms.size());
}

const char* FindCaseForm(const CaseForms& table, const char* lower, size_t length) {
  if (table.count == 0) return nullptr;
  const size_t mask = table.slots.size() - 1;
  for (size_t at = HashLower(lower, length) & mask; table.slots[at] != 0; at = (at + 1) & mask) {
    const char* form = table.forms.data() + (table.slots[at] - 1);
    size_t i = 0;
    while (i < length && form[i] != '\0' &&
           Lower(form[i]) == static_cast<unsigned char>(lower[i])) {
      ++i;
    }
    if (i == length && form[i] == '\0') return form;
  }
  return nullptr;
}

int32_t ReadCaseFormsFile(const std::string& path, const LexFingerprint& lex, CaseForms& out) {
  out = CaseForms{};
  const FilePtr file(OpenFile(path.c_str(), "rb"));
  if (file == nullptr) return ERR_FILE_OPEN;
  unsigned char header[CASE_FORMS_HEADER_SIZE];
  if (std::fread(header, 1, sizeof header, file.get()) != sizeof header) return ERR_BAD_FORMAT;
  const unsigned char* fields = header + CASE_FORMS_MAGIC_SIZE;
  const uint32_t count = GetLe32(fields + 4);
  if (std::memcmp(header, CASE_FORMS_MAGIC, CASE_FORMS_MAGIC_SIZE) != 0 ||
      GetLe32(fields) != CASE_FORMS_VERSION || count > MOST_FORMS ||
      GetLe32(fields + 8) != lex.size || GetLe32(fields + 12) != lex.hash) {
    return ERR_BAD_FORMAT;
  }
  std::vector<std::string> forms;
  forms.reserve(count);
  std::string form;
  int c = 0;
  while (forms.size() < count && (c = std::fgetc(file.get())) != EOF) {
    if (c != '\0') {
      if (form.size() == WORD_MAX) return ERR_BAD_FORMAT;
      form.push_back(static_cast<char>(c));
      continue;
    }
    if (form.empty() || !HasUpperCase(form.c_str()) ||
        (!forms.empty() && CompareLower(forms.back(), form) >= 0)) {
      return ERR_BAD_FORMAT;
    }
    forms.push_back(std::move(form));
    form.clear();
  }
  if (forms.size() != count || !form.empty() || std::fgetc(file.get()) != EOF ||
      std::ferror(file.get()) != 0) {
    return ERR_BAD_FORMAT;
  }
  BuildCaseForms(forms, out);
  return 0;
}

int32_t WriteCaseFormsFile(const std::string& path, const LexFingerprint& lex,
                           const std::vector<std::string>& forms) {
  unsigned char header[CASE_FORMS_HEADER_SIZE];
  std::memcpy(header, CASE_FORMS_MAGIC, CASE_FORMS_MAGIC_SIZE);
  unsigned char* fields = header + CASE_FORMS_MAGIC_SIZE;
  PutLe32(fields, CASE_FORMS_VERSION);
  PutLe32(fields + 4, static_cast<uint32_t>(forms.size()));
  PutLe32(fields + 8, lex.size);
  PutLe32(fields + 12, lex.hash);

  std::string body;
  for (const std::string& form : forms) {
    body.append(form);
    body.push_back('\0');
  }
  return WriteSidecarFile(path, header, sizeof header, body.data(), body.size());
}

namespace {

std::shared_ptr<const CaseForms> LoadCaseForms(CompressedLex& lex, const std::string& fileName) {
  LexFingerprint fingerprint;
  if (!FingerprintLexFile(lex, fingerprint)) return nullptr;
  auto forms = std::make_shared<CaseForms>();
  if (ReadCaseFormsFile(CaseFormsFileName(fileName), fingerprint, *forms) != 0) return nullptr;
  return forms;
}

}  // namespace

const CaseForms* CaseFormsOf(CompressedLex& lex, const std::string& lexFileName) {
  if (!lex.caseFormsTried) {
    if (lex.shared != nullptr) {
      SharedDictionary& shared = *lex.shared;
      const std::lock_guard<std::mutex> guard(shared.caseLock);
      if (!shared.caseFormsTried) {
        shared.caseForms = LoadCaseForms(lex, lexFileName);
        shared.caseFormsTried = true;
      }
      lex.caseForms = shared.caseForms;
    } else {
      lex.caseForms = LoadCaseForms(lex, lexFileName);
    }
    lex.caseFormsTried = true;
  }
  return lex.caseForms.get();
}

bool FitsCaseForm(const char* written, const char* form, size_t length) {
  if (std::memcmp(written, form, length) == 0) return true;
  bool capitals = true;
  for (size_t i = 0; i < length && capitals; ++i) {
    capitals = !IsLower(static_cast<unsigned char>(written[i]));
  }
  if (capitals) return true;
  const auto first = static_cast<unsigned char>(form[0]);
  return IsLower(first) && static_cast<unsigned char>(written[0]) == ToUpperChar(first) &&
         std::memcmp(written + 1, form + 1, length - 1) == 0;
}

}  // namespace orth
