// Throughput of the codec's hot paths over 1 MiB of input, next to memcpy of the same bytes.

#include "bench/datapath/Codec.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr std::size_t InputSize = 1 << 20;

std::vector<std::uint8_t> RandomBytes(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    std::mt19937 random(1);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(random());
    return bytes;
}

// Lines of 0-120 printable characters (plain) or 1-64 hex pairs (hex), each ended by CR LF.
std::string SendBoxText(bool hex) {
    std::mt19937 random(2);
    std::string text;
    std::vector<char> line(64 * 3 + 1);
    while (text.size() < InputSize) {
        if (hex) {
            const auto bytes = RandomBytes(1 + random() % 64);
            const int n = BytesToHexText(bytes.data(), static_cast<int>(bytes.size()), line.data(),
                                         static_cast<int>(line.size()), ' ');
            text.append(line.data(), static_cast<std::size_t>(n));
        } else {
            for (auto n = random() % 121; n > 0; --n)
                text.push_back(static_cast<char>(' ' + random() % 95));
        }
        text += "\r\n";
    }
    text.resize(InputSize);
    return text;
}

void SetThroughput(benchmark::State& state, std::size_t bytes) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(bytes));
}

void BM_Memcpy(benchmark::State& state) {
    const auto input = RandomBytes(InputSize);
    std::vector<std::uint8_t> out(InputSize);
    for (auto _ : state) {
        std::memcpy(out.data(), input.data(), input.size());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    SetThroughput(state, InputSize);
}

void BM_BytesToHexText(benchmark::State& state) {
    const auto input = RandomBytes(InputSize);
    std::vector<char> out(InputSize * 3);
    for (auto _ : state) {
        benchmark::DoNotOptimize(BytesToHexText(input.data(), static_cast<int>(input.size()),
                                                out.data(), static_cast<int>(out.size()), ' '));
        benchmark::ClobberMemory();
    }
    SetThroughput(state, InputSize);
}

void BM_HexTextToBytes(benchmark::State& state) {
    const std::string input = SendBoxText(true);
    std::vector<std::uint8_t> out(input.size());
    for (auto _ : state) {
        benchmark::DoNotOptimize(HexTextToBytes(input, out.data(), -1));
        benchmark::ClobberMemory();
    }
    SetThroughput(state, input.size());
}

void BM_ReadSendGroup(benchmark::State& state) {
    const bool hex = state.range(0) != 0;
    const std::string input = SendBoxText(hex);
    static GroupBuffer buf;
    for (auto _ : state) {
        int pos = 0;
        while (ReadSendGroup(input, pos, buf, hex) > 0)
            benchmark::ClobberMemory();
        benchmark::DoNotOptimize(pos);
    }
    SetThroughput(state, input.size());
}

} // namespace

BENCHMARK(BM_Memcpy);
BENCHMARK(BM_BytesToHexText);
BENCHMARK(BM_HexTextToBytes);
BENCHMARK(BM_ReadSendGroup)->ArgName("hex")->Arg(0)->Arg(1);

BENCHMARK_MAIN();
