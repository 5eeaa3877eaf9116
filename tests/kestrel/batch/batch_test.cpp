// The kestrel command line and the batch runner, in process.
#include "kestreltest.h"

#include "batch/batchrunner.h"
#include "batch/characterizereport.h"
#include "io/sceneformats.h"

#include <QDir>
#include <QFile>

using namespace kestrel;

// The order of -c and -s actions, a flag without its value and a scene that cannot be opened are
// pinned end to end by the kestrel_batch tests.
TEST(BatchOptions, BadCommandLinesAreRefused)
{
    BatchOptions options;
    QString error;
    EXPECT_FALSE(BatchOptions::Parse({"--bogus"}, &options, &error));
    EXPECT_EQ(error, "unknown option --bogus.");
    EXPECT_FALSE(BatchOptions::Parse({"a.json", "b.json"}, &options, &error));
    EXPECT_EQ(error, "only one scene can be opened (a.json and b.json).");
    ASSERT_TRUE(BatchOptions::Parse({"-h"}, &options, &error));
    EXPECT_TRUE(options.help);
}

class Batch : public HostTest
{
protected:
    int RunBatch(const QStringList& arguments)
    {
        BatchOptions options;
        QString error;
        EXPECT_TRUE(BatchOptions::Parse(arguments, &options, &error)) << qPrintable(error);
        return BatchRunner(host).Run(options);
    }
    QStringList Output() { return host.GetOutputLog().Entries(); }
};

TEST_F(Batch, ScriptFilesRunAndTheLogIsWrittenEvenAfterAnError)
{
    const QString log = QDir::temp().filePath("kestrel_batch_test.log");
    host.ExecuteScript("createNode joint -n Logged");
    EXPECT_EQ(
        RunBatch({"-s", TestData("create_and_rename.ks"), "-s", "/nonexistent.ks", "--log", log}),
        1);
    EXPECT_TRUE(Errors().last().startsWith("Cannot read the script \"/nonexistent.ks\""));
    EXPECT_EQ(Output(), QStringList({"// Result: A", "// Result: B"}));
    QFile written(log);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), "createNode joint -n Logged\n");
    QFile::remove(log);
}

// One table names the scene formats: --help, the file dialogs and the reader dispatch agree.
TEST(SceneFormats, HelpDialogsAndDispatchShareOneTable)
{
    const QString filter = SceneFormats::OpenFilter();
    const QString usage = BatchOptions::Usage();
    for (const SceneFormat& format : SceneFormats::Named()) {
        const QString suffix = QString::fromLatin1(format.suffix);
        EXPECT_TRUE(filter.startsWith("Scenes and skeletons (") &&
                    filter.section(";;", 0, 0).contains("*." + suffix))
            << format.suffix;
        EXPECT_TRUE(usage.contains("." + suffix)) << format.suffix;
        SceneReader reader = SceneReader::Json;
        ASSERT_TRUE(SceneFormats::Find(suffix.toUpper(), &reader)) << format.suffix;
        EXPECT_EQ(reader, format.reader) << format.suffix;
    }
    SceneReader reader = SceneReader::Json;
    EXPECT_TRUE(SceneFormats::Find("obj", &reader)) << "Assimp's other formats";
    EXPECT_EQ(reader, SceneReader::Assimp);
    EXPECT_FALSE(SceneFormats::Find("abc123", &reader));
    EXPECT_FALSE(SceneFormats::Find("", &reader));
    EXPECT_TRUE(filter.endsWith(";;All files (*)"));
}

// A run too short for the clock to measure has no rate, not an infinite or undefined one.
TEST(CharacterizeReportSummary, ARunOfNoMeasurableTimeHasARateOfZero)
{
    CharacterizedFile file;
    file.file = QStringLiteral("a.bvh");
    for (const QVector<CharacterizedFile>& files : {QVector<CharacterizedFile>{}, {file}}) {
        const QJsonValue rate =
            CharacterizeReport::ToJson(files, 0.0)["summary"].toObject()["filesPerSecond"];
        EXPECT_TRUE(rate.isDouble() && rate.toDouble() == 0.0) << files.size();
    }
}
