#pragma once

#include <string>
#include <string_view>

// Turns a search or replacement text as typed into the bytes it stands for: ^p is a line break
// (`lineBreak`: a search looks for CR LF, a replacement writes the document's own), ^t a tab, ^l a page
// break, ^^ a caret, ^ and three decimal digits the byte of that value, and a ^ at the very end itself.
// Raises EUserError for any other use of ^.
std::string TranslateSearchText(std::string_view typed, std::string_view lineBreak = "\r\n");
