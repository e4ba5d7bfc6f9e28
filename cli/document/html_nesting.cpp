#include "document/html_nesting.h"

#include <string_view>

namespace orth::cli {

namespace {

constexpr uint32_t Hash(std::string_view name) {
  uint32_t hash = 2166136261u;
  for (const char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  return hash;
}

constexpr uint32_t kP = Hash("p");
constexpr uint32_t kLi = Hash("li");
constexpr uint32_t kDd = Hash("dd");
constexpr uint32_t kDt = Hash("dt");
constexpr uint32_t kA = Hash("a");
constexpr uint32_t kNobr = Hash("nobr");
constexpr uint32_t kButton = Hash("button");
constexpr uint32_t kOption = Hash("option");
constexpr uint32_t kSelect = Hash("select");
constexpr uint32_t kTable = Hash("table");
constexpr uint32_t kTr = Hash("tr");
constexpr uint32_t kTd = Hash("td");
constexpr uint32_t kTh = Hash("th");
constexpr uint32_t kTbody = Hash("tbody");
constexpr uint32_t kThead = Hash("thead");
constexpr uint32_t kTfoot = Hash("tfoot");
constexpr uint32_t kHtml = Hash("html");
constexpr uint32_t kHead = Hash("head");
constexpr uint32_t kBody = Hash("body");
constexpr uint32_t kBr = Hash("br");
constexpr uint32_t kTemplate = Hash("template");

bool IsHeading(uint32_t hash) {
  constexpr uint32_t headings[] = {Hash("h1"), Hash("h2"), Hash("h3"),
                                   Hash("h4"), Hash("h5"), Hash("h6")};
  for (const uint32_t h : headings) {
    if (h == hash) return true;
  }
  return false;
}

}  // namespace

bool HtmlNesting::Admit(const HtmlToken& token) {
  if (token.kind == HtmlToken::START_TAG) return AdmitStart(token);
  if (token.kind == HtmlToken::END_TAG) End(token);
  return true;
}

long HtmlNesting::Find(uint32_t hash, uint32_t stopFlags, uint32_t stopHash, uint32_t other) const {
  for (long i = static_cast<long>(stack_.size()) - 1; i >= 0; --i) {
    const Open& open = stack_[static_cast<size_t>(i)];
    if (open.hash == hash || (other != 0 && open.hash == other)) return i;
    if ((open.flags & stopFlags) != 0 || (stopHash != 0 && open.hash == stopHash)) return -1;
  }
  return -1;
}

long HtmlNesting::FindItem(uint32_t hash, uint32_t other) const {
  constexpr uint32_t kDiv = Hash("div");
  constexpr uint32_t kAddress = Hash("address");
  for (long i = static_cast<long>(stack_.size()) - 1; i >= 0; --i) {
    const Open& open = stack_[static_cast<size_t>(i)];
    if (open.hash == hash || (other != 0 && open.hash == other)) return i;
    if ((open.flags & TAG_SPECIAL) != 0 && open.hash != kP && open.hash != kDiv &&
        open.hash != kAddress) {
      return -1;
    }
  }
  return -1;
}

void HtmlNesting::PopTo(long index) {
  if (index < 0) return;
  while (static_cast<long>(stack_.size()) > index) {
    const Open open = stack_.back();
    stack_.pop_back();
    if ((open.flags & TAG_FOREIGN) != 0 && foreign_ > 0) --foreign_;
    if ((open.flags & TAG_MARKER) != 0) ClearToMarker();
    if ((open.flags & TAG_FORMATTING) != 0) {
      for (size_t k = formatting_.size(); k-- > 0;) {
        if (formatting_[k].hash == open.hash && formatting_[k].open) {
          formatting_[k].open = false;
          break;
        }
      }
    }
  }
}

void HtmlNesting::Forget(uint32_t hash) {
  for (size_t k = formatting_.size(); k-- > 0 && formatting_[k].hash != 0;) {
    if (formatting_[k].hash == hash) {
      formatting_.erase(formatting_.begin() + static_cast<long>(k));
      return;
    }
  }
}

void HtmlNesting::ClearToMarker() {
  while (!formatting_.empty()) {
    const bool marker = formatting_.back().hash == 0;
    formatting_.pop_back();
    if (marker) break;
  }
}

// Gumbo reopens the formatting elements a misnested end tag closed before
// it inserts text or most elements.
void HtmlNesting::Reopen() {
  size_t k = formatting_.size();
  while (k > 0 && formatting_[k - 1].hash != 0) --k;
  for (; k < formatting_.size(); ++k) {
    if (formatting_[k].open) continue;
    formatting_[k].open = true;
    stack_.push_back({formatting_[k].hash, formatting_[k].flags});
  }
}

bool HtmlNesting::AdmitStart(const HtmlToken& token) {
  const uint32_t flags = token.flags;
  const uint32_t hash = token.nameHash;
  if ((flags & TAG_VOID) != 0 || (token.selfClosing && foreign_ > 0)) return true;
  if (hash == kHtml || hash == kHead || hash == kBody) return true;  // merged into the first
  Reopen();
  // The elements a start tag closes without an end tag, so that pages that
  // leave <p>, <li> and cells open do not look deep.
  if ((flags & TAG_CLOSES_P) != 0) PopTo(Find(kP, TAG_SCOPE, kButton));
  // A list item closes the open one unless a list or a block lies between
  // (lists nest); <div> and <p> do not count.
  if (hash == kLi) PopTo(FindItem(kLi, 0));
  if (hash == kDd || hash == kDt) PopTo(FindItem(kDd, kDt));
  const auto top = [this] { return static_cast<long>(stack_.size()) - 1; };
  if (IsHeading(hash) && top() >= 0 && IsHeading(stack_.back().hash)) PopTo(top());
  if (hash == kA || hash == kNobr) {
    // A link inside a link closes it, unless a block lies between (then
    // gumbo moves elements around and the stack keeps its depth).
    const long at = Find(hash, TAG_SPECIAL);
    PopTo(at);
    if (at >= 0) Forget(hash);
  }
  if (hash == kButton) PopTo(Find(kButton, TAG_SCOPE));
  if (hash == kOption && top() >= 0 && stack_.back().hash == kOption) PopTo(top());
  if (hash == kSelect) {
    // A <select> inside one closes it and is dropped.
    const long at = Find(kSelect, TAG_SCOPE);
    if (at >= 0) {
      PopTo(at);
      return true;
    }
  }
  // Outside a table, gumbo drops cells, rows and row groups.
  if ((flags & TAG_TABLE_PART) != 0 && hash != kTable && Find(kTable, 0) < 0) return true;
  if (hash == kTd || hash == kTh) PopTo(Find(kTd, 0, kTable, kTh));
  if (hash == kTr) PopTo(Find(kTr, 0, kTable));
  if (hash == kTbody || hash == kThead || hash == kTfoot) {
    for (const uint32_t section : {kTbody, kThead, kTfoot}) PopTo(Find(section, 0, kTable));
  }
  if (hash == kTable) PopTo(Find(kTable, TAG_MARKER));
  const bool raw = (flags & (TAG_RAW_TEXT | TAG_PLAINTEXT)) != 0;
  if (stack_.size() >= kMaxDepth) return raw;  // raw text must stay raw text
  size_t formatting = 0;
  for (const Formatting& entry : formatting_) formatting += entry.hash != 0 ? 1 : 0;
  if ((flags & TAG_FORMATTING) != 0 && formatting >= kMaxFormatting) return false;
  stack_.push_back({hash, flags});
  if ((flags & TAG_FOREIGN) != 0) ++foreign_;
  if ((flags & TAG_FORMATTING) != 0) formatting_.push_back({hash, flags, true});
  if ((flags & TAG_MARKER) != 0) formatting_.push_back({0, 0, false});
  return true;
}

void HtmlNesting::End(const HtmlToken& token) {
  const uint32_t flags = token.flags;
  const uint32_t hash = token.nameHash;
  if (hash == kBr || hash == kBody || hash == kHtml) return;  // none closes anything
  if ((flags & TAG_FORMATTING) != 0) {
    // The adoption agency: a formatting element closed across a block (say
    // <b><div></b>) leaves the stack as deep as it was.
    for (size_t k = formatting_.size(); k-- > 0 && formatting_[k].hash != 0;) {
      if (formatting_[k].hash != hash) continue;
      if (!formatting_[k].open) {
        formatting_.erase(formatting_.begin() + static_cast<long>(k));
        return;
      }
      const long at = Find(hash, TAG_SPECIAL);
      if (at < 0) return;
      PopTo(at);  // the elements above stay listed, to be reopened
      formatting_.erase(formatting_.begin() + static_cast<long>(k));
      return;
    }
  }
  long at = -1;
  if (hash == kP) {
    at = Find(kP, TAG_SCOPE, kButton);
  } else if (hash == kLi) {
    at = Find(kLi, TAG_SCOPE | TAG_LIST);
  } else if ((flags & TAG_TABLE_PART) != 0) {
    at = Find(hash, 0, hash == kTable ? kTemplate : kTable);
  } else if ((flags & TAG_SPECIAL) != 0) {
    at = Find(hash, TAG_SCOPE);
  } else {
    at = Find(hash, TAG_SPECIAL);
  }
  if (at >= 0) PopTo(at);
}

}  // namespace orth::cli
