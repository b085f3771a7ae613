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
