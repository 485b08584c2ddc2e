#include "scan/loop_chunks.h"

#include <algorithm>
#include <cstdio>

#include "sound/format_layout.h"
#include "sound/ima_adpcm.h"
#include "sound/ms_adpcm.h"
#include "waves/riff.h"

namespace {

constexpr std::size_t kMostPoints = 64;   // loops, cue points and labels each
constexpr std::size_t kSamplerHead = 36;  // a smpl chunk's fields before its loops
constexpr std::size_t kPointBytes = 24;   // a loop's, or a cue point's
constexpr std::size_t kMostListBytes = 16384;

constexpr std::uint32_t kMsAdpcm = 0x0002;
constexpr std::uint32_t kImaAdpcm = 0x0011;

void ReadLoops(const std::vector<unsigned char>& bytes, WaveChunks* chunks) {
  if (!chunks->loops.empty() || bytes.size() < kSamplerHead) return;
  const std::size_t count = std::min<std::size_t>(
      {LittleEndian(&bytes[28]), (bytes.size() - kSamplerHead) / kPointBytes, kMostPoints});
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned char* loop = &bytes[kSamplerHead + i * kPointBytes];
    chunks->loops.push_back(
        {LittleEndian(loop + 8), LittleEndian(loop + 12), LittleEndian(loop + 20)});
  }
}

void ReadCues(const std::vector<unsigned char>& bytes, WaveChunks* chunks) {
  if (!chunks->cues.empty() || bytes.size() < 4) return;
  const std::size_t count = std::min<std::size_t>(
      {LittleEndian(&bytes[0]), (bytes.size() - 4) / kPointBytes, kMostPoints});
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned char* point = &bytes[4 + i * kPointBytes];
    CuePoint cue;
    cue.id = LittleEndian(point);
    cue.sample = LittleEndian(point + 20);  // dwSampleOffset, in frames of the data chunk
    chunks->cues.push_back(cue);
  }
}

// The "ltxt" chunks of a LIST of type adtl: a cue point's id and a length
// in frames each.
void ReadLabels(const std::vector<unsigned char>& bytes, std::vector<CuePoint>* labels) {
  if (bytes.size() < 4 || std::string(bytes.begin(), bytes.begin() + 4) != "adtl") return;
  for (std::size_t at = 4; at + kChunkHeader <= bytes.size() && labels->size() < kMostPoints;) {
    const std::uint64_t size = LittleEndian(&bytes[at + 4]);
    if (std::string(&bytes[at], &bytes[at] + 4) == "ltxt" && size >= 8 &&
        at + kChunkHeader + 8 <= bytes.size()) {
      CuePoint label;
      label.id = LittleEndian(&bytes[at + kChunkHeader]);
      label.hasLength = true;
      label.length = LittleEndian(&bytes[at + kChunkHeader + 4]);
      labels->push_back(label);
    }
    at += kChunkHeader + size + (size & 1);
  }
}

std::string Plural(std::size_t count, const char* what) {
  return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
}

}  // namespace

std::size_t LoopChunkBytes(const std::string& id) {
  if (id == "smpl") return kSamplerHead + kMostPoints * kPointBytes;
  if (id == "cue ") return 4 + kMostPoints * kPointBytes;
  return id == "LIST" ? kMostListBytes : 0;
}

void ReadLoopChunk(const std::string& id, const std::vector<unsigned char>& bytes,
                   WaveChunks* chunks, std::vector<CuePoint>* labels) {
  if (id == "smpl") ReadLoops(bytes, chunks);
  if (id == "cue ") ReadCues(bytes, chunks);
  if (id == "LIST") ReadLabels(bytes, labels);
}

void LabelCues(const std::vector<CuePoint>& labels, WaveChunks* chunks) {
  for (CuePoint& cue : chunks->cues) {
    const auto label = std::find_if(labels.begin(), labels.end(),
                                    [&cue](const CuePoint& l) { return l.id == cue.id; });
    if (label == labels.end()) continue;
    cue.hasLength = true;
    cue.length = label->length;
  }
}

bool SampleFrames(const WaveChunks& chunks, std::uint64_t* frames) {
  if (!chunks.hasFormat || !chunks.hasData || chunks.format.blockAlign == 0) return false;
  const std::uint32_t tag = EffectiveTag(chunks.format);
  const std::uint64_t blocks = chunks.dataBytes / chunks.format.blockAlign;
  if (tag == 1 || tag == 3 || tag == 6 || tag == 7) {
    *frames = blocks;
    return true;
  }
  const WaveFormat& format = chunks.format;
  // A format at odds with itself says nothing of how long it plays.
  if ((tag != kMsAdpcm && tag != kImaAdpcm) || format.samplesPerBlock == 0 ||
      format.channels == 0 || !BlockSamplesAgree(format)) {
    return false;
  }
  // Whole blocks and a part block, as decoders count them.
  const auto rest = static_cast<std::size_t>(chunks.dataBytes % format.blockAlign);
  *frames = blocks * format.samplesPerBlock +
            (tag == kImaAdpcm ? ImaSamples(rest, format.channels, format.samplesPerBlock)
                              : MsSamples(rest, format.channels, format.samplesPerBlock));
  return true;
}

std::string DescribeLoops(const WaveChunks& chunks) {
  std::string text;
  const std::uint32_t rate = chunks.hasFormat ? chunks.format.sampleRate : 0;
  if (chunks.loops.size() == 1 && rate != 0) {
    // From the start of its first frame to the end of its last.
    char span[64];
    std::snprintf(span, sizeof span, ", loop %.3f-%.3f s",
                  static_cast<double>(chunks.loops[0].start) / rate,
                  (static_cast<double>(chunks.loops[0].end) + 1) / rate);
    text += span;
  } else if (!chunks.loops.empty()) {
    text += ", " + Plural(chunks.loops.size(), "loop");
  }
  if (!chunks.cues.empty()) text += ", " + Plural(chunks.cues.size(), "cue point");
  return text;
}
