// Times opening and saving client documents of 1,000, 10,000 and 100,000 entries (XML files from
// generate_documents.py). With --open-only PATH it opens one document, keeps it and prints the
// peak memory of the process, for bench/run to set beside its limit.

#include "Constants.h"
#include "MyDocument.h"
#include "SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

namespace {

const int Sizes[] = {1000, 10000, 100000};

// The folder of the generated documents: TALLYWICK_BENCH_DOCUMENTS, or one made for this run.
QString& documentFolder()
{
    static QString folder;
    return folder;
}

QString documentPath(int count)
{
    return QDir(documentFolder()).filePath(QStringLiteral("work-%1.tickSheet").arg(count));
}

bool generateDocuments(const QString& folder)
{
    QStringList arguments {QStringLiteral(TALLYWICK_SOURCE_DIR "/bench/generate_documents.py"), folder};
    for (int count : Sizes)
        arguments << QString::number(count);
    QProcess generator;
    generator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    generator.start(QStringLiteral("python3"), arguments);
    return generator.waitForFinished(-1) && generator.exitStatus() == QProcess::NormalExit && generator.exitCode() == 0;
}

std::unique_ptr<MyDocument> openDocument(const QString& path)
{
    auto document = std::make_unique<MyDocument>();
    if (!document->readFromFile(path, DocumentType)) {
        std::fprintf(stderr, "%s\n", qPrintable(document->errorString()));
        return nullptr;
    }
    return document;
}

// Opened once per size for the saving benchmark.
std::map<int, std::unique_ptr<MyDocument>>& openDocuments()
{
    static std::map<int, std::unique_ptr<MyDocument>> documents;
    return documents;
}

// Reading the file, parsing it and building every entry; closing the document is not timed.
void loadDocument(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const QString path = documentPath(count);
    for (auto _ : state) {
        std::unique_ptr<MyDocument> document = openDocument(path);
        if (!document || document->workList().size() != count) {
            state.SkipWithError("the document did not open");
            return;
        }
        state.PauseTiming();
        document.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * count);
}

// Building the dictionary, writing the XML and the file (atomically, as a save does).
void saveDocument(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    auto& document = openDocuments()[count];
    if (!document)
        document = openDocument(documentPath(count));
    if (!document) {
        state.SkipWithError("the document did not open");
        return;
    }
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("saved.tickSheet"));
    for (auto _ : state) {
        if (!document->saveDocumentTo(target)) {
            state.SkipWithError("the document was not saved");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * count);
}

BENCHMARK(loadDocument)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(saveDocument)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

long peakMemoryKilobytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int openOnly(const QString& path)
{
    const std::unique_ptr<MyDocument> document = openDocument(path);
    if (!document)
        return 1;
    std::printf("entries %lld\npeak_kb %ld\n", static_cast<long long>(document->workList().size()), peakMemoryKilobytes());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // Never the user's own settings; the files are written as XML, like the reference's.
    QTemporaryDir settingsFolder;
    qputenv("TALLYWICK_SETTINGS", settingsFolder.filePath(QStringLiteral("settings.json")).toUtf8());
    QCoreApplication application(argc, argv);
    SettingsStore::shared().setOverride(WriteXMLFormat, QStringLiteral("YES"));

    if (argc == 3 && std::strcmp(argv[1], "--open-only") == 0)
        return openOnly(QString::fromLocal8Bit(argv[2]));

    QTemporaryDir generated;
    documentFolder() = qEnvironmentVariable("TALLYWICK_BENCH_DOCUMENTS");
    if (documentFolder().isEmpty()) {
        documentFolder() = generated.path();
        if (!generateDocuments(documentFolder()))
            return 1;
    }

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    openDocuments().clear();
    return 0;
}
