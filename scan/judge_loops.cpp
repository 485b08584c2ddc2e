#include "scan/judge_loops.h"

#include "scan/loop_chunks.h"

namespace {

// Whether one of the wave's loops or cue points reaches past its samples;
// the first that does in *past.
bool LoopPastEnd(const WaveChunks& own, PastEnd* past) {
  std::uint64_t frames = 0;
  if (!SampleFrames(own, &frames)) return false;
  past->frames = frames;
  for (const Loop& loop : own.loops) {
    if (loop.end >= frames) {  // the last frame it plays, as smpl counts it
      past->last = loop.end;
      return true;
    }
  }
  for (const CuePoint& cue : own.cues) {
    // A labelled length counts frames from the point on, as Quake's engine
    // takes it for a loop; a bare point names the one frame.
    const bool hasLength = cue.hasLength && cue.length > 0;
    const std::uint64_t last = std::uint64_t{cue.sample} + (hasLength ? cue.length - 1 : 0);
    if (last >= frames) {
      *past = {true, hasLength, cue.sample, cue.length, last, frames};
      return true;
    }
  }
  return false;
}

// Whether two headers have the same chunks in the same order, and fmt
// chunks of the same size: what a program that reads a header at fixed
// places relies on.
bool SameLayout(const std::vector<ChunkSize>& a, const std::vector<ChunkSize>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].id != b[i].id || (a[i].id == "fmt " && a[i].size != b[i].size)) return false;
  }
  return true;
}

}  // namespace

void JudgeLoops(const PartFinding& part, Judgement* judgement) {
  if (LoopPastEnd(part.own, &judgement->pastEnd)) {
    judgement->problems.push_back(Problem::kLoopPastEnd);
  }
  if (!part.place.waveStarts) return;
  const bool waveLoops = !part.wave.loops.empty() || !part.wave.cues.empty();
  const bool partLoops = !part.own.loops.empty() || !part.own.cues.empty();
  if (waveLoops && !partLoops) judgement->notes.push_back(Note::kLoopDropped);
  if (part.own.hasData && part.wave.hasData &&
      !SameLayout(HeaderOf(part.own), HeaderOf(part.wave))) {
    judgement->notes.push_back(Note::kLayoutDiffers);
  }
}

std::vector<ChunkSize> HeaderOf(const WaveChunks& chunks) {
  std::vector<ChunkSize> header;
  for (const ChunkSize& chunk : chunks.order) {
    header.push_back(chunk);
    if (chunk.id == "data") break;
  }
  return header;
}
