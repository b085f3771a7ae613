#include "BatchOutput.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "ReportChecks.h"
#include "TemporaryDirectory.h"

namespace {

TEST(BatchOutput, StartsEmptyUnlessResumingAndAppendsWholeLines) {
  TemporaryDirectory directory;
  const std::string path = directory.Write("out.jsonl", "{\"file\":\"old\"}\n");
  {
    BatchOutput output(path, false);
    EXPECT_TRUE(output.RecordedFiles().empty());
    output.Append("{\"file\":\"a\"}");
  }
  EXPECT_EQ(FileContents(path), "{\"file\":\"a\"}\n");
  {
    BatchOutput output(path, true);
    EXPECT_EQ(output.RecordedFiles(), (std::unordered_set<std::string>{"a"}));
    output.Append("{\"file\":\"b\"}");
  }
  EXPECT_EQ(FileContents(path), "{\"file\":\"a\"}\n{\"file\":\"b\"}\n");
}

TEST(BatchOutput, RefusesToResumeAFileThatIsNotABatchOutput) {
  TemporaryDirectory directory;
  for (const char* content : {"{\"file\":\"a\"}\nnot json\n", "[1,2]\n", "{\"file\":3}\n"}) {
    SCOPED_TRACE(content);
    const std::string path = directory.Write("other.jsonl", content);
    EXPECT_THROW(BatchOutput(path, true), std::runtime_error);
    EXPECT_EQ(FileContents(path), content);
  }
  EXPECT_THROW(BatchOutput(directory.Path("no/such/dir.jsonl"), false), std::runtime_error);
}

TEST(BatchOutput, ThreadsAppendingTogetherNeverInterleaveTheirLines) {
  TemporaryDirectory directory;
  const std::string path = directory.Path("out.jsonl");
  {
    BatchOutput output(path, false);
    std::vector<std::thread> writers;
    for (char name : {'a', 'b', 'c', 'd'})
      writers.emplace_back([&output, name] {
        for (int k = 0; k < 200; ++k) output.Append("{\"file\":\"" + std::string(5000, name) + "\"}");
      });
    for (std::thread& writer : writers) writer.join();
  }
  BatchOutput reread(path, true);
  EXPECT_EQ(reread.RecordedFiles().size(), 4u);
  EXPECT_EQ(FileContents(path).size(), 4u * 200u * (5000u + 12u));
}

}  // namespace
