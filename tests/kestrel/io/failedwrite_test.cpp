// Writes that fail (a full disk, a file-size limit) keep the old file and are reported.
#include "kestreltest.h"

#include "batch/batchrunner.h"
#include "brokendisk.h"

using namespace kestrel;

namespace {

const QByteArray kOldBytes = "{\"old\": true}\n";

class FailedWrite : public HostTest, public ::testing::WithParamInterface<WriteFailure>
{
protected:
    void SetUp() override
    {
        if (!disk.Unavailable().isEmpty())
            GTEST_SKIP() << qPrintable(disk.Unavailable());
        ASSERT_TRUE(disk.Put("old.json", kOldBytes));
        RunOk("createNode joint -n Hips; createNode joint -n Spine -p Hips");
    }

    // The old file is whole and nothing was left beside it.
    void ExpectOldFileKept()
    {
        EXPECT_EQ(disk.Read("old.json"), kOldBytes);
        EXPECT_EQ(disk.Files(), QStringList{"old.json"});
    }

    BrokenDisk disk{GetParam()};
};

} // namespace

TEST_P(FailedWrite, SaveSceneKeepsTheOldSceneAndSaysWhy)
{
    const QString path = disk.FilePath("old.json");
    disk.Break();
    const QString error = RunFails(QString("saveScene \"%1\"").arg(path));
    disk.Mend();
    EXPECT_TRUE(error.startsWith(QString("Cannot write the scene file \"%1\": ").arg(path)))
        << qPrintable(error);
    EXPECT_FALSE(error.endsWith(": ")) << "the reason is missing";
    ExpectOldFileKept();
    EXPECT_TRUE(host.GetOutputLog().Entries().isEmpty());

    // The same save goes through once the disk takes writes again.
    RunOk(QString("saveScene \"%1\"").arg(path));
    EXPECT_TRUE(disk.Read("old.json").contains("\"Spine\""));
}

TEST_P(FailedWrite, BatchSaveSceneExitsWithAnErrorAndTheLogFileStaysAsItWas)
{
    ASSERT_TRUE(disk.Put("run.log", "old log\n"));
    host.ExecuteScript("print 1"); // the log has something to write
    BatchOptions options;
    QString error;
    ASSERT_TRUE(
        BatchOptions::Parse({"-c", QString("saveScene \"%1\"").arg(disk.FilePath("old.json")),
                             "--log", disk.FilePath("run.log")},
                            &options, &error));
    disk.Break();
    const int exitCode = BatchRunner(host).Run(options);
    disk.Mend();
    EXPECT_EQ(exitCode, 1);
    EXPECT_EQ(disk.Read("old.json"), kOldBytes);
    EXPECT_EQ(disk.Read("run.log"), "old log\n");
    ASSERT_EQ(Errors().size(), 2);
    EXPECT_TRUE(
        Errors().last().startsWith(QString("Cannot write \"%1\"").arg(disk.FilePath("run.log"))));
}

INSTANTIATE_TEST_SUITE_P(Disk, FailedWrite, BothWriteFailures(), WriteFailureName);
