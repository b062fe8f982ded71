// Splits a range of rows into one band per core and runs them at once.
#pragma once

#include <functional>

class EffectBands
{
  public:
    // Calls work(begin, end) on consecutive slices of [first, last) in parallel; small ranges (under
    // minRows per slice) run on the calling thread. An exception thrown by a slice is rethrown here.
    static void run(int first, int last, const std::function<void(int, int)>& work, int minRows = 32);

    static int threadCount();
};
