// The cheapest parse of a block into literals and matches, for coders whose
// every literal costs the same and every match costs the same whatever its
// length and distance (both of kobrex's codecs).
#ifndef KOBREX_CODEC_LZ_PARSE_H_
#define KOBREX_CODEC_LZ_PARSE_H_

#include <cstdint>
#include <vector>

// `longest[k]` is the longest match at item k of a block of `longest.size()`
// items (0 for none, else at least `min_match` and not beyond the block's
// end). Fills `choice[k]` with 0 for a literal or the length of the match to
// take at k, for the sequence of fewest total bits. Matches may be taken
// shorter than the longest: a prefix of a match is a match.
void ChooseCheapestParse(const std::vector<uint32_t>& longest, uint32_t min_match,
                         uint32_t literal_bits, uint32_t match_bits, std::vector<uint32_t>* choice);

#endif  // KOBREX_CODEC_LZ_PARSE_H_
