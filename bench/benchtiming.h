#pragma once

#include <QtGlobal>

#include <functional>
#include <vector>

// Timing shared by the benchmarks: medians of repetitions, measured with QElapsedTimer.
namespace BenchTiming {

// Results stored here are not optimised away.
extern volatile qint64 g_sink;
// At most this many repetitions of any measurement (0: as asked); for smoke runs.
extern int g_maxReps;

double Median(std::vector<double> samples);
// Median milliseconds of `work`, with `setup` untimed before each run.
double MedianMs(const std::function<void()> &work, int reps, const std::function<void()> &setup = {});
// Median microseconds of one call of a fast `call`, timed in batches of about 20 ms.
double UsPerCall(const std::function<void()> &call);

} // namespace BenchTiming
