#include "imaging/resampling/ResampleAxis.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

ResampleAxis::ResampleAxis(int sourceLength, int targetLength)
{
    first_.reserve(size_t(targetLength));
    count_.reserve(size_t(targetLength));
    offset_.reserve(size_t(targetLength));
    pairOffset_.reserve(size_t(targetLength));
    if (targetLength > sourceLength)
        buildLinear(sourceLength, targetLength);
    else
        buildAverage(sourceLength, targetLength);
}

ResampleAxis ResampleAxis::span(int begin, int end, int& sourceStart) const
{
    ResampleAxis part;
    sourceStart = begin < end ? first(begin) : 0;
    for (int t = begin; t < end; ++t)
        sourceStart = std::min(sourceStart, first(t));
    for (int t = begin; t < end; ++t)
        part.addTarget(first(t) - sourceStart, weights(t), count(t));
    return part;
}

int ResampleAxis::sourcesRead() const
{
    int last = 0;
    for (int t = 0; t < length(); ++t)
        last = std::max(last, first(t) + count(t));
    return last;
}

void ResampleAxis::addTarget(int first, const std::vector<double>& shares)
{
    std::vector<int> fixed(shares.size());
    int sum = 0;
    size_t largest = 0;
    for (size_t i = 0; i < shares.size(); ++i) {
        fixed[i] = int(std::lround(shares[i] * kWeightOne));
        sum += fixed[i];
        if (shares[i] > shares[largest])
            largest = i;
    }
    // The weights must sum to exactly one, so a flat area stays exactly flat. A little rounding error goes to the
    // largest weight, which keeps equal weights equal (the row kernels add those up before multiplying). When
    // the error is large (a reduction so strong that each weight is a few units), rounding the running total
    // instead spreads it without ever making a weight negative.
    const int error = kWeightOne - sum;
    if (std::abs(error) * 2 <= fixed[largest]) {
        fixed[largest] += error;
    } else {
        double running = 0;
        int previous = 0;
        for (size_t i = 0; i < shares.size(); ++i) {
            running += shares[i];
            const int next = i + 1 == shares.size() ? kWeightOne : int(std::lround(running * kWeightOne));
            fixed[i] = std::max(0, next - previous);
            previous = std::max(previous, next);
        }
    }
    std::vector<int16_t> narrowed(fixed.begin(), fixed.end());
    addTarget(first, narrowed.data(), int(narrowed.size()));
}

void ResampleAxis::addTarget(int first, const int16_t* weights, int count)
{
    first_.push_back(first);
    count_.push_back(count);
    offset_.push_back(weights_.size());
    weights_.insert(weights_.end(), weights, weights + count);
    pairOffset_.push_back(pairs_.size());
    for (int k = 0; k < count; k += 2) {
        const uint32_t second = k + 1 < count ? uint16_t(weights[k + 1]) : 0;
        pairs_.push_back(int32_t(second << 16 | uint16_t(weights[k])));
    }
}

void ResampleAxis::buildAverage(int sourceLength, int targetLength)
{
    const double span = double(sourceLength) / targetLength;
    std::vector<double> shares;
    for (int t = 0; t < targetLength; ++t) {
        const double start = double(t) * sourceLength / targetLength;
        const double end = double(t + 1) * sourceLength / targetLength;
        const int first = std::min(int(std::floor(start)), sourceLength - 1);
        const int last = std::clamp(int(std::ceil(end)) - 1, first, sourceLength - 1);
        shares.clear();
        for (int s = first; s <= last; ++s)
            shares.push_back(std::max(0.0, std::min(end, s + 1.0) - std::max(start, double(s))) / span);
        addTarget(first, shares);
    }
}

void ResampleAxis::buildLinear(int sourceLength, int targetLength)
{
    for (int t = 0; t < targetLength; ++t) {
        // Pixel centres line up: target centre t + 0.5 sits at source position (t + 0.5) * ratio.
        const double centre = std::clamp((t + 0.5) * sourceLength / targetLength - 0.5, 0.0, sourceLength - 1.0);
        const int left = int(std::floor(centre));
        const double fraction = centre - left;
        if (left >= sourceLength - 1 || fraction <= 0.0)
            addTarget(left, {1.0});
        else
            addTarget(left, {1.0 - fraction, fraction});
    }
}
