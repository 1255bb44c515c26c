#include "oblen/model/pattern_match.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace velmor {

namespace {

inline char Lower(char c) {
  unsigned char byte = static_cast<unsigned char>(c);
  return static_cast<char>(static_cast<unsigned char>(byte - 'A') < 26 ? byte + 0x20 : byte);
}

// Copies `size` bytes with 'A' to 'Z' lowered, many bytes at a time.
void LowerCopy(const char* from, char* to, std::size_t size) {
  std::size_t i = 0;
#if defined(__SSE2__)
  // Shifted so that 'A' becomes -128: the letters are then the bytes below -102.
  const __m128i shift = _mm_set1_epi8(static_cast<char>('A' + 128));
  const __m128i limit = _mm_set1_epi8(static_cast<char>(-128 + 26));
  const __m128i caseBit = _mm_set1_epi8(0x20);
  for (; i + 16 <= size; i += 16) {
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
    __m128i upper = _mm_cmpgt_epi8(limit, _mm_sub_epi8(bytes, shift));
    bytes = _mm_add_epi8(bytes, _mm_and_si128(upper, caseBit));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i), bytes);
  }
#else
  // Eight bytes at a time: a byte's high bit in `upper` is set exactly when the byte is 'A'
  // to 'Z', and adding 0x20 to those bytes never carries into the next.
  constexpr uint64_t kOnes = 0x0101010101010101ull;
  constexpr uint64_t kHigh = 0x8080808080808080ull;
  for (; i + 8 <= size; i += 8) {
    uint64_t word;
    std::memcpy(&word, from + i, 8);
    const uint64_t low7 = word & ~kHigh;
    const uint64_t upper = (low7 + (0x80 - 'A') * kOnes) & ~(low7 + (0x80 - 'Z' - 1) * kOnes) &
                           ~word & kHigh;
    word += upper >> 2;
    std::memcpy(to + i, &word, 8);
  }
#endif
  for (; i < size; ++i) to[i] = Lower(from[i]);
}

std::ptrdiff_t FindExact(std::string_view text, std::string_view literal) {
#if defined(__GLIBC__)
  const void* found = memmem(text.data(), text.size(), literal.data(), literal.size());
  return found == nullptr ? -1 : static_cast<const char*>(found) - text.data();
#else
  std::size_t found = text.find(literal);
  return found == std::string_view::npos ? -1 : static_cast<std::ptrdiff_t>(found);
#endif
}

// The text as the scan sees it: as it is, or with its letters lowered. Lowering goes through
// a small window that stays in the cache, so a large text is never copied whole.
template <bool kFold>
struct ScanText {
  std::string_view bytes;

  char operator[](std::ptrdiff_t i) const { return kFold ? Lower(bytes[i]) : bytes[i]; }
  std::ptrdiff_t size() const { return static_cast<std::ptrdiff_t>(bytes.size()); }

  // Start of the first occurrence of `literal` (already lowered) at or after `from`, or -1.
  std::ptrdiff_t FindLiteral(std::ptrdiff_t from, std::string_view literal) const {
    std::string_view rest = bytes.substr(static_cast<std::size_t>(from));
    if (!kFold) {
      std::ptrdiff_t found = FindExact(rest, literal);
      return found < 0 ? -1 : from + found;
    }
    // A window holds at least two lengths of the literal, so that every step moves on; a
    // pattern may hold a literal of any length (only the editor cuts them to 255 bytes).
    constexpr std::size_t kWindow = 64 * 1024;
    char stackWindow[kWindow];
    std::vector<char> heapWindow;
    char* window = stackWindow;
    std::size_t windowSize = kWindow;
    if (literal.size() > kWindow / 2) {
      windowSize = 2 * literal.size();
      heapWindow.resize(windowSize);
      window = heapWindow.data();
    }
    std::size_t start = 0;
    for (;;) {
      std::size_t length = std::min(windowSize, rest.size() - start);
      LowerCopy(rest.data() + start, window, length);
      std::ptrdiff_t found = FindExact(std::string_view(window, length), literal);
      if (found >= 0) return from + static_cast<std::ptrdiff_t>(start) + found;
      if (start + length == rest.size() || length < literal.size()) return -1;
      // The windows overlap so that an occurrence across their border is still seen.
      start += length - (literal.size() - 1);
    }
  }
};

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

template <bool kFold>
std::ptrdiff_t Find(const ScanText<kFold>& text, std::ptrdiff_t from, std::string_view piece) {
  const std::ptrdiff_t m = static_cast<std::ptrdiff_t>(piece.size());
  const std::ptrdiff_t n = text.size();
  if (m > n - from) return -1;
  if (m == 0) return 0;
  const std::vector<std::ptrdiff_t> next = PrefixTable(piece);
  // The bytes before the first "?" are a literal prefix. While the scan is inside it (i
  // below q), the text just before k equals its first i bytes, and the scan runs as plain
  // Knuth-Morris-Pratt over a literal: it first reaches q at the end of the first occurrence
  // of the prefix starting at k - i. A library search finds that occurrence much faster than
  // the scan walks to it; from there on the scan goes byte by byte.
  const std::ptrdiff_t q = static_cast<std::ptrdiff_t>(std::min(piece.find('?'), piece.size()));
  std::ptrdiff_t i = 0;
  std::ptrdiff_t k = from;
  while (i < m) {
    if (i >= 0 && i < q) {
      const std::ptrdiff_t found =
          text.FindLiteral(k - i, piece.substr(0, static_cast<std::size_t>(q)));
      if (found < 0) return -1;
      k = found + q;
      i = q;
      continue;
    }
    if (k >= n) break;
    if (i == -1 || piece[i] == '?' || text[k] == piece[i]) {
      ++i;
      ++k;
    } else {
      i = next[i];
    }
  }
  return i == m ? k - m - from : -1;
}

template <bool kFold>
bool Match(std::string_view pattern, const ScanText<kFold>& t) {
  // Runs of "*" count as one; letters are lowered.
  std::string p;
  p.reserve(pattern.size());
  for (char c : pattern) {
    if (c == '*' && !p.empty() && p.back() == '*') continue;
    p += Lower(c);
  }
  const std::ptrdiff_t n = t.size();
  std::size_t pi = 0;
  std::ptrdiff_t ti = 0;
  while (pi < p.size()) {
    if (p[pi] == '*') {
      if (pi + 1 == p.size()) return true;
      const std::size_t nextStar = p.find('*', pi + 1);
      const std::string_view piece =
          std::string_view(p).substr(pi + 1, nextStar == std::string::npos ? std::string::npos
                                                                            : nextStar - pi - 1);
      const std::ptrdiff_t m = static_cast<std::ptrdiff_t>(piece.size());
      if (n - ti < m) return false;
      if (nextStar == std::string::npos) {
        // The last piece is compared with the end of the text.
        for (std::ptrdiff_t k = 0; k < m; ++k) {
          if (piece[k] != '?' && piece[k] != t[n - m + k]) return false;
        }
        return true;
      }
      const std::ptrdiff_t found = Find(t, ti, piece);
      if (found < 0) return false;
      ti += found + m;
      pi = nextStar;
      continue;
    }
    if (ti >= n) return false;
    if (p[pi] != '?' && p[pi] != t[ti]) return false;
    if (pi + 1 == p.size() && ti + 1 < n) return false;
    ++pi;
    ++ti;
  }
  return true;
}

}  // namespace

std::ptrdiff_t FindPiece(std::string_view text, std::string_view piece) {
  return Find(ScanText<false>{text}, 0, piece);
}

bool MatchPattern(std::string_view pattern, std::string_view text) {
  if (pattern.empty()) return text.empty();
  return Match(pattern, ScanText<true>{text});
}

}  // namespace velmor
