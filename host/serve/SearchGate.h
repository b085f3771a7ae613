#pragma once
// Lets at most a given number of searches run at once; the others wait their turn, first come
// first served.
//
// A search is a few milliseconds of one core's work. Run all at once, the many requests of a
// busy service share the cores in slices and every one of them takes as long as the slowest;
// run as many at a time as there are cores, each runs to its end and the others wait in the
// order they came, which no plain semaphore promises. A finished search hands its turn to the
// first waiting one alone, so that dozens of waiting requests are not woken to find the turn
// is not theirs.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>

class SearchGate {
 public:
  // Holds a turn from Enter until it is destroyed.
  class Pass {
   public:
    explicit Pass(SearchGate& ioGate) : _gate(ioGate) {}
    ~Pass() { _gate.Leave(); }
    Pass(const Pass&) = delete;
    Pass& operator=(const Pass&) = delete;

   private:
    SearchGate& _gate;
  };

  // At least one search at a time.
  explicit SearchGate(unsigned int iWidth);

  // Waits for this caller's turn.
  [[nodiscard]] Pass Enter();
  // How many wait for their turn.
  std::size_t Waiting() const;

 private:
  struct Waiter {
    std::condition_variable turn;
    bool admitted = false;
  };

  void Leave();

  const unsigned int _width;
  mutable std::mutex _mutex;
  unsigned int _running = 0;
  std::deque<Waiter*> _waiting;  // in the order they came
};
