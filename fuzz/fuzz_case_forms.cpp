// Case forms files: read fuzzed bytes as the file beside a lexicon (the
// fingerprint taken from the bytes themselves, so that the forms are read),
// then look words up and test ways of writing them against what was read.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "lex/case_forms.h"
#include "orth.h"

namespace {

uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0] | (p[1] << 8) | (p[2] << 16)) |
         (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() /
      ("orth-fuzz-case-" + std::to_string(static_cast<long>(getpid())) + ".olf");
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  orth::LexFingerprint fingerprint;
  if (size >= orth::CASE_FORMS_HEADER_SIZE) {
    fingerprint.size = Le32(data + orth::CASE_FORMS_MAGIC_SIZE + 8);
    fingerprint.hash = Le32(data + orth::CASE_FORMS_MAGIC_SIZE + 12);
  }
  orth::CaseForms forms;
  if (orth::ReadCaseFormsFile(path.string(), fingerprint, forms) == 0) {
    // Every stored form is found by its lower-case spelling and fits itself.
    for (size_t at = 0; at < forms.forms.size(); at += std::strlen(forms.forms.c_str() + at) + 1) {
      const char* form = forms.forms.c_str() + at;
      const size_t length = std::strlen(form);
      std::string lower(form);
      for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
      }
      orth::FindCaseForm(forms, lower.c_str(), length);
      if (!orth::FitsCaseForm(form, form, length)) __builtin_trap();
    }
  }
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
  return 0;
}
