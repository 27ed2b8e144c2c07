#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace bench
{

/// What one run cost, measured on a child process so that each run starts clean and its
/// peak memory is its own.
struct RunCost
{
    double wall = 0;   ///< seconds
    double cpu = 0;    ///< user + system seconds
    long maxRssKb = 0; ///< peak resident memory
};

inline double seconds(const timeval& tv)
{
    return static_cast<double>(tv.tv_sec) + static_cast<double>(tv.tv_usec) / 1e6;
}

/// Runs `work` in a forked child and measures it; the child's exit status must be 0.
inline RunCost measureChild(const std::function<int()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0)
        _exit(work());
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "benchmark run failed (status %d)\n", status);
        std::exit(1);
    }
    return {std::chrono::duration<double>(end - start).count(), seconds(usage.ru_utime) + seconds(usage.ru_stime),
            usage.ru_maxrss};
}

/// Runs a shell command in a child and measures it.
inline RunCost measureCommand(const std::string& command)
{
    return measureChild([&] {
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        return 127;
    });
}

inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

/// Several named contenders, run interleaved round after round, reported by median.
class Comparison
{
public:
    void add(std::string name, std::function<RunCost()> run)
    {
        m_entries.push_back({std::move(name), std::move(run), {}});
    }
    void run(int rounds)
    {
        for (int r = 0; r < rounds; ++r)
            for (auto& e : m_entries)
                e.costs.push_back(e.run());
    }
    RunCost medianOf(const std::string& name) const
    {
        for (const auto& e : m_entries)
            if (e.name == name) {
                std::vector<double> wall, cpu, rss;
                for (const auto& c : e.costs) {
                    wall.push_back(c.wall);
                    cpu.push_back(c.cpu);
                    rss.push_back(static_cast<double>(c.maxRssKb));
                }
                return {median(wall), median(cpu), static_cast<long>(median(rss))};
            }
        return {};
    }
    void print() const
    {
        std::printf("%-34s %10s %10s %12s\n", "contender (median)", "wall s", "user+sys s", "peak RSS KiB");
        for (const auto& e : m_entries) {
            const RunCost m = medianOf(e.name);
            std::printf("%-34s %10.3f %10.3f %12ld\n", e.name.c_str(), m.wall, m.cpu, m.maxRssKb);
        }
    }

private:
    struct Entry
    {
        std::string name;
        std::function<RunCost()> run;
        std::vector<RunCost> costs;
    };
    std::vector<Entry> m_entries;
};

} // namespace bench
