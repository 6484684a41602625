// Times the eight figures the client window asks for after every change, and sorting the work
// list, over documents of growing size built in memory.

#include "Constants.h"
#include "MyDocument.h"
#include "PieceWork.h"
#include "SettingsStore.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <memory>
#include <random>

namespace {

// A mix like the one of real files: every tenth entry an expense (every second of those taxable),
// every third paid, every seventh session with a quarter hour of down time.
std::unique_ptr<MyDocument> makeDocument(int count)
{
    auto document = std::make_unique<MyDocument>();
    document->setRate(125);
    document->setTaxRate(5.875f);
    document->setEquityPercent(10);
    document->setShareCost(800);
    document->setTaxable(true);

    const float rates[] = {85, 100, 125, 150};
    QDateTime start(QDate(2015, 1, 5), QTime(9, 0));
    WorkList list;
    list.reserve(count);
    for (int index = 0; index < count; ++index) {
        start = start.addSecs(60 * (30 + index % 571));
        std::shared_ptr<PieceWork> work;
        if (index % 10 == 9) {
            work = PieceWork::initLineItem();
            work->setRate(5 + static_cast<float>(index % 19) * 10.25f);
            work->setTaxable(index % 20 == 19);
            work->setStartTime(start);
        } else {
            work = PieceWork::init();
            work->setStartTime(start);
            work->setEndTime(start.addSecs(60 * (15 + index % 466)));
            work->setRate(rates[index % 4]);
            if (index % 7 == 0)
                work->setDownTime(0.25);
        }
        work->setPaid(index % 3 == 0);
        work->setWorkDescription(QStringLiteral("Task %1 for the client").arg(index % 997));
        list.append(work);
    }
    document->setWorkList(list);
    return document;
}

// Built once per size; cleared at the end of main, while the application object still exists.
std::map<int, std::unique_ptr<MyDocument>>& documents()
{
    static std::map<int, std::unique_ptr<MyDocument>> built;
    return built;
}

MyDocument& documentOf(int count)
{
    auto& document = documents()[count];
    if (!document)
        document = makeDocument(count);
    return *document;
}

void windowFigures(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const MyDocument& document = documentOf(count);
    for (auto _ : state) {
        benchmark::DoNotOptimize(document.total(true));
        benchmark::DoNotOptimize(document.taxableAmount(true));
        benchmark::DoNotOptimize(document.grandTotal(true));
        benchmark::DoNotOptimize(document.amountPaid());
        benchmark::DoNotOptimize(document.cashOwed(true));
        benchmark::DoNotOptimize(document.cashEarned(true));
        benchmark::DoNotOptimize(document.equityEarned(true));
        benchmark::DoNotOptimize(document.sharesEarned(true));
    }
    state.SetItemsProcessed(state.iterations() * count);
}

BENCHMARK(windowFigures)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Sorting the whole work list by a column, as a click on a table header does, from a shuffled order.
void sortWorkList(benchmark::State& state, const QString& column)
{
    const int count = static_cast<int>(state.range(0));
    MyDocument& document = documentOf(count);
    WorkList shuffled = document.workList();
    std::mt19937 random(7);
    std::shuffle(shuffled.begin(), shuffled.end(), random);
    document.setSortColumn(column);
    for (auto _ : state) {
        state.PauseTiming();
        WorkList list = shuffled;
        state.ResumeTiming();
        document.sort(list);
        benchmark::DoNotOptimize(list.data());
    }
    document.setSortColumn(QString());
    state.SetItemsProcessed(state.iterations() * count);
}

BENCHMARK_CAPTURE(sortWorkList, date, QStringLiteral("DATE"))->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(sortWorkList, description, QStringLiteral("DESCRIPTION"))->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(sortWorkList, time, QStringLiteral("TIME"))->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(sortWorkList, rate, QStringLiteral("RATE"))->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(sortWorkList, amount, QStringLiteral("AMOUNT"))->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    // Never the user's own settings: a throw-away file, and the tax setting for this run only.
    QTemporaryDir folder;
    qputenv("TALLYWICK_SETTINGS", folder.filePath(QStringLiteral("settings.json")).toUtf8());
    QCoreApplication application(argc, argv);
    SettingsStore::shared().setOverride(TaxGrossIncome, QStringLiteral("YES"));

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    documents().clear();
    return 0;
}
