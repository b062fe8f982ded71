#pragma once
// Runs the jobs of a batch on all the machine's cores, each job on its own (its own workbench, its
// own file), and reports the results in the batch's order, as if the jobs had run one after another.
#include <functional>

class BatchRunner
{
  public:
    template <typename Result> using Job = std::function<Result(int index)>;
    template <typename Result> using Report = std::function<void(int index, const Result& result)>;

    // How many jobs run at once for a batch of `jobs`: one per core, never more than there are jobs.
    static int threadsFor(int jobs);

    // Calls `job` for 0 .. count - 1 on `threads` threads, and `report` on the calling thread for each
    // result in index order, as soon as it and every one before it are done.
    template <typename Result>
    static void run(int count, int threads, const Job<Result>& job, const Report<Result>& report);

  private:
    // The type-free engine: `work(i)` keeps result i; `deliver(i)` reports and drops it.
    static void runIndexed(int count, int threads, const std::function<void(int)>& work,
                           const std::function<void(int)>& deliver);
};

#include <optional>
#include <vector>

template <typename Result>
void BatchRunner::run(int count, int threads, const Job<Result>& job, const Report<Result>& report)
{
    std::vector<std::optional<Result>> results(size_t(count > 0 ? count : 0));
    runIndexed(
        count, threads, [&](int i) { results[size_t(i)] = job(i); },
        [&](int i) {
            report(i, *results[size_t(i)]);
            results[size_t(i)].reset();
        });
}
