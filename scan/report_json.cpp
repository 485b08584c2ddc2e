// wavescan's report for scripts: one JSON document on standard output,
// written as the run goes so that memory stays bounded. The library encodes
// every value; only the punctuation between them is written here.
#include <nlohmann/json.hpp>

#include "platform/output.h"
#include "scan/problems.h"
#include "scan/report.h"
#include "scan/report_words.h"

namespace {

using json = nlohmann::ordered_json;  // keys in the order written, for people reading it too

void Put(const json& value) {
  // Names are bytes; any that are not UTF-8 become U+FFFD.
  const std::string text = value.dump(-1, ' ', false, json::error_handler_t::replace);
  Print(Stream::kOutput, text);
}

json Format(const WaveChunks& chunks) {
  if (!chunks.wave || !chunks.hasFormat) return nullptr;
  const WaveFormat& format = chunks.format;
  json object = {{"tag", format.tag},
                 {"name", FormatName(format)},
                 {"channels", format.channels},
                 {"sample_rate", format.sampleRate},
                 {"byte_rate", format.byteRate},
                 {"bits_per_sample", format.hasBits ? json(format.bitsPerSample) : json()},
                 {"block_align", format.blockAlign},
                 {"seconds", Seconds(chunks) >= 0 ? json(Seconds(chunks)) : json()}};
  if (!format.subFormat.empty()) object["sub_format"] = format.subFormat;
  return object;
}

// The loops and cue points, in sample frames, a loop's end the last it plays.
json Loops(const WaveChunks& chunks) {
  json loops = json::array();
  for (const Loop& loop : chunks.loops) {
    loops.push_back({{"start", loop.start}, {"end", loop.end}, {"count", loop.count}});
  }
  return loops;
}

json Cues(const WaveChunks& chunks) {
  json cues = json::array();
  for (const CuePoint& cue : chunks.cues) {
    json point = {{"sample", cue.sample}};
    if (cue.hasLength) point["length"] = cue.length;
    cues.push_back(point);
  }
  return cues;
}

json Listed(const Others& others) { return {{"count", others.count}, {"names", others.names}}; }

// [from, to] where they differ, else null.
template <class Value>
json Change(const Value& from, const Value& to) {
  return from == to ? json() : json::array({from, to});
}

json Fitted(const Fitting& fitting) {
  return {{"kept_as", fitting.keptAs},
          {"sample_rate", Change(fitting.from.sampleRate, fitting.to.sampleRate)},
          {"channels", Change(fitting.from.channels, fitting.to.channels)},
          {"bits", Change(SignificantBits(fitting.from), SignificantBits(fitting.to))},
          {"format", Change(FormatName(fitting.from), FormatName(fitting.to))},
          {"dithered", fitting.dithered},
          {"clipped_samples", fitting.clippedSamples},
          {"invalid_samples", fitting.invalidSamples},
          {"cut_seconds", fitting.cutSeconds},
          {"padded_seconds", fitting.paddedSeconds},
          {"kept_chunks", fitting.keptChunks}};
}

// Closes the container's list of waves, once.
void EndWaves(ReportPlace* place) {
  if (place->parts++ == 0) Print(Stream::kOutput, "],\"parts\":[");
}

void Start(ReportPlace* /*place*/, const char* version) {
  Print(Stream::kOutput, "{\"version\":");
  Put(version);
  Print(Stream::kOutput, ",\"containers\":[");
}

void Moved(ReportPlace* /*place*/, const std::string& /*line*/) {
}  // said with the parts and the container

void Opened(ReportPlace* place, const ContainerSummary& container) {
  if (place->containers++ > 0) Print(Stream::kOutput, ",");
  Print(Stream::kOutput, "{\"name\":");
  Put(container.name);
  json problems = json::array();
  for (const Problem problem : JudgeContainer(container)) problems.push_back(ProblemKey(problem));
  json facts = {{"size", container.opened ? json(container.size) : json()}, {"problems", problems}};
  if (!container.sameFile.empty()) facts["same_file"] = container.sameFile;
  if (!container.notWritable.empty()) facts["not_writable"] = container.notWritable;
  if (!container.recovered.empty()) facts["recovered"] = container.recovered;
  if (!container.notMoved.empty()) facts["not_moved"] = container.notMoved;
  // The members of facts, without its braces, so that the waves can follow.
  const std::string members = facts.dump(-1, ' ', false, json::error_handler_t::replace);
  Print(Stream::kOutput, "," + members.substr(1, members.size() - 2) + ",\"waves\":[");
  place->waves = 0;
  place->parts = 0;
}

void Wave(ReportPlace* place, const WaveFinding& wave) {
  if (place->waves++ > 0) Print(Stream::kOutput, ",");
  json object = {{"offset", wave.offset},
                 {"length", wave.length},
                 {"format", wave.chunksRead ? Format(wave.chunks) : json()},
                 {"loops", Loops(wave.chunks)},
                 {"cues", Cues(wave.chunks)}};
  switch (wave.extraction) {
    case Extraction::kNotAsked:
      break;
    case Extraction::kWritten:
      object["extracted"] = wave.partName;
      break;
    case Extraction::kKept:
      object["kept"] = wave.partName;
      break;
    case Extraction::kFailed:
      object["failed"] = wave.why;
      break;
    case Extraction::kPassedOver:
      object["not_extracted"] = wave.why;
      break;
  }
  Put(object);
}

void Part(ReportPlace* place, const PartFinding& part, const Judgement& judgement) {
  if (place->parts > 0) Print(Stream::kOutput, ",");
  EndWaves(place);
  const bool taken = part.taken == PartName::kPart;
  json problems = json::array();
  for (const Problem problem : judgement.problems) problems.push_back(ProblemKey(problem));
  json notes = json::array();
  for (const Note note : judgement.notes) notes.push_back(NoteKey(note));
  const bool read = part.refused.empty();
  json object = {{"name", part.name},
                 {"offset", taken ? json(part.offset) : json()},
                 {"length", part.headerRead ? json(part.length) : json()},
                 {"format", read ? Format(part.own) : json()},
                 {"loops", read ? Loops(part.own) : json::array()},
                 {"cues", read ? Cues(part.own) : json::array()},
                 {"verdict", VerdictKey(judgement)},
                 {"problems", problems},
                 {"notes", notes},
                 {"longer_by", judgement.longerBy},
                 {"overwrites", judgement.overwrites},
                 {"lengthens", judgement.lengthens},
                 {"same_offset_parts", Listed(part.sameOffset)},
                 {"overlapping_parts", Listed(part.overlaps)},
                 {"message", PartMessage(part, judgement)}};
  if (!part.sameFile.empty()) object["same_file"] = part.sameFile;
  if (!part.moving.from.empty()) object["moved_from"] = part.moving.from;
  if (part.fitting.done) object["fitted"] = Fitted(part.fitting);
  if (SaysNotFitted(part, judgement)) object["not_fitted"] = part.fitting.notFitted;
  if (judgement.wouldFitKnown) {
    json lacking = json::array();
    for (const Chunk& chunk : judgement.lacking) {
      lacking.push_back({{"id", chunk.id}, {"bytes", chunk.bytes}});
    }
    object["would_fit"] = {{"sample_bytes", judgement.wouldFitBytes},
                           {"seconds", judgement.wouldFitSeconds},
                           {"chunks_the_wave_lacks", lacking}};
  }
  Put(object);
}

void Done(ReportPlace* place, const ContainerSummary& container) {
  if (!container.opened) Opened(place, container);  // with no size, waves or parts
  EndWaves(place);
  const json counts = {{"waves", container.waves},
                       {"parts", container.parts},
                       {"fit", container.fits},
                       {"shorter", container.shorter},
                       {"problems", container.problems},
                       {"skipped", container.skipped},
                       {"extracted", container.extracted},
                       {"failed", container.failed},
                       {"fitted", container.fitted},
                       {"moved", container.moved}};
  Print(Stream::kOutput, "],\"counts\":");
  Put(counts);
  Print(Stream::kOutput, container.read ? ",\"read\":true" : ",\"read\":false");
  if (!container.error.empty()) {
    Print(Stream::kOutput, ",\"error\":");
    Put(container.error);
  }
  Print(Stream::kOutput, "}");
}

void Finish(ReportPlace* /*place*/, const std::string& unlisted) {
  Print(Stream::kOutput, "]");
  if (!unlisted.empty()) {
    Print(Stream::kOutput, ",\"error\":");
    Put(unlisted);
  }
  Print(Stream::kOutput, "}\n");
}

}  // namespace

const ScanReport kJsonReport = {Start, Moved, Opened, Wave, Part, Done, Finish, {}};
