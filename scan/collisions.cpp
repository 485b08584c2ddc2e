#include "scan/collisions.h"

#include <algorithm>
#include <functional>
#include <queue>
#include <set>
#include <utility>

namespace {

std::uint64_t End(const Span& span) { return span.offset + span.length; }

}  // namespace

std::vector<Meeting> FindMeetings(const std::vector<Span>& spans, std::size_t most) {
  std::vector<Meeting> meetings(spans.size());
  std::vector<std::size_t> order;  // the spans that write, by offset, then search order
  for (std::size_t i = 0; i < spans.size(); ++i) {
    meetings[i].splicedLast = i;
    if (spans[i].length > 0) order.push_back(i);
  }
  std::stable_sort(order.begin(), order.end(), [&spans](std::size_t a, std::size_t b) {
    return spans[a].offset < spans[b].offset;
  });
  std::vector<std::uint64_t> starts;
  std::vector<std::uint64_t> ends;
  for (const std::size_t i : order) {
    starts.push_back(spans[i].offset);
    ends.push_back(End(spans[i]));
  }
  std::sort(ends.begin(), ends.end());

  // Sweeping by offset: the spans begun before the current offset that
  // still reach past it, by their place in order, and by their ends.
  std::set<std::size_t> reaching;
  std::priority_queue<std::pair<std::uint64_t, std::size_t>,
                      std::vector<std::pair<std::uint64_t, std::size_t>>, std::greater<>>
      byEnd;
  for (std::size_t first = 0; first < order.size();) {
    const std::uint64_t offset = spans[order[first]].offset;
    std::size_t after = first;  // one past the spans at this offset
    while (after < order.size() && spans[order[after]].offset == offset) ++after;
    while (!byEnd.empty() && byEnd.top().first <= offset) {
      reaching.erase(byEnd.top().second);
      byEnd.pop();
    }
    const std::size_t group = after - first;
    for (std::size_t at = first; at < after; ++at) {
      Meeting& meeting = meetings[order[at]];
      meeting.sameOffsetCount = group - 1;
      meeting.splicedLast = order[after - 1];
      for (std::size_t other = first; other < after && meeting.sameOffset.size() < most; ++other) {
        if (other != at) meeting.sameOffset.push_back(order[other]);
      }
      // Those that start before its end, less those that end before its
      // start, less its own offset's.
      const std::uint64_t end = End(spans[order[at]]);
      meeting.overlapCount =
          static_cast<std::size_t>(std::lower_bound(starts.begin(), starts.end(), end) -
                                   starts.begin()) -
          static_cast<std::size_t>(std::upper_bound(ends.begin(), ends.end(), offset) -
                                   ends.begin()) -
          group;
      for (auto it = reaching.begin(); it != reaching.end() && meeting.overlaps.size() < most;
           ++it) {
        meeting.overlaps.push_back(order[*it]);
      }
      for (std::size_t next = after;
           next < order.size() && starts[next] < end && meeting.overlaps.size() < most; ++next) {
        meeting.overlaps.push_back(order[next]);
      }
    }
    for (std::size_t at = first; at < after; ++at) {
      reaching.insert(at);
      byEnd.emplace(End(spans[order[at]]), at);
    }
    first = after;
  }
  return meetings;
}
