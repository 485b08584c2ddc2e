// Where the parts of one container's pass would meet: parts for one offset,
// and parts whose bytes overlap. A function of plain values, found by
// sorting, so that its cost grows with the number of parts and not with its
// square, however many of them collide.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "scan/span.h"

// What one part meets, as indexes into the spans given, each list in offset
// order (then search order) and at most `most` long; the counts are whole.
struct Meeting {
  std::size_t sameOffsetCount = 0;
  std::vector<std::size_t> sameOffset;  // other parts for its offset
  std::size_t splicedLast = 0;          // of those and itself, the last in search order
  std::size_t overlapCount = 0;
  std::vector<std::size_t> overlaps;  // parts at other offsets whose bytes it shares
};

// spans in search order. A span of length 0 writes nothing: it meets no
// other, and no other meets it.
std::vector<Meeting> FindMeetings(const std::vector<Span>& spans, std::size_t most);

// For fitting: which spans, cut to the slot given (0: not to be fitted),
// would then reach into no other span: none may start inside its slot. One
// before it that reaches into it meets it however long it is, fitted or
// not, and is left to that one. A span that shares its offset with another
// is never alone.
std::vector<bool> FitsAlone(const std::vector<Span>& spans,
                            const std::vector<std::uint64_t>& slots);
