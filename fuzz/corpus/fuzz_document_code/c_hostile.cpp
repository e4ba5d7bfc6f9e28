#include <qqheader.h> // kept
#pragma once
/* block "quote" /* not nested
 over lines */ char c = '\n', d = 'x'; int n = 1'000;
auto s = "Hello\nWorld\x41\101\u00e9\U0001F600 \
continued" u8R"tag(raw )" text)tag" L"wide";
// run one
// run two
const char* open = "unterminated
/* never closed
