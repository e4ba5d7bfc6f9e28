// What a word list says about capitalisation: for each stored word that the
// list never gives in lower case, the one form it is written in, kept in the
// case forms file beside each lexicon file it goes to.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "lexcompiler/lex_layout.h"

namespace orth {

// Stored (lower-case) form -> the case form the list gives it.
using CaseFormMap = std::unordered_map<std::string, std::string>;

// From the characters every entry's stored form came from (duplicates
// included): a word that is ever written in lower case gets no form. Of the
// different ways a word is written otherwise, the form is one that all the
// others fit (capitals throughout, or a first letter raised: «Debian» over
// «DEBIAN», «iPhone» over «IPhone»); when none does («PostScript» and
// «Postscript»), the word gets no form, so no way of writing it is refused.
// Words of one or two characters get none either.
CaseFormMap ChooseCaseForms(const std::vector<std::string>& written);

// The forms of the words a lexicon file holds, in the file's order.
std::vector<std::string> CaseFormsOfLayout(const CaseFormMap& forms, const LexLayout& layout);

// Writes the case forms file of the lexicon file image written to lexPath,
// or removes an earlier one when there are no forms. False with a one-line
// `error` when the file cannot be written.
bool WriteLexCaseForms(const std::string& lexPath, const std::vector<unsigned char>& image,
                       const std::vector<std::string>& forms, std::string& error);

}  // namespace orth
