#include "scan/chunks.h"

#include <algorithm>
#include <cstring>

#include "scan/loop_chunks.h"
#include "waves/reading.h"
#include "waves/riff.h"

namespace {

// Enough for any real wave's chunks; a bound on the reads a wave of garbage
// can cost.
constexpr int kMostChunks = 64;
// The longest fmt chunk read: an MS ADPCM table of the most pairs its
// count holds.
constexpr std::size_t kMostPairs = 256;
constexpr std::size_t kFormatBytes = 22 + 4 * kMostPairs;

std::string Guid(const unsigned char* b) {
  char text[40];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned>(LittleEndian(b)),
                static_cast<unsigned>(LittleEndian(b + 4, 2)),
                static_cast<unsigned>(LittleEndian(b + 6, 2)), b[8], b[9], b[10], b[11], b[12],
                b[13], b[14], b[15]);
  return text;
}

WaveFormat FormatOf(const unsigned char* bytes, std::uint64_t size) {
  WaveFormat format;
  format.tag = LittleEndian(bytes, 2);
  format.channels = LittleEndian(bytes + 2, 2);
  format.sampleRate = LittleEndian(bytes + 4);
  format.byteRate = LittleEndian(bytes + 8);
  format.blockAlign = LittleEndian(bytes + 12, 2);
  format.hasBits = size >= 16;
  if (format.hasBits) format.bitsPerSample = LittleEndian(bytes + 14, 2);
  if (format.tag == kExtensible && size >= 40) {
    format.validBits = LittleEndian(bytes + 18, 2);
    format.subFormat = Guid(bytes + 24);
  }
  if ((format.tag == 0x0002 || format.tag == 0x0011) && size >= 20) {
    format.hasSamplesPerBlock = true;
    format.samplesPerBlock = LittleEndian(bytes + 18, 2);
  }
  if (format.tag == 0x0002 && size >= 22) {
    // Only the pairs both its count and the chunk hold.
    const std::uint32_t count = LittleEndian(bytes + 20, 2);
    const std::uint64_t pairs = std::min<std::uint64_t>(count, (size - 22) / 4);
    format.hasCoefficients = pairs > 0;
    format.coefficientCount = count;
    format.coefficientsWhole = pairs == count && LittleEndian(bytes + 16, 2) >= 4 + 4 * pairs;
    for (std::uint64_t i = 0; i < std::min<std::uint64_t>(pairs, kMostPairs); ++i) {
      for (std::uint64_t k = 0; k < 2; ++k) {
        format.coefficients.push_back(
            static_cast<std::int16_t>(LittleEndian(bytes + 22 + 4 * i + 2 * k, 2)));
      }
    }
  }
  return format;
}

}  // namespace

namespace {

// The file the chunks are read from, and what a read of it cut short says.
struct Source {
  std::FILE* file;
  const char* shortBy;
};

// Reads what the chunk whose header is at `at` says, inside of its bytes
// lying within the wave, into chunks and labels.
bool ReadChunk(const Source& from, std::uint64_t at, const unsigned char* header,
               std::uint64_t inside, std::uint64_t offset, WaveChunks* chunks,
               std::vector<CuePoint>* labels, std::string* err) {
  const std::string id(reinterpret_cast<const char*>(header), 4);
  if (id == "fmt " && inside >= 14 && !chunks->hasFormat) {
    unsigned char format[kFormatBytes] = {};
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(inside, kFormatBytes));
    if (!ReadAt(from.file, at + kChunkHeader, format, count, from.shortBy, err)) return false;
    chunks->format = FormatOf(format, inside);
    chunks->hasFormat = true;
  } else if (id == "data" && !chunks->hasData) {
    chunks->dataAt = at + kChunkHeader - offset;
    chunks->dataBytes = inside;
    chunks->hasData = true;
  }
  const std::size_t loopBytes = LoopChunkBytes(id);
  if (loopBytes == 0) return true;
  std::vector<unsigned char> bytes(
      static_cast<std::size_t>(std::min<std::uint64_t>(inside, loopBytes)));
  if (!ReadAt(from.file, at + kChunkHeader, bytes.data(), bytes.size(), from.shortBy, err)) {
    return false;
  }
  ReadLoopChunk(id, bytes, chunks, labels);
  return true;
}

}  // namespace

bool ReadChunks(std::FILE* file, std::uint64_t offset, std::uint64_t length, WaveChunks* chunks,
                const char* shortBy, std::string* err) {
  *chunks = WaveChunks();
  const std::uint64_t end = offset + length;
  unsigned char head[kRiffHeader];
  const std::size_t headBytes =
      static_cast<std::size_t>(std::min<std::uint64_t>(length, kRiffHeader));
  if (!ReadAt(file, offset, head, headBytes, shortBy, err)) return false;
  chunks->head.assign(reinterpret_cast<const char*>(head), headBytes);
  chunks->wave = headBytes == kRiffHeader && std::memcmp(head, "RIFF", 4) == 0 &&
                 std::memcmp(head + 8, "WAVE", 4) == 0;
  if (!chunks->wave) return true;
  std::vector<CuePoint> labels;
  std::uint64_t at = offset + kRiffHeader;
  for (int chunk = 0; chunk < kMostChunks && at + kChunkHeader <= end; ++chunk) {
    unsigned char header[kChunkHeader];
    if (!ReadAt(file, at, header, sizeof header, shortBy, err)) return false;
    const std::uint64_t size = LittleEndian(header + 4);
    const std::uint64_t inside = std::min(size, end - at - kChunkHeader);
    const std::string id(reinterpret_cast<const char*>(header), 4);
    chunks->order.push_back({id, static_cast<std::uint32_t>(size)});
    if (!ReadChunk({file, shortBy}, at, header, inside, offset, chunks, &labels, err)) return false;
    if (id != "fmt " && id != "data") {
      chunks->others.push_back({id, std::min(kChunkHeader + size + (size & 1), end - at)});
    }
    at += kChunkHeader + size + (size & 1);  // chunks are padded to even sizes
  }
  LabelCues(labels, chunks);
  return true;
}

std::string DescribeWave(const WaveChunks& chunks) {
  if (!chunks.hasFormat) return "no fmt chunk";
  const WaveFormat& format = chunks.format;
  std::string text = FormatName(format) + ", " + std::to_string(format.channels) +
                     (format.channels == 1 ? " channel, " : " channels, ") +
                     std::to_string(format.sampleRate) + " Hz";
  if (format.bitsPerSample != 0) text += ", " + std::to_string(format.bitsPerSample) + " bits";
  const double seconds = Seconds(chunks);
  if (seconds >= 0) {
    char played[32];
    std::snprintf(played, sizeof played, ", %.3f s", seconds);
    text += played;
  }
  return text + DescribeLoops(chunks);
}

double Seconds(const WaveChunks& chunks) {
  if (!chunks.hasFormat || !chunks.hasData) return -1;
  const std::uint32_t tag = EffectiveTag(chunks.format);
  std::uint64_t frames = 0;
  if (tag == 0x0002 || tag == 0x0011) {
    // Counted by its blocks, or not at all when its format is at odds with
    // itself: its byte rate would say no more than that.
    if (chunks.format.sampleRate == 0 || !SampleFrames(chunks, &frames)) return -1;
    return static_cast<double>(frames) / chunks.format.sampleRate;
  }
  if (chunks.format.byteRate == 0) return -1;
  return static_cast<double>(chunks.dataBytes) / chunks.format.byteRate;
}
