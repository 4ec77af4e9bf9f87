// Decoding and parsing the shipped skin, as the main window does while it
// is built.

#include "skin/ShippedSkin.h"
#include "skin/SkinData.h"
#include "skin/SkinReader.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QGuiApplication>

namespace {
QByteArray ShippedSkinFile()
{
    InitShippedSkinResource();
    QFile f(kShippedSkinResource);
    f.open(QIODevice::ReadOnly);
    return f.readAll().mid(4);
}

void BM_DecodeShippedSkin(benchmark::State& state)
{
    const QByteArray skin = ShippedSkinFile();
    for (auto _ : state) {
        TSkinReader reader;
        benchmark::DoNotOptimize(reader.Load(skin));
    }
    state.SetBytesProcessed(state.iterations() * 207000);
}
BENCHMARK(BM_DecodeShippedSkin)->Unit(benchmark::kMillisecond);

void BM_ParseShippedSkin(benchmark::State& state)
{
    TSkinReader reader;
    reader.Load(ShippedSkinFile());
    for (auto _ : state) {
        TSkinData skin;
        skin.ParseSkin(reader);
        benchmark::DoNotOptimize(skin.Ready());
    }
}
BENCHMARK(BM_ParseShippedSkin)->Unit(benchmark::kMillisecond);

void BM_LoadShippedSkin(benchmark::State& state)
{
    for (auto _ : state) {
        TSkinData skin;
        benchmark::DoNotOptimize(LoadShippedSkin(skin));
    }
}
BENCHMARK(BM_LoadShippedSkin)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
