#include "oblen/model/pattern_match.h"

#include <cstring>
#include <vector>

namespace velmor {

namespace {

// The prefix table of the piece, "?" matching anything.
std::vector<std::ptrdiff_t> PrefixTable(std::string_view piece) {
  const std::ptrdiff_t m = static_cast<std::ptrdiff_t>(piece.size());
  std::vector<std::ptrdiff_t> next(piece.size());
  next[0] = -1;
  std::ptrdiff_t i = -1;
  std::ptrdiff_t j = 0;
  while (j < m - 1) {
    if (i == -1 || piece[i] == '?' || piece[j] == piece[i]) {
      ++i;
      ++j;
      next[j] = i;
    } else {
      i = next[i];
    }
  }
  return next;
}

bool MatchLowered(std::string_view pattern, std::string_view text) {
  // Runs of "*" count as one.
  std::string p;
  p.reserve(pattern.size());
  for (char c : pattern) {
    if (c == '*' && !p.empty() && p.back() == '*') continue;
    p += c;
  }
  LowerAsciiLetters(p.data(), p.size());
  const std::string_view t = text;

  std::size_t pi = 0;
  std::size_t ti = 0;
  while (pi < p.size()) {
    if (p[pi] == '*') {
      if (pi + 1 == p.size()) return true;
      const std::size_t nextStar = p.find('*', pi + 1);
      const std::string_view piece =
          std::string_view(p).substr(pi + 1, nextStar == std::string::npos ? std::string::npos
                                                                            : nextStar - pi - 1);
      const std::string_view rest = t.substr(ti);
      if (rest.size() < piece.size()) return false;
      if (nextStar == std::string::npos) {
        // The last piece is compared with the end of the text.
        const std::string_view tail = t.substr(t.size() - piece.size());
        for (std::size_t k = 0; k < piece.size(); ++k) {
          if (piece[k] != '?' && piece[k] != tail[k]) return false;
        }
        return true;
      }
      const std::ptrdiff_t found = FindPiece(rest, piece);
      if (found < 0) return false;
      ti += static_cast<std::size_t>(found) + piece.size();
      pi = nextStar;
      continue;
    }
    if (ti >= t.size()) return false;
    if (p[pi] != '?' && p[pi] != t[ti]) return false;
    if (pi + 1 == p.size() && ti + 1 < t.size()) return false;
    ++pi;
    ++ti;
  }
  return true;
}

}  // namespace

void LowerAsciiLetters(char* bytes, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) {
    // One unsigned comparison per byte, so the loop vectorises.
    unsigned char c = static_cast<unsigned char>(bytes[i]);
    bytes[i] = static_cast<char>(static_cast<unsigned char>(c - 'A') < 26 ? c + 0x20 : c);
  }
}

std::ptrdiff_t FindPiece(std::string_view text, std::string_view piece) {
  if (piece.size() > text.size()) return -1;
  if (piece.empty()) return 0;
  const std::vector<std::ptrdiff_t> next = PrefixTable(piece);
  const std::ptrdiff_t m = static_cast<std::ptrdiff_t>(piece.size());
  const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(text.size());
  const char first = piece[0];
  std::ptrdiff_t i = 0;
  std::ptrdiff_t k = 0;
  while (k < n && i < m) {
    if (i == 0 && first != '?' && text[k] != first) {
      // From the start of the piece a mismatch only moves on by one byte, so the scan may
      // jump straight to the next byte that can begin an occurrence.
      const void* found = std::memchr(text.data() + k, first, static_cast<std::size_t>(n - k));
      if (found == nullptr) return -1;
      k = static_cast<const char*>(found) - text.data();
      continue;
    }
    if (i == -1 || piece[i] == '?' || text[k] == piece[i]) {
      ++i;
      ++k;
    } else {
      i = next[i];
    }
  }
  return i == m ? k - m : -1;
}

bool MatchPattern(std::string_view pattern, std::string_view text) {
  if (pattern.empty()) return text.empty();
  std::string lowered(text);
  return MatchPatternInPlace(pattern, lowered);
}

bool MatchPatternInPlace(std::string_view pattern, std::string& text) {
  if (pattern.empty()) return text.empty();
  LowerAsciiLetters(text.data(), text.size());
  return MatchLowered(pattern, text);
}

}  // namespace velmor
