#include "benchtiming.h"

#include <QElapsedTimer>

#include <algorithm>

namespace BenchTiming {

volatile qint64 g_sink = 0;
int g_maxReps = 0;

double Median(std::vector<double> samples)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

double MedianMs(const std::function<void()> &work, int reps, const std::function<void()> &setup)
{
    std::vector<double> samples;
    const int count = g_maxReps > 0 ? std::min(reps, g_maxReps) : reps;
    for (int i = 0; i < count; ++i) {
        if (setup)
            setup();
        QElapsedTimer timer;
        timer.start();
        work();
        samples.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return Median(samples);
}

double UsPerCall(const std::function<void()> &call)
{
    qint64 batch = 1;
    for (QElapsedTimer timer;; batch *= 2) {
        timer.start();
        for (qint64 i = 0; i < batch; ++i)
            call();
        if (timer.elapsed() >= 20)
            break;
    }
    return MedianMs([&]() {
               for (qint64 i = 0; i < batch; ++i)
                   call();
           }, 9) * 1000.0 / double(batch);
}

} // namespace BenchTiming
