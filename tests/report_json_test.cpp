#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "scan/report.h"

namespace {

// One run's document: two containers, the first with two waves and a part.
std::string Document() {
  ScanReport report = kJsonReport;
  testing::internal::CaptureStdout();
  report.start(&report.place, "1.0");
  for (const char* name : {"a.dat", "b.dat"}) {
    ContainerSummary container;
    container.name = name;
    container.opened = true;
    report.opened(&report.place, container);
    for (std::uint64_t offset : {0, 64}) {
      WaveFinding wave;
      wave.offset = offset;
      report.wave(&report.place, wave);
    }
    if (std::string(name) == "a.dat") {
      PartFinding part;
      part.name = "a.dat_00000000.wav";
      report.part(&report.place, part, Judgement());
    }
    report.done(&report.place, container);
  }
  report.finish(&report.place, "");
  return testing::internal::GetCapturedStdout();
}

// Each run starts its document afresh, whatever the runs before it printed.
TEST(JsonReport, WritesEachRunsDocumentWhole) {
  for (int run = 0; run < 2; ++run) {
    const nlohmann::json document = nlohmann::json::parse(Document());
    ASSERT_EQ(document["containers"].size(), 2u) << "run " << run;
    EXPECT_EQ(document["containers"][0]["waves"].size(), 2u);
    EXPECT_EQ(document["containers"][0]["parts"].size(), 1u);
    EXPECT_EQ(document["containers"][1]["waves"][1]["offset"], 64);
    EXPECT_TRUE(document["containers"][1]["parts"].empty());
  }
}

}  // namespace
