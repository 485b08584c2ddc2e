// The search both ADPCM encoders choose codes by: several paths kept at
// once, each sample's codes tried on each, the paths of least squared error
// so far kept after each sample, so that a code is chosen with regard to the
// samples after it. Integers only: the same codes on every build.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

// Ops: a type with
//   using State = ...;                         a decoder between samples
//   static int Step(State*, int code);         decodes a code, returns the sample
//   static int Tries(const State&, int x, int codes[4]);  codes worth trying for x
//   static std::uint32_t Key(const State&);    equal for states whose futures
//                                              differ little, so that only
//                                              the better is kept
template <class Ops, int kPaths>
class AdpcmBeam {
 public:
  using State = typename Ops::State;

  // Codes samples first to count - 1 of in (stride apart) from each of the
  // starts: their codes into codes[first ..], and returns the start the
  // best path came from.
  static std::size_t Search(const std::vector<State>& starts, const std::int16_t* in,
                            std::size_t stride, std::size_t first, std::size_t count,
                            unsigned char* codes) {
    Frontier frontiers[2];  // the paths before a sample and after it, in turn
    Frontier* now = &frontiers[0];
    for (std::size_t s = 0; s < starts.size() && now->count < kPaths; ++s) {
      now->paths[now->count++] = {starts[s], 0, Ops::Key(starts[s]), static_cast<int>(s), 0};
    }
    if (count <= first) return 0;
    std::vector<int> froms((count - first) * kPaths);
    std::vector<unsigned char> chosen((count - first) * kPaths);
    for (std::size_t i = first; i < count; ++i) {
      const std::size_t row = (i - first) * kPaths;
      Frontier* next = &frontiers[now == &frontiers[0] ? 1 : 0];
      Extend(*now, in[i * stride], &froms[row], &chosen[row], next);
      now = next;
    }
    int p = 0;  // the best path, back from its end
    for (std::size_t i = count; i-- > first;) {
      codes[i] = chosen[(i - first) * kPaths + p];
      p = froms[(i - first) * kPaths + p];
    }
    return static_cast<std::size_t>(p);
  }

 private:
  struct Path {
    State state;
    std::int64_t error;
    std::uint32_t key;  // Ops::Key(state)
    int from;           // the path it continues, among the sample before's
    int code;
  };

  // The paths kept after a sample, by error, no two alike.
  struct Frontier {
    Path paths[kPaths];
    int count = 0;

    void Offer(const Path& path) {
      if (count == kPaths && path.error >= paths[count - 1].error) return;
      for (int at = 0; at < count; ++at) {
        if (paths[at].key != path.key) continue;
        if (paths[at].error <= path.error) return;
        std::copy(paths + at + 1, paths + count, paths + at);  // the worse one goes
        --count;
        break;
      }
      int place = count;
      while (place > 0 && paths[place - 1].error > path.error) --place;
      if (count < kPaths) ++count;
      std::copy_backward(paths + place, paths + count - 1, paths + count);
      paths[place] = path;
    }
  };

  static void Extend(const Frontier& now, int x, int* froms, unsigned char* codes, Frontier* next) {
    next->count = 0;
    for (int p = 0; p < now.count; ++p) {
      int tries[4];
      const int count = Ops::Tries(now.paths[p].state, x, tries);
      for (int t = 0; t < count; ++t) {
        Path tried{now.paths[p].state, 0, 0, p, tries[t]};
        const std::int64_t miss = x - Ops::Step(&tried.state, tries[t]);
        tried.error = now.paths[p].error + miss * miss;
        if (next->count == kPaths && tried.error >= next->paths[kPaths - 1].error) continue;
        tried.key = Ops::Key(tried.state);
        next->Offer(tried);
      }
    }
    for (int p = 0; p < next->count; ++p) {
      froms[p] = next->paths[p].from;
      codes[p] = static_cast<unsigned char>(next->paths[p].code);
    }
  }
};
