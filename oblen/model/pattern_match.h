// Wildcard matching of whole texts, as grading checks a candidate's file against a
// requirement. Texts are byte strings (GBK); positions and lengths count bytes.
#pragma once

#include <cstddef>
#include <string_view>

namespace velmor {

// True when the whole `text` matches `pattern`: "*" stands for any run of bytes (also an
// empty one), "?" for any one byte, every other byte for itself, with the ASCII letters
// A-Z equal to a-z wherever they stand (also as the second byte of a GBK character).
//
// The match is not a backtracking one: after a "*" the piece up to the next "*" is taken at
// its first occurrence found by FindPiece, and a piece ending the pattern is compared with
// the end of the text. So "*a?b*" does not match "aaab" although a backtracking matcher
// would say it does; stored requirements were graded this way and keep their results.
bool MatchPattern(std::string_view pattern, std::string_view text);

// Start of the first occurrence of `piece` in `text` found by the Knuth-Morris-Pratt scan in
// which a "?" of the piece equals any byte, or -1. The scan's prefix table treats "?" as
// equal to everything too, so it can step past an occurrence: FindPiece("aaab", "a?b") is -1.
std::ptrdiff_t FindPiece(std::string_view text, std::string_view piece);

}  // namespace velmor
