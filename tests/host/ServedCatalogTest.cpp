// The service's catalog over a resident one: matches as `geosig query --json` reports them with their ids, parts
// without a signature answered as unknown, duplicate groups with ids, and commits of another writer picked up by
// Refresh; and the gate its searches pass, first come first served.
#include <gtest/gtest.h>

#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "PerturbedSignatures.h"
#include "ResidentCatalog.h"
#include "SearchGate.h"
#include "ServedCatalog.h"
#include "SignatureCatalog.h"
#include "TemporaryDirectory.h"

namespace {

// iCount parts of 4 families, the first two of one fingerprint, and a part that could not be read.
void Generate(const std::string& iDatabase, std::size_t iCount, const std::string& iPrefix = "/p") {
  PerturbedSignatures copies(PerturbedSignatures::ParametricSeeds(4, 7), 8);
  std::vector<IndexedPart> parts;
  for (std::size_t k = 0; k < iCount; ++k) {
    IndexedPart part;
    part.path = iPrefix + std::to_string(k);
    part.fingerprint = k < 2 ? "twins" : part.path;
    part.options = "generated";
    part.signature = copies.CopyOf(k % 4);
    parts.push_back(std::move(part));
  }
  IndexedPart failed;
  failed.path = iPrefix + "failed";
  failed.error = "the reader crashed";
  parts.push_back(std::move(failed));
  SignatureCatalog(iDatabase, SignatureCatalog::Access::Write).Put(parts);
}

}  // namespace

TEST(ServedCatalog, AnswersAsTheResidentCatalogWithIds) {
  TemporaryDirectory directory;
  const std::string database = directory.Path("served.db");
  Generate(database, 40);
  const ServedCatalog served(database);
  const ResidentCatalog resident(database);
  const SignatureMetric metric(false);
  ASSERT_EQ(served.SignedParts(), 40u);

  const std::int64_t id = resident.Ids()[5];
  const std::optional<Report> neighbours = served.Neighbours(id, 6, metric);
  ASSERT_TRUE(neighbours);
  const std::vector<SignatureMatch> expected = resident.Neighbours(id, 6, metric);
  ASSERT_EQ(neighbours->size(), expected.size());
  for (std::size_t k = 0; k < expected.size(); ++k) {
    const Report& match = (*neighbours)[k];
    EXPECT_EQ(match.at("id").get<std::int64_t>(), expected[k].id);
    EXPECT_EQ(match.at("file").get<std::string>(), resident.PathOf(expected[k].id));
    EXPECT_DOUBLE_EQ(match.at("distance").at("combined").get<double>(), expected[k].distance.combined);
    EXPECT_NE(match.at("id").get<std::int64_t>(), id);
  }
  const Report nearest = served.Nearest(resident.SignatureOf(id), 1, metric);
  ASSERT_EQ(nearest.size(), 1u);
  EXPECT_EQ(nearest[0].at("distance").at("combined").get<double>(), 0.0);

  // The part that failed has a record but no neighbours, nor a file to read; an unknown id has neither.
  const std::optional<std::int64_t> failedId = [&] {
    for (std::int64_t candidate = 1; candidate < 100; ++candidate)
      if (const std::optional<Report> part = served.Part(candidate); part && part->contains("error")) return candidate;
    return std::int64_t(-1);
  }();
  ASSERT_GT(*failedId, 0);
  EXPECT_EQ(served.Part(*failedId)->at("error").get<std::string>(), "the reader crashed");
  EXPECT_FALSE(served.Neighbours(*failedId, 3, metric));
  EXPECT_FALSE(served.FileOf(*failedId));
  EXPECT_FALSE(served.Part(100000));
  EXPECT_FALSE(served.Neighbours(100000, 3, metric));
  EXPECT_EQ(served.Part(id)->at("signature").at("depth").get<unsigned int>(),
            resident.SignatureOf(id).Occupancy().Depth());

  // Identical files by fingerprint; similar parts by family, each member with its id and file.
  // Linked within the distance of part 5's second neighbour: groups of a few parts.
  const double within = expected[1].distance.combined;
  const Report duplicates = served.Duplicates(within, false);
  ASSERT_EQ(duplicates.at("identical").size(), 1u);
  const Report& twins = duplicates.at("identical")[0];
  ASSERT_EQ(twins.size(), 2u);
  EXPECT_EQ(twins[0].at("file").get<std::string>(), "/p0");
  EXPECT_EQ(twins[1].at("file").get<std::string>(), "/p1");
  EXPECT_EQ(resident.PathOf(twins[1].at("id").get<std::int64_t>()), "/p1");
  const std::vector<std::vector<std::int64_t>> similar = resident.Duplicates(within, metric);
  EXPECT_FALSE(similar.empty());
  ASSERT_EQ(duplicates.at("similar").size(), similar.size());
  for (std::size_t g = 0; g < similar.size(); ++g)
    for (std::size_t m = 0; m < similar[g].size(); ++m)
      EXPECT_EQ(duplicates.at("similar")[g][m].at("id").get<std::int64_t>(), similar[g][m]);
}

TEST(ServedCatalog, RefreshTakesInAnotherWritersCommits) {
  TemporaryDirectory directory;
  const std::string database = directory.Path("served.db");
  Generate(database, 12);
  ServedCatalog served(database);
  // Within the distance of the part farthest from part 1, all are linked.
  const double within = served.Neighbours(1, 11, SignatureMetric(false))->back().at("distance").at("combined");
  const auto grouped = [&served, within] {
    const Report duplicates = served.Duplicates(within, false);
    std::size_t members = 0;
    for (const Report& group : duplicates.at("similar")) members += group.size();
    return members;
  };
  const std::size_t before = grouped();

  // Another writer's commit: the new parts are searched after the next look, and the duplicates found again.
  Generate(database, 8, "/q");
  EXPECT_EQ(served.SignedParts(), 12u);
  served.Refresh();
  EXPECT_EQ(served.SignedParts(), 20u);
  EXPECT_EQ(before, 12u);
  EXPECT_EQ(grouped(), 20u);
  served.Refresh();
  EXPECT_EQ(served.SignedParts(), 20u);
}

TEST(SearchGate, LetsItsWidthRunAtOnceAndTheOthersInTheOrderTheyCame) {
  SearchGate gate(2);
  // Two searches hold the gate's two turns until told to finish.
  std::promise<void> finishFirst, finishSecond;
  const auto hold = [&gate](std::promise<void>& ioIn, std::shared_future<void> iFinish) {
    return std::thread([&gate, &ioIn, iFinish] {
      const SearchGate::Pass turn = gate.Enter();
      ioIn.set_value();
      iFinish.wait();
    });
  };
  std::promise<void> firstIn, secondIn;
  std::thread first = hold(firstIn, finishFirst.get_future().share());
  std::thread second = hold(secondIn, finishSecond.get_future().share());
  firstIn.get_future().wait();
  secondIn.get_future().wait();

  // Four more come one after another and wait.
  std::mutex orderLock;
  std::vector<int> order;
  std::vector<std::thread> waiters;
  for (int k = 0; k < 4; ++k) {
    waiters.emplace_back([&, k] {
      const SearchGate::Pass turn = gate.Enter();
      const std::lock_guard<std::mutex> lock(orderLock);
      order.push_back(k);
    });
    while (gate.Waiting() != static_cast<std::size_t>(k) + 1) std::this_thread::yield();
  }
  {
    const std::lock_guard<std::mutex> lock(orderLock);
    EXPECT_TRUE(order.empty());
  }
  // With one turn free they pass it on one at a time, in the order they came.
  finishFirst.set_value();
  first.join();
  for (std::thread& waiter : waiters) waiter.join();
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(gate.Waiting(), 0u);
  finishSecond.set_value();
  second.join();
}
