// Speed of one settings-style document round trip: the tool rewrites and re-reads its XML files
// whole on every operation, so this is the cost of each.
#include "files/settingsdocument.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void SettingsDocumentRoundTrip212(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bones.xml"));
    QStringList bones;
    for (int i = 0; i < 212; ++i)
        bones.append(QStringLiteral("character_joint_%1").arg(i));
    for (auto _ : state) {
        {
            SettingsDocument doc(path);
            doc.SetStringList(QString(), QStringLiteral("bone_correspondance"), bones);
        }
        QStringList read;
        SettingsDocument(path).GetStringList(QString(), QStringLiteral("bone_correspondance"),
                                             read);
        if (read.size() != bones.size()) {
            state.SkipWithError("the list did not survive the round trip");
            break;
        }
        benchmark::DoNotOptimize(read);
    }
}
BENCHMARK(SettingsDocumentRoundTrip212)->Unit(benchmark::kMicrosecond);

} // namespace
