// Fixed-point filter taps that map one axis of a picture onto a new length.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class ResampleAxis
{
  public:
    static constexpr int kWeightBits = 14;
    static constexpr int kWeightOne = 1 << kWeightBits;

    // Shrinking averages every source pixel by the exact share of it that each target pixel covers (box filter);
    // enlarging interpolates linearly between the two nearest source pixels; an equal length copies.
    ResampleAxis(int sourceLength, int targetLength);

    // The targets [begin, end) alone, their sources counted from the first source they read, which
    // `sourceStart` receives; the weights are the same as this axis gives them.
    ResampleAxis span(int begin, int end, int& sourceStart) const;
    // How many sources, from the first, the targets read.
    int sourcesRead() const;

    int length() const { return int(first_.size()); }
    int first(int target) const { return first_[std::size_t(target)]; }
    int count(int target) const { return count_[std::size_t(target)]; }
    // The weights of one target pixel, summing to exactly kWeightOne.
    const int16_t* weights(int target) const { return weights_.data() + offset_[std::size_t(target)]; }
    // The same two by two, each pair packed in 32 bits (the first in the low half; an odd last one
    // paired with 0), for kernels that weigh two pixels in one step.
    const int32_t* weightPairs(int target) const { return pairs_.data() + pairOffset_[std::size_t(target)]; }
    int pairCount(int target) const { return (count(target) + 1) / 2; }

  private:
    ResampleAxis() = default;
    void addTarget(int first, const std::vector<double>& shares);
    void addTarget(int first, const int16_t* weights, int count);
    void buildAverage(int sourceLength, int targetLength);
    void buildLinear(int sourceLength, int targetLength);

    std::vector<int> first_;
    std::vector<int> count_;
    std::vector<std::size_t> offset_;
    std::vector<int16_t> weights_;
    std::vector<std::size_t> pairOffset_;
    std::vector<int32_t> pairs_;
};
