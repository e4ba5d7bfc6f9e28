// Keeps gumbo's work on hostile input linear. Gumbo searches its stack of
// open elements (and its list of formatting elements to reopen) for nearly
// every tag, so a page that nests thousands of elements costs time in the
// square of its size: 100 000 nested <div>s take some twenty seconds. HtmlNesting follows
// the tags the scanner reports with a rough model of that stack, which never
// grows much slower than gumbo's, and turns away the start tags that would
// take it past a depth no real page reaches; the caller hides them from
// gumbo (they still end words) so that the stack stays bounded.
#pragma once

#include <cstdint>
#include <vector>

#include "document/html_scanner.h"

namespace orth::cli {

class HtmlNesting {
 public:
  static constexpr size_t kMaxDepth = 256;
  static constexpr size_t kMaxFormatting = 48;

  // Follows a start or end tag. Returns false for a start tag gumbo must not
  // see.
  bool Admit(const HtmlToken& token);

 private:
  struct Open {
    uint32_t hash;
    uint32_t flags;
  };
  struct Formatting {
    uint32_t hash;  // 0 for a marker (a table cell, an <object>)
    uint32_t flags;
    bool open;
  };

  bool AdmitStart(const HtmlToken& token);
  void End(const HtmlToken& token);
  // The position of the nearest open element named `hash` (or `other`),
  // searching down from the top and giving up at an element with any of
  // `stopFlags` or named `stopHash`; -1 when there is none.
  long Find(uint32_t hash, uint32_t stopFlags, uint32_t stopHash = 0, uint32_t other = 0) const;
  // The open list item (<li>, or <dd>/<dt>) a new one closes, or -1.
  long FindItem(uint32_t hash, uint32_t other) const;
  // Closes the element at `index` and those above it; nothing for -1.
  void PopTo(long index);
  void Reopen();
  // Drops the latest formatting element named `hash` from the list.
  void Forget(uint32_t hash);
  void ClearToMarker();

  std::vector<Open> stack_;
  std::vector<Formatting> formatting_;
  size_t foreign_ = 0;  // open <svg> and <math> elements
};

}  // namespace orth::cli
