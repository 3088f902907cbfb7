// Microbenchmarks of the per-point work of copy writing.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "commands.hpp"
#include "number_text.hpp"
#include "parse_number.hpp"
#include "point_line.hpp"
#include "text_writer.hpp"

namespace scene {

namespace {

std::vector<double> Values(size_t count) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> d(-500, 500);
    std::vector<double> values(count);
    for (double& v : values) v = d(random);
    return values;
}

// Argument 1: values rounded to four places, as model coordinates usually are; argument 0:
// full-precision values (16-17 significant digits), as turned points are.
void BM_NumberText(benchmark::State& state) {
    std::vector<double> values = Values(4096);
    if (state.range(0) == 1)
        for (double& v : values) v = std::round(v * 10000) / 10000;
    std::string out;
    size_t i = 0;
    for (auto _ : state) {
        out.clear();
        AppendNumberText(out, values[i++ & 4095]);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_NumberText)->Arg(1)->Arg(0);

void BM_ParseNumber(benchmark::State& state) {
    std::vector<std::string> texts;
    for (double v : Values(4096)) texts.push_back(NumberText(std::round(v * 10000) / 10000));
    size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(TryParseNumber(texts[i++ & 4095]));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ParseNumber);

void BM_PlacePoint(benchmark::State& state) {
    Placement p;
    p.X = 10;
    p.Y = 2;
    p.Z = 3;
    p.Orientation = 30;
    p.AngleZ = 10;
    p.AngleX = 5;
    PlacementTurn turn(p);
    std::vector<double> values = Values(4096);
    size_t i = 0;
    for (auto _ : state) {
        size_t k = i++ & 4093;
        benchmark::DoNotOptimize(PlacePoint(turn, {{values[k], values[k + 1], values[k + 2]}}));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PlacePoint);

// The i-th line of a model's point list: three of `values`, rounded to four places as model
// coordinates usually are, behind a model's blanks, and `end` behind them.
std::string PointLineText(const std::vector<double>& values, size_t i, std::string_view end) {
    std::string line = "            ";
    for (size_t k = 0; k < 3; ++k) {
        AppendNumberText(line, std::round(values[3 * i + k] * 10000) / 10000);
        if (k < 2) line += ' ';
    }
    return line.append(end);
}

PlacementTurn BenchTurn() {
    Placement p;
    p.X = 10;
    p.Orientation = 30;
    p.AngleZ = 10;
    p.AngleX = 5;
    return PlacementTurn(p);
}

// One point line read, placed and written in place; items are point lines.
void BM_PointLine(benchmark::State& state) {
    std::vector<std::string> lines;
    const std::vector<double> values = Values(3 * 4096);
    for (size_t i = 0; i < 4096; ++i) lines.push_back(PointLineText(values, i, ","));
    const PlacementTurn turn = BenchTurn();
    char out[kPointLineMax];
    size_t i = 0;
    for (auto _ : state) {
        bool ok;
        benchmark::DoNotOptimize(WritePlacedPointLine(lines[i++ & 4095], turn, out, ok));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PointLine);

// The point lines of a read buffer placed where they stand, as a copy places them; items are
// point lines.
void BM_PlaceUsualPointLines(benchmark::State& state) {
    const std::vector<double> values = Values(3 * 4096);
    std::string buffer;
    for (size_t i = 0; i < 4096; ++i) buffer += PointLineText(values, i, ",\r\n");
    buffer += "]\r\n";
    const PlacementTurn turn = BenchTurn();
    std::vector<char> text(4097 * kPointLineMax);
    for (auto _ : state) {
        char* out = text.data();
        int overflowed = 0;
        const char* end = buffer.data() + buffer.size();
        benchmark::DoNotOptimize(PlaceUsualPointLines(buffer.data(), end, end, turn, out,
                                                      text.data() + text.size(), overflowed));
    }
    state.SetItemsProcessed(state.iterations() * 4096);
}
BENCHMARK(BM_PlaceUsualPointLines);

// WriteCopy of a model of 100,000 point lines; items are point lines.
void BM_WriteCopy(benchmark::State& state) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / "scene-micro-bench";
    fs::create_directories(dir);
    std::string model = (dir / "model.wrl").string();
    const size_t points = 100000;
    {
        RunFiles files(platform::SystemFileSystem());
        TextFileWriter out(files, model, platform::Durability::Replaceable);
        out.WriteTextLine(std::string(kConverterHeader));
        out.WriteTextLine("      DEF VRL_model_vrl Transform {");
        out.WriteTextLine("coord DEF COORD Coordinate {");
        out.WriteTextLine("point [");
        const std::vector<double> values = Values(3 * points);
        for (size_t i = 0; i < points; ++i) out.WriteTextLine(PointLineText(values, i, ","));
        out.WriteTextLine("]");
        out.Commit();
    }
    Placement p;
    p.X = 10;
    p.Orientation = 30;
    p.AngleZ = 10;
    p.AngleX = 5;
    for (auto _ : state) {
        StepFailures failures;
        WriteCopy(model, (dir / "copy.wrl").string(), p, "model_1", failures);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(points));
    fs::remove_all(dir);
}
BENCHMARK(BM_WriteCopy)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace scene
