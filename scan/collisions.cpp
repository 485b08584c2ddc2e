#include "scan/collisions.h"

#include <algorithm>
#include <functional>
#include <queue>
#include <set>
#include <utility>

namespace {

std::uint64_t End(const Span& span) { return span.offset + span.length; }

// The spans that write: by offset, then search order; their starts in
// that order, and their ends sorted.
struct Sorted {
  std::vector<std::size_t> order;
  std::vector<std::uint64_t> starts;
  std::vector<std::uint64_t> ends;
};

Sorted SortSpans(const std::vector<Span>& spans) {
  Sorted sorted;
  for (std::size_t i = 0; i < spans.size(); ++i) {
    if (spans[i].length > 0) sorted.order.push_back(i);
  }
  std::stable_sort(
      sorted.order.begin(), sorted.order.end(),
      [&spans](std::size_t a, std::size_t b) { return spans[a].offset < spans[b].offset; });
  for (const std::size_t i : sorted.order) {
    sorted.starts.push_back(spans[i].offset);
    sorted.ends.push_back(End(spans[i]));
  }
  std::sort(sorted.ends.begin(), sorted.ends.end());
  return sorted;
}

// What each span of the group at sorted places [first, after), all at one
// offset, meets; reaching holds the places of the spans begun before that
// offset which still reach past it.
void MeetGroup(const std::vector<Span>& spans, const Sorted& sorted, std::size_t first,
               std::size_t after, const std::set<std::size_t>& reaching, std::size_t most,
               std::vector<Meeting>* meetings) {
  const std::vector<std::size_t>& order = sorted.order;
  const std::uint64_t offset = sorted.starts[first];
  for (std::size_t at = first; at < after; ++at) {
    Meeting& meeting = (*meetings)[order[at]];
    meeting.sameOffsetCount = after - first - 1;
    meeting.splicedLast = order[after - 1];
    for (std::size_t other = first; other < after && meeting.sameOffset.size() < most; ++other) {
      if (other != at) meeting.sameOffset.push_back(order[other]);
    }
    // Those that start before its end, less those that end before its
    // start, less its own offset's.
    const std::uint64_t end = End(spans[order[at]]);
    const auto startBefore = std::lower_bound(sorted.starts.begin(), sorted.starts.end(), end);
    const auto endBefore = std::upper_bound(sorted.ends.begin(), sorted.ends.end(), offset);
    meeting.overlapCount = static_cast<std::size_t>(startBefore - sorted.starts.begin()) -
                           static_cast<std::size_t>(endBefore - sorted.ends.begin()) -
                           (after - first);
    for (auto it = reaching.begin(); it != reaching.end() && meeting.overlaps.size() < most; ++it) {
      meeting.overlaps.push_back(order[*it]);
    }
    for (std::size_t next = after;
         next < order.size() && sorted.starts[next] < end && meeting.overlaps.size() < most;
         ++next) {
      meeting.overlaps.push_back(order[next]);
    }
  }
}

}  // namespace

std::vector<Meeting> FindMeetings(const std::vector<Span>& spans, std::size_t most) {
  std::vector<Meeting> meetings(spans.size());
  for (std::size_t i = 0; i < spans.size(); ++i) meetings[i].splicedLast = i;
  const Sorted sorted = SortSpans(spans);
  // Sweeping by offset: the spans begun before the current offset that
  // still reach past it, by their place in order, and by their ends.
  std::set<std::size_t> reaching;
  std::priority_queue<std::pair<std::uint64_t, std::size_t>,
                      std::vector<std::pair<std::uint64_t, std::size_t>>, std::greater<>>
      byEnd;
  for (std::size_t first = 0; first < sorted.order.size();) {
    const std::uint64_t offset = sorted.starts[first];
    std::size_t after = first;  // one past the spans at this offset
    while (after < sorted.order.size() && sorted.starts[after] == offset) ++after;
    while (!byEnd.empty() && byEnd.top().first <= offset) {
      reaching.erase(byEnd.top().second);
      byEnd.pop();
    }
    MeetGroup(spans, sorted, first, after, reaching, most, &meetings);
    for (std::size_t at = first; at < after; ++at) {
      reaching.insert(at);
      byEnd.emplace(End(spans[sorted.order[at]]), at);
    }
    first = after;
  }
  return meetings;
}

std::vector<bool> FitsAlone(const std::vector<Span>& spans,
                            const std::vector<std::uint64_t>& slots) {
  std::vector<bool> alone(spans.size(), false);
  const Sorted sorted = SortSpans(spans);
  for (std::size_t first = 0; first < sorted.order.size();) {
    const std::uint64_t offset = sorted.starts[first];
    std::size_t after = first;
    while (after < sorted.order.size() && sorted.starts[after] == offset) ++after;
    const std::uint64_t next = after < sorted.order.size() ? sorted.starts[after] : UINT64_MAX;
    // One that starts before it and reaches in meets it whether it is
    // fitted or not: that overlap is the other's to mend.
    if (after - first == 1) {
      const std::size_t i = sorted.order[first];
      alone[i] = slots[i] > 0 && next - offset >= slots[i];
    }
    first = after;
  }
  return alone;
}
