// Appending and resuming are checked through `geosig batch`; here, what resuming refuses.
#include "BatchOutput.h"

#include <gtest/gtest.h>

#include "ReportChecks.h"
#include "TemporaryDirectory.h"

TEST(BatchOutput, RefusesToResumeAFileThatIsNotABatchOutputAndLeavesItAsItWas) {
  TemporaryDirectory directory;
  for (const char* content : {"{\"file\":\"a\"}\nnot json\n", "[1,2]\n", "{\"file\":3}\n", "{\"name\":\"a\"}\n"}) {
    const std::string path = directory.Write("other.jsonl", content);
    EXPECT_THROW(BatchOutput(path, true), std::runtime_error) << content;
    EXPECT_EQ(FileContents(path), content);
  }
}

TEST(BatchOutput, ALastLineWithoutItsEndIsCutOffOnlyWhenItIsARecordCutOff) {
  TemporaryDirectory directory;
  for (const char* content : {"{\"file\":\"a\"}\nnotes without a line end", "plain text", "{\"file\":\"a\"}x",
                              "{\"file\":\"a\"}\n{\"file\" 1", "{\"file\":\"a\"}\n{\"n\":[1e999"}) {
    const std::string path = directory.Write("other.jsonl", content);
    EXPECT_THROW(BatchOutput(path, true), std::runtime_error) << content;
    EXPECT_EQ(FileContents(path), content);
  }
  // Killed at any byte of its second record, a batch output keeps its first.
  const std::string first = "{\"file\":\"a\",\"error\":\"empty file\"}\n";
  const std::string second = "{\"file\":\"b\\u00e9\",\"descriptors\":{\"norm\":[1.5,-2e-3],\"cuboid\":true}}";
  for (std::size_t cut = 0; cut <= second.size(); ++cut) {
    const std::string path = directory.Write("out.jsonl", first + second.substr(0, cut));
    const BatchOutput output(path, true);
    EXPECT_EQ(output.RecordedFiles(), std::unordered_set<std::string>{"a"}) << cut;
    EXPECT_EQ(FileContents(path), first) << cut;
  }
}
