// What the service makes of a request before it touches the catalog: the route of a path (and the paths it refuses
// however they are spelt), the query parameters' ranges, the bearer token's check, and how an upload is known again.
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ApiError.h"
#include "ApiParameters.h"
#include "ApiRoute.h"
#include "BearerToken.h"
#include "SignedUploads.h"
#include "TemporaryDirectory.h"
#include "UploadedFile.h"

namespace {

using Parameters = std::multimap<std::string, std::string>;

int StatusOf(const std::string& iPath, const std::string& iTarget) {
  try {
    ApiRoute::Of(iPath, iTarget);
    return 200;
  } catch (const ApiError& refused) {
    return refused.Status();
  }
}

int StatusOf(const std::string& iPath) { return StatusOf(iPath, iPath); }

TEST(ServeRequest, RoutesNamePartsByIdOnly) {
  const ApiRoute model = ApiRoute::Of("/api/v1/parts/42/model", "/api/v1/parts/42/model?x=1");
  EXPECT_EQ(model.kind, ApiRoute::Kind::Model);
  EXPECT_EQ(model.id, 42);
  EXPECT_STREQ(model.Method(), "GET");
  EXPECT_STREQ(ApiRoute::Of("/api/v1/search", "/api/v1/search").Method(), "POST");
  EXPECT_FALSE(ApiRoute::Of("/", "/").IsApi());
  EXPECT_FALSE(ApiRoute::Of("/assets/viewer.js", "/assets/viewer.js").IsApi());
  EXPECT_TRUE(ApiRoute::Of("/api/v1/health", "/api/v1/health").IsApi());
  for (const char* id : {"0", "-1", "abc", "1e3", "99999999999999999999", "", "+1"})
    EXPECT_EQ(StatusOf(std::string("/api/v1/parts/") + id + "/neighbours"), 400) << id;
  for (const char* path : {"/api/v1/parts", "/api/v1/parts/1/other", "/api/v2/health", "/index.html", "/api/v1"})
    EXPECT_EQ(StatusOf(path), 404) << path;
}

TEST(ServeRequest, TraversalIsRefusedHoweverSpelt) {
  for (const char* path : {"/../etc/passwd", "/assets/../viewer.js", "/api/v1/parts/1/..", "/./api/v1/health",
                           "/api/v1//health", "/assets/a\\b", "relative", "", "/assets/a\x01"})
    EXPECT_EQ(StatusOf(path), 400) << path;
  // Decoded, these look harmless; the raw target shows what they hid.
  EXPECT_EQ(StatusOf("/assets/../x", "/assets/%2e%2e/x"), 400);
  EXPECT_EQ(StatusOf("/assets/a/b", "/assets/a%2Fb"), 400);
  EXPECT_EQ(StatusOf("/assets/a\\b", "/assets/a%5cb"), 400);
  EXPECT_EQ(StatusOf("/api/v1/health", "/api/v1/health?next=..%2F.."), 200);
}

TEST(ServeRequest, ParametersAreCheckedAgainstTheirRanges) {
  const Parameters none;
  EXPECT_EQ(ApiParameters(none).Count(), 10u);
  EXPECT_FALSE(ApiParameters(none).AnySize());
  EXPECT_DOUBLE_EQ(ApiParameters(none).MaxDistance(), 0.05);
  EXPECT_THROW(ApiParameters(none).Extension(), ApiError);
  EXPECT_EQ(ApiParameters(none).Extension("C:\\models\\part.STEP"), ".STEP");

  const Parameters good = {{"k", "1000"}, {"anySize", "1"}, {"maxDistance", "0"}, {"filename", "../../a.b.stl"}};
  EXPECT_EQ(ApiParameters(good).Count(), 1000u);
  EXPECT_TRUE(ApiParameters(good).AnySize());
  EXPECT_DOUBLE_EQ(ApiParameters(good).MaxDistance(), 0);
  EXPECT_EQ(ApiParameters(good).Extension("ignored.obj"), ".stl");

  for (const char* count : {"0", "1001", "-1", "x", "", "10.5", "0x10"})
    EXPECT_THROW(ApiParameters(Parameters{{"k", count}}).Count(), ApiError) << count;
  for (const char* flag : {"yes", "", "TRUE", "2"})
    EXPECT_THROW(ApiParameters(Parameters{{"anySize", flag}}).AnySize(), ApiError);
  for (const char* distance : {"-0.1", "nan", "inf", "1e999", "", "0.1x"})
    EXPECT_THROW(ApiParameters(Parameters{{"maxDistance", distance}}).MaxDistance(), ApiError) << distance;
  for (const char* name : {"noextension", "a.", "a.st/l", "a.s l", "a.toolongextension", "a.\xc3\xa9"})
    EXPECT_THROW(ApiParameters(Parameters{{"filename", name}}).Extension(), ApiError) << name;
}

TEST(ServeRequest, TheTokenIsTheWholeBearerHeader) {
  EXPECT_TRUE(BearerToken("").Accepts(""));
  EXPECT_TRUE(BearerToken("").Accepts("Bearer anything"));
  const BearerToken token("s3cret");
  EXPECT_TRUE(token.Accepts("Bearer s3cret"));
  for (const char* header :
       {"", "s3cret", "Bearer s3cre", "Bearer s3cretx", "bearer s3cret", "Bearer  s3cret", "Basic s3cret"})
    EXPECT_FALSE(token.Accepts(header)) << header;
}

TEST(ServeRequest, AnUploadIsKnownByItsBytesAndTheLeastRecentIsForgotten) {
  TemporaryDirectory directory;
  UploadedFile upload(directory.Path("upload.stl"));
  ASSERT_TRUE(upload.Write("a", 1));
  ASSERT_TRUE(upload.Write("bc", 2));
  ASSERT_TRUE(upload.Close());
  // SHA-256("abc"), whatever the pieces the bytes came in.
  EXPECT_EQ(upload.Digest(), std::string("\xba\x78\x16\xbf\x8f\x01\xcf\xea\x41\x41\x40\xde\x5d\xae\x22\x23"
                                         "\xb0\x03\x61\xa3\x96\x17\x7a\x9c\xb4\x10\xff\x61\xf2\x00\x15\xad",
                                         32));

  const SignedUploads uploads(2);
  int reads = 0;
  const auto reading = [&reads](const char* iFormat) {
    return [&reads, iFormat] {
      ++reads;
      auto read = std::make_shared<IndexedPart>();
      read->format = iFormat;
      return std::shared_ptr<const IndexedPart>(read);
    };
  };
  uploads.Signed("a", reading("A"));
  uploads.Signed("b", reading("B"));
  EXPECT_EQ(uploads.Signed("a", reading("A again"))->format, "A");  // now the most recent
  uploads.Signed("c", reading("C"));
  EXPECT_EQ(reads, 3);
  EXPECT_EQ(uploads.Signed("b", reading("B again"))->format, "B again");
  EXPECT_EQ(uploads.Signed("c", reading("C again"))->format, "C");
  EXPECT_EQ(reads, 4);

  // A failed read reaches every request that waited for it, and is not kept.
  const auto failing = [&reads]() -> std::shared_ptr<const IndexedPart> {
    ++reads;
    throw ApiError(503, "busy");
  };
  EXPECT_THROW(uploads.Signed("d", failing), ApiError);
  EXPECT_EQ(uploads.Signed("d", reading("D"))->format, "D");
  EXPECT_EQ(reads, 6);
}

TEST(ServeRequest, CopiesOfAnUploadArrivingTogetherAreReadOnce) {
  const SignedUploads uploads(4);
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::atomic<int> reads{0}, started{0};
  const auto slowRead = [&] {
    ++reads;
    released.wait();
    auto read = std::make_shared<IndexedPart>();
    read->format = "STEP";
    return std::shared_ptr<const IndexedPart>(read);
  };
  std::vector<std::thread> requests;
  std::vector<std::string> formats(6);
  for (std::size_t k = 0; k < formats.size(); ++k)
    requests.emplace_back([&, k] {
      ++started;
      formats[k] = uploads.Signed("same", slowRead)->format;
    });
  while (started < static_cast<int>(formats.size())) std::this_thread::yield();
  release.set_value();
  for (std::thread& request : requests) request.join();
  EXPECT_EQ(reads, 1);
  for (const std::string& format : formats) EXPECT_EQ(format, "STEP");
}

}  // namespace
