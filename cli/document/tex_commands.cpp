// The tables of the TeX reader: LaTeX's common commands and those of its most
// used packages, with what their arguments hold; the environments whose
// bodies are math or verbatim; the letters and accents TeX writes as
// commands.
#include "document/tex_commands.h"

#include <unordered_map>

namespace orth::cli {

namespace {

// Commands that read the same way, their names parted by spaces.
struct CommandGroup {
  std::string_view arguments;
  TexEffect effect;
  std::string_view names;
};

constexpr TexEffect BREAK = TexEffect::BREAK;
constexpr TexEffect JOIN = TexEffect::JOIN;
constexpr TexEffect SPACE = TexEffect::SPACE;

// Commands whose arguments are all checked and that separate nothing
// (\emph, \textbf) join the words around them; every other command ends the
// word before it. A command missing here is read as having no arguments: its
// braces are checked as text.
const CommandGroup kCommands[] = {
    // Sectioning and titles: the short title and the title are both text.
    {"op", BREAK,
     "part chapter section subsection subsubsection paragraph subparagraph "
     "addchap addsec addpart frametitle framesubtitle title subtitle author "
     "date institute affiliation affil"},
    {"p", BREAK, "minisec thanks keywords markright"},
    {"P", BREAK, "email"},
    {"pp", BREAK, "markboth"},
    {"PPp", BREAK, "addcontentsline"},
    {"PP", BREAK, "addtocontents"},
    {"OpP", BREAK, "pdfbookmark"},
    // Fonts, emphasis and boxes around text.
    {"p", JOIN,
     "emph textbf textit textsc textsf textrm textsl textup textmd "
     "textnormal textsuperscript textsubscript text underline uline uuline "
     "uwave sout xout dashuline dotuline hl ul st so caps mbox hbox fbox "
     "reflectbox"},
    {"OOp", JOIN, "makebox framebox"},
    {"POOp", JOIN, "raisebox"},
    {"POp", JOIN, "scalebox"},
    {"PPp", JOIN, "resizebox"},
    {"OPp", JOIN, "rotatebox textcolor colorbox"},
    {"OPPp", JOIN, "fcolorbox"},
    {"OP", JOIN, "color"},
    {"OOOPp", BREAK, "parbox"},
    {"Pp", BREAK, "sbox"},
    {"POOp", BREAK, "savebox"},
    {"P", BREAK, "usebox"},
    // Monospace is where code, commands and file names go: skipped, as code
    // spans are in Markdown.
    {"P", BREAK, "texttt"},
    // Notes, captions, list labels.
    {"Op", BREAK, "footnote footnotetext todo"},
    {"O", BREAK, "footnotemark"},
    {"op", BREAK, "marginpar caption subcaption"},
    {"pO", BREAK, "marginnote"},
    {"Pop", BREAK, "captionof"},
    {"opOOp", BREAK, "subcaptionbox"},
    {"oop", BREAK, "subfloat"},
    {"OP", BREAK, "captionsetup bibitem index"},
    {"o", BREAK, "item"},
    {"p", BREAK, "enquote"},
    {"OOp", BREAK, "textquote"},
    {"PP", BREAK, "foreignquote"},
    {"OPP", BREAK, "foreignlanguage"},
    {"P", BREAK, "selectlanguage hyphenation glossary"},
    {"OPp", BREAK, "nomenclature"},
    // Links.
    {"V", BREAK, "url nolinkurl path"},
    {"OVp", JOIN, "href"},
    {"Op", JOIN, "hyperref"},
    {"Pp", JOIN, "hyperlink hypertarget"},
    {"P", BREAK, "hypersetup urlstyle"},
    // Logos by name (hologo): the name is not text.
    {"P", BREAK, "hologo Hologo"},
    // References and labels (cleveref, varioref, fancyref, zref).
    {"OP", BREAK, "label zref"},
    {"P", BREAK,
     "ref eqref pageref autoref Autoref autopageref nameref cref Cref "
     "cpageref Cpageref namecref nameCref lcnamecref labelcref vref Vref "
     "fref Fref"},
    {"PP", BREAK, "crefrange Crefrange cpagerefrange"},
    {"OOP", BREAK, "vpageref"},
    // Citations (natbib, biblatex): the notes before and after are text.
    {"ooP", BREAK,
     "cite Cite citep citet Citep Citet citealt citealp Citealt Citealp "
     "citeauthor Citeauthor citeyear citeyearpar citetitle citedate citeurl "
     "parencite Parencite textcite Textcite footcite Footcite footcitetext "
     "autocite Autocite smartcite Smartcite supercite fullcite footfullcite "
     "cites parencites textcites autocites"},
    {"P", BREAK, "citenum nocite bibentry bibliography bibliographystyle"},
    {"p", BREAK, "citetext"},
    {"OP", BREAK, "addbibresource"},
    {"O", BREAK, "printbibliography"},
    // Glossaries and acronyms: the label is skipped, the text inserted after
    // it is checked.
    {"OPo", BREAK,
     "gls Gls GLS glspl Glspl GLSpl glstext Glstext glsfirst Glsfirst "
     "glsplural glsname Glsname glssymbol glsdesc Glsdesc acrshort Acrshort "
     "acrlong Acrlong acrfull Acrfull acrshortpl acrlongpl acrfullpl ac Ac "
     "acs acl Acl acf Acf acp Acp acsp aclp Aclp acfp Acfp"},
    {"OPp", BREAK, "glsdisp glslink"},
    {"POp", BREAK, "acro acrodef"},
    {"OPPp", BREAK, "newacronym"},
    {"PP", BREAK, "newglossaryentry"},
    {"O", BREAK, "printglossary printacronyms printindex"},
    // Files, packages and the preamble.
    {"OPO", BREAK, "documentclass LoadClass usepackage RequirePackage"},
    {"PO", BREAK, "ProvidesPackage ProvidesClass NeedsTeXFormat"},
    {"PP", BREAK, "PassOptionsToPackage PassOptionsToClass DeclareOption import subimport"},
    {"P", BREAK,
     "AtBeginDocument AtEndDocument input include includeonly subfile "
     "graphicspath DeclareGraphicsExtensions"},
    {"OOP", BREAK, "includegraphics"},
    {"OP", BREAK, "includesvg includestandalone includepdf"},
    // Definitions.
    {"POOP", BREAK, "newcommand renewcommand providecommand DeclareRobustCommand"},
    {"POOPP", BREAK, "newenvironment renewenvironment"},
    {"PPP", BREAK,
     "NewDocumentCommand RenewDocumentCommand ProvideDocumentCommand "
     "DeclareDocumentCommand newlist"},
    {"PPPP", BREAK, "NewDocumentEnvironment RenewDocumentEnvironment"},
    {"PP", BREAK,
     "DeclareMathOperator let setcounter addtocounter setlength addtolength "
     "settowidth settoheight settodepth"},
    {"PDP", BREAK, "def gdef edef xdef"},
    {"P", BREAK,
     "newif theoremstyle stepcounter refstepcounter value arabic roman Roman "
     "alph Alph fnsymbol newlength newsavebox"},
    {"POpO", BREAK, "newtheorem"},
    {"PPPPPPPPP", BREAK, "newtheoremstyle"},
    {"PO", BREAK, "newcounter"},
    {"POP", BREAK, "newcolumntype"},
    {"OP", BREAK, "setlist pagecolor"},
    {"OPPP", BREAK, "definecolor"},
    {"OPOP", BREAK, "colorlet"},
    // Layout and spacing.
    {"P", BREAK,
     "hspace vspace addvspace enlargethispage phantom hphantom vphantom "
     "pagestyle thispagestyle pagenumbering fontencoding fontfamily "
     "fontseries fontshape linespread setstretch geometry newgeometry "
     "setotherlanguages ensuremath ding symbol"},
    {"OPP", BREAK, "rule"},
    {"O", BREAK, "pagebreak nopagebreak nolinebreak"},
    {"Op", BREAK, "fancyhead fancyfoot"},
    {"PP", BREAK, "fontsize"},
    {"PPPP", BREAK, "usefont"},
    {"OPO", BREAK, "setmainfont setsansfont setmonofont"},
    {"POPO", BREAK, "newfontfamily"},
    {"OP", BREAK, "setmainlanguage setdefaultlanguage setotherlanguage"},
    {"O", SPACE, "\\ linebreak"},
    {"", SPACE, "newline space quad qquad enspace enskip thinspace nobreakspace"},
    // Tables.
    {"PPp", BREAK, "multicolumn"},
    {"OPOPOp", BREAK, "multirow"},
    {"P", BREAK, "cline"},
    {"OP", BREAK, "cmidrule rowcolor cellcolor arrayrulecolor"},
    {"O", BREAK, "toprule midrule bottomrule addlinespace"},
    {"OPOO", BREAK, "columncolor"},
    {"OPPP", BREAK, "rowcolors"},
    // Code (listings, minted, fancyvrb) and verbatim text.
    {"V", BREAK, "verb"},
    {"OV", BREAK, "lstinline Verb"},
    {"P", BREAK, "lstset lstloadlanguages fvset verbatiminput cs pkg cls env"},
    {"OP", BREAK, "lstinputlisting setminted setmintedinline usemintedstyle VerbatimInput"},
    {"PP", BREAK, "lstdefinestyle"},
    {"OPOP", BREAK, "lstdefinelanguage"},
    {"POOPP", BREAK, "lstnewenvironment"},
    {"OPV", BREAK, "mintinline mint"},
    {"OPP", BREAK, "inputminted newminted newmintinline newmintedfile"},
    {"PPP", BREAK, "DefineVerbatimEnvironment RecustomVerbatimEnvironment"},
    // Units and chemistry (siunitx, mhchem, chemformula).
    {"OPOP", BREAK, "SI"},
    {"OP", BREAK, "si num ang unit numlist tablenum ch"},
    {"OPP", BREAK, "qty SIlist numrange qtylist DeclareSIUnit"},
    {"OPPP", BREAK, "SIrange qtyrange"},
    {"P", BREAK, "sisetup ce pu"},
    // TikZ and PGF outside a picture.
    {"OP", BREAK, "tikz"},
    {"P", BREAK, "tikzset usetikzlibrary pgfplotsset usepgfplotslibrary"},
    {"PP", BREAK, "pgfmathsetmacro"},
};

struct EnvironmentRow {
  std::string_view name;
  TexEnvironmentKind kind;
  std::string_view arguments;
};

constexpr TexEnvironmentKind TEXT = TexEnvironmentKind::TEXT;
constexpr TexEnvironmentKind MATH = TexEnvironmentKind::MATH;
constexpr TexEnvironmentKind VERBATIM = TexEnvironmentKind::VERBATIM;

// Pictures are skipped with verbatim: what they hold is drawing code and
// option lists, with a label here and there.
const EnvironmentRow kEnvironments[] = {
    {"equation", MATH, ""},
    {"align", MATH, ""},
    {"gather", MATH, ""},
    {"multline", MATH, ""},
    {"flalign", MATH, ""},
    {"alignat", MATH, ""},
    {"xalignat", MATH, ""},
    {"xxalignat", MATH, ""},
    {"eqnarray", MATH, ""},
    {"math", MATH, ""},
    {"displaymath", MATH, ""},
    {"dmath", MATH, ""},
    {"dseries", MATH, ""},
    {"dgroup", MATH, ""},
    {"darray", MATH, ""},
    {"empheq", MATH, ""},
    {"IEEEeqnarray", MATH, ""},
    {"verbatim", VERBATIM, ""},
    {"Verbatim", VERBATIM, ""},
    {"BVerbatim", VERBATIM, ""},
    {"LVerbatim", VERBATIM, ""},
    {"SaveVerbatim", VERBATIM, ""},
    {"VerbatimOut", VERBATIM, ""},
    {"lstlisting", VERBATIM, ""},
    {"minted", VERBATIM, ""},
    {"tcblisting", VERBATIM, ""},
    {"comment", VERBATIM, ""},
    {"alltt", VERBATIM, ""},
    {"filecontents", VERBATIM, ""},
    {"luacode", VERBATIM, ""},
    {"tikzpicture", VERBATIM, ""},
    {"pgfpicture", VERBATIM, ""},
    {"tikzcd", VERBATIM, ""},
    {"picture", VERBATIM, ""},
    {"forest", VERBATIM, ""},
    {"tabular", TEXT, "OP"},
    {"tabular*", TEXT, "POP"},
    {"tabularx", TEXT, "POP"},
    {"tabulary", TEXT, "POP"},
    {"xltabular", TEXT, "POP"},
    {"longtable", TEXT, "OP"},
    {"supertabular", TEXT, "OP"},
    {"array", TEXT, "OP"},
    {"tblr", TEXT, "OP"},
    {"longtblr", TEXT, "OP"},
    {"NiceTabular", TEXT, "OPO"},
    {"figure", TEXT, "O"},
    {"table", TEXT, "O"},
    {"wrapfigure", TEXT, "OPOP"},
    {"wraptable", TEXT, "OPOP"},
    {"subfigure", TEXT, "OP"},
    {"subtable", TEXT, "OP"},
    {"minipage", TEXT, "OOOP"},
    {"multicols", TEXT, "PoO"},
    {"thebibliography", TEXT, "P"},
    {"itemize", TEXT, "O"},
    {"enumerate", TEXT, "O"},
    {"description", TEXT, "O"},
    {"list", TEXT, "PP"},
    {"frame", TEXT, "O"},
    {"columns", TEXT, "O"},
    {"column", TEXT, "OP"},
    {"tcolorbox", TEXT, "O"},
    {"adjustbox", TEXT, "P"},
    {"spacing", TEXT, "P"},
    {"otherlanguage", TEXT, "P"},
    {"algorithm", TEXT, "O"},
    {"algorithmic", TEXT, "O"},
    {"letter", TEXT, "p"},
    // Theorem-like environments: the optional argument is the theorem's name.
    {"theorem", TEXT, "o"},
    {"lemma", TEXT, "o"},
    {"proposition", TEXT, "o"},
    {"corollary", TEXT, "o"},
    {"definition", TEXT, "o"},
    {"remark", TEXT, "o"},
    {"example", TEXT, "o"},
    {"exercise", TEXT, "o"},
    {"conjecture", TEXT, "o"},
    {"claim", TEXT, "o"},
    {"note", TEXT, "o"},
    {"proof", TEXT, "o"},
    {"problem", TEXT, "o"},
    {"solution", TEXT, "o"},
    {"observation", TEXT, "o"},
    {"assumption", TEXT, "o"},
    {"hypothesis", TEXT, "o"},
    {"fact", TEXT, "o"},
    {"notation", TEXT, "o"},
    {"question", TEXT, "o"},
    {"axiom", TEXT, "o"},
};

struct LetterRow {
  std::string_view name;
  std::string_view text;
};

const LetterRow kLetters[] = {
    {"ss", "ß"}, {"SS", "SS"}, {"o", "ø"},  {"O", "Ø"},  {"aa", "å"}, {"AA", "Å"},
    {"ae", "æ"}, {"AE", "Æ"},  {"oe", "œ"}, {"OE", "Œ"}, {"l", "ł"},  {"L", "Ł"},
    {"i", "ı"},  {"j", "ȷ"},   {"dh", "ð"}, {"DH", "Ð"}, {"th", "þ"}, {"TH", "Þ"},
    {"dj", "đ"}, {"DJ", "Đ"},  {"ng", "ŋ"}, {"NG", "Ŋ"},
};

struct AccentRow {
  std::string_view name;
  std::string_view combining;  // the combining mark (UTF-8)
  std::string_view composed;   // pairs: an ASCII letter, then its accented form
};

const AccentRow kAccents[] = {
    {"\"", "\xCC\x88", "aäeëiïoöuüyÿAÄEËIÏOÖUÜYŸ"},
    {"'", "\xCC\x81", "aáeéiíoóuúyýAÁEÉIÍOÓUÚYÝcćCĆnńNŃsśSŚzźZŹlĺLĹrŕRŔgǵGǴ"},
    {"`", "\xCC\x80", "aàeèiìoòuùAÀEÈIÌOÒUÙnǹNǸ"},
    {"^", "\xCC\x82", "aâeêiîoôuûAÂEÊIÎOÔUÛcĉCĈgĝGĜhĥHĤjĵJĴsŝSŜwŵWŴyŷYŶ"},
    {"~", "\xCC\x83", "aãoõnñAÃOÕNÑiĩIĨuũUŨ"},
    {"=", "\xCC\x84", "aāeēiīoōuūAĀEĒIĪOŌUŪ"},
    {".", "\xCC\x87", "zżZŻeėEĖcċCĊgġGĠIİ"},
    {"u", "\xCC\x86", "aăAĂgğGĞuŭUŬeĕEĔiĭIĬoŏOŎ"},
    {"v", "\xCC\x8C", "cčCČsšSŠzžZŽrřRŘeěEĚnňNŇdďDĎtťTŤlľLĽ"},
    {"H", "\xCC\x8B", "oőOŐuűUŰ"},
    {"c", "\xCC\xA7", "cçCÇsşSŞtţTŢgģGĢkķKĶlļLĻnņNŅrŗRŖ"},
    {"k", "\xCC\xA8", "aąAĄeęEĘiįIĮuųUŲ"},
    {"r", "\xCC\x8A", "aåAÅuůUŮ"},
    {"d", "\xCC\xA3", ""},
    {"b", "\xCC\xB1", ""},
};

size_t Utf8Length(unsigned char lead) {
  return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

const AccentRow* FindAccent(std::string_view name) {
  for (const AccentRow& row : kAccents) {
    if (row.name == name) return &row;
  }
  return nullptr;
}

}  // namespace

const TexSignature* FindTexCommand(std::string_view name) {
  static const std::unordered_map<std::string_view, TexSignature> table = [] {
    std::unordered_map<std::string_view, TexSignature> map;
    for (const CommandGroup& group : kCommands) {
      for (size_t start = 0; start < group.names.size();) {
        size_t stop = group.names.find(' ', start);
        if (stop == std::string_view::npos) stop = group.names.size();
        map.emplace(group.names.substr(start, stop - start),
                    TexSignature{group.arguments, group.effect});
        start = stop + 1;
      }
    }
    return map;
  }();
  const auto found = table.find(name);
  return found == table.end() ? nullptr : &found->second;
}

const TexEnvironment* FindTexEnvironment(std::string_view name) {
  static const std::unordered_map<std::string_view, TexEnvironment> table = [] {
    std::unordered_map<std::string_view, TexEnvironment> map;
    for (const EnvironmentRow& row : kEnvironments) {
      map.emplace(row.name, TexEnvironment{row.kind, row.arguments});
    }
    return map;
  }();
  auto found = table.find(name);
  if (found == table.end() && !name.empty() && name.back() == '*') {
    found = table.find(name.substr(0, name.size() - 1));
  }
  return found == table.end() ? nullptr : &found->second;
}

std::string_view TexLetter(std::string_view name) {
  for (const LetterRow& row : kLetters) {
    if (row.name == name) return row.text;
  }
  return {};
}

bool IsTexAccent(std::string_view name) {
  return FindAccent(name) != nullptr;
}

std::string ComposeTexAccent(std::string_view accent, char base) {
  const AccentRow* row = FindAccent(accent);
  if (row == nullptr) return std::string(1, base);
  const std::string_view pairs = row->composed;
  for (size_t i = 0; i < pairs.size();) {
    const size_t length = Utf8Length(static_cast<unsigned char>(pairs[i + 1]));
    if (pairs[i] == base) return std::string(pairs.substr(i + 1, length));
    i += 1 + length;
  }
  return std::string(1, base) + std::string(row->combining);
}

}  // namespace orth::cli
