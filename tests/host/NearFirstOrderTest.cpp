#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <thread>

#include "NearFirstOrder.h"

TEST(NearFirstOrder, TakesWhatWasFoundNearFirstAndEveryPartOnce) {
  NearFirstOrder order({10, 11, 12, 13, 14, 15});
  EXPECT_EQ(order.Take(), 0u);
  order.Found({14, 99, 12});  // the nearest first; 99 is not in the run
  EXPECT_EQ(order.Take(), 4u);
  order.Found({10, 13});  // 10 is taken already
  EXPECT_EQ(order.Take(), 3u);
  EXPECT_EQ(order.Take(), 2u);
  EXPECT_EQ(order.Take(), 1u);
  order.Found({12});
  EXPECT_EQ(order.Take(), 5u);
  EXPECT_THROW(order.Take(), std::logic_error);

  // Threads taking and finding at once still take each part once.
  std::vector<std::int64_t> ids(2000);
  for (std::size_t k = 0; k < ids.size(); ++k) ids[k] = static_cast<std::int64_t>(3 * k);
  NearFirstOrder shared(ids);
  std::vector<std::vector<std::size_t>> taken(4);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < taken.size(); ++t)
    threads.emplace_back([&, t] {
      for (std::size_t k = 0; k < ids.size() / taken.size(); ++k) {
        const std::size_t position = shared.Take();
        taken[t].push_back(position);
        shared.Found({ids[(position * 7 + 3) % ids.size()], ids[(position * 13 + 1) % ids.size()]});
      }
    });
  for (std::thread& thread : threads) thread.join();
  std::vector<std::size_t> all;
  for (const auto& some : taken) all.insert(all.end(), some.begin(), some.end());
  std::sort(all.begin(), all.end());
  for (std::size_t k = 0; k < all.size(); ++k) ASSERT_EQ(all[k], k);
}
