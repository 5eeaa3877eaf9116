// The batch runner's dialog answerer, on real Qt dialogs run with exec().
#include "kestreltest.h"
#include "ui/batchdialoganswerer.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLayout>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

using kestrel::BatchDialogAnswerer;

namespace {

// Runs in a fresh working folder, as answers may name files relative to it.
class DialogAnswerer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(QDir::setCurrent(folder.path()));
    }
    void TearDown() override { QDir::setCurrent(previous); }
    void Answer(const QStringList& answers)
    {
        answerer = std::make_unique<BatchDialogAnswerer>(
            answers, [this](const QString& line) { reports << line; },
            [this](const QString& line) { errors << line; });
    }

    static int Ask(QMessageBox::StandardButtons buttons,
                   QMessageBox::StandardButton defaultButton = QMessageBox::NoButton)
    {
        QMessageBox box(QMessageBox::Question, "Bone Already Assigned", "Replace it?\nReally?",
                        buttons);
        if (defaultButton != QMessageBox::NoButton)
            box.setDefaultButton(defaultButton);
        return box.exec();
    }

    // A save dialog like the tool's: two file types and a check box.
    struct SaveDialog
    {
        SaveDialog()
        {
            dialog.setOption(QFileDialog::DontUseNativeDialog);
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setFileMode(QFileDialog::AnyFile);
            dialog.setNameFilters({"Binary big endian (*.bin)", "Binary little endian (*.bin)"});
            limits = new QCheckBox("Save rotation limits", &dialog);
            limits->setChecked(true);
            dialog.layout()->addWidget(limits);
        }
        QFileDialog dialog;
        QCheckBox* limits;
    };

    QTemporaryDir folder;
    const QString previous = QDir::currentPath();
    std::unique_ptr<BatchDialogAnswerer> answerer;
    QStringList reports;
    QStringList errors;
};

TEST_F(DialogAnswerer, MessageBoxesTakeTheAnswersInOrderThenTheirDefault)
{
    Answer({"no", "Maybe", "&Cancel"});
    EXPECT_EQ(Ask(QMessageBox::Yes | QMessageBox::No), QMessageBox::No);
    // An answer naming no button: Escape cancels the box rather than a guess answering it, and
    // the run fails (the message is pinned by tool_answer_fitting_no_button_stops_the_run).
    EXPECT_EQ(Ask(QMessageBox::Yes | QMessageBox::No), QMessageBox::No);
    EXPECT_TRUE(answerer->TakeFailure());
    EXPECT_FALSE(answerer->TakeFailure()); // taken once
    EXPECT_EQ(errors.size(), 1);
    // The next answer goes to the next box.
    EXPECT_EQ(Ask(QMessageBox::Ok | QMessageBox::Cancel), QMessageBox::Cancel);
    EXPECT_EQ(answerer->RemainingAnswers(), 0);
    // Without answers: the default set by the code, else the one Enter would press.
    EXPECT_EQ(Ask(QMessageBox::Yes | QMessageBox::No, QMessageBox::No), QMessageBox::No);
    EXPECT_EQ(Ask(QMessageBox::Yes | QMessageBox::No), QMessageBox::Yes);
    EXPECT_FALSE(answerer->TakeFailure());
    EXPECT_EQ(reports.first(), "\"Bone Already Assigned\": Replace it? Really? -> No");
    EXPECT_TRUE(reports.contains("\"Bone Already Assigned\": Replace it? Really? -> Cancel"));
    EXPECT_EQ(reports.last(), "\"Bone Already Assigned\": Replace it? Really? -> Yes");
}

// An answer is "PATH[::FILE TYPE][::nolimits]", the path relative to the working folder. An
// existing file (the overwrite question takes its default, No) or a missing folder cancels the
// dialog; an answer that cannot be taken also fails the run, naming the dialog and the fault.
TEST_F(DialogAnswerer, FileDialogsTakeAPathFileTypeAndOptions)
{
    QFile taken(folder.filePath("taken.bin"));
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.close();
    const std::pair<QString, QString> cases[] = {
        {"out.bin::little::nolimits", "out.bin little"},
        {folder.filePath("big.bin") + "::big", "big.bin big limits"},
        {"taken.bin", "cancelled"},
        {"nodir/y.bin", "cancelled"}, // not y.bin in the working folder
        {"::big", "failed: \"::big\""},
        {"x.bin::middle", "failed: \"middle\""},
        {"x.bin::little", "failed: \"little\""}, // a type the dialog lacks
    };
    for (const auto& [answer, expected] : cases) {
        Answer({answer});
        SaveDialog save;
        if (answer == "x.bin::little")
            save.dialog.setNameFilters({"Binary big endian (*.bin)"});
        QString outcome = QStringLiteral("cancelled");
        if (save.dialog.exec() == QDialog::Accepted) {
            outcome = QDir(folder.path()).relativeFilePath(save.dialog.selectedFiles().value(0)) +
                      ' ' + save.dialog.selectedNameFilter().section(' ', 1, 1) +
                      (save.limits->isChecked() ? " limits" : "");
        } else if (answerer->TakeFailure() && errors.size() == 1 &&
                   errors[0].startsWith("Dialog \"Save As\" cancelled: ")) {
            outcome = "failed: " + errors[0];
        }
        EXPECT_TRUE(outcome == expected ||
                    (expected.startsWith("failed: ") && outcome.contains(expected.section(' ', 1))))
            << qPrintable(answer) << " -> " << qPrintable(outcome);
        errors.clear();
    }
    SaveDialog unanswered; // the wording of the others: tool_saves_and_applies_templates
    EXPECT_EQ(unanswered.dialog.exec(), QDialog::Rejected);
    EXPECT_EQ(reports.last(), "\"Save As\" -> cancelled, no answer left");
}

// Other dialogs are accepted without taking an answer: the app's tool_saves_and_applies_templates
// answers a save dialog after one.
TEST_F(DialogAnswerer, OtherDialogsAreAcceptedAsProposedWithoutTakingAnAnswer)
{
    // "choose:" picks an entry of the dialog's list first; an entry it lacks cancels it.
    Answer({"choose:DOT_SIDE", "choose:tail"});
    for (const bool fits : {true, false}) {
        QDialog chooser;
        chooser.setWindowTitle("Load Skeleton Definition");
        auto* list = new QComboBox(&chooser);
        list->addItems({"slot_names", "dot_side"});
        EXPECT_EQ(chooser.exec(), fits ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_EQ(list->currentIndex(), fits ? 1 : 0);
    }
    EXPECT_EQ(reports.last(), "\"Load Skeleton Definition\" -> dot_side");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("\"tail\"")) << qPrintable(errors[0]);
    reports.clear();

    // A modeless window is left alone.
    QDialog modeless;
    modeless.show();
    bool stillOpen = false;
    QTimer::singleShot(0, [&] { stillOpen = modeless.isVisible(); });
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(reports.isEmpty());
}

TEST_F(DialogAnswerer, GoneAnswererLeavesDialogsToTheUser)
{
    Answer({"No"});
    answerer.reset();
    QMessageBox box(QMessageBox::Question, "t", "x", QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    // Close it ourselves after the answerer would have acted: its answer must not come.
    QTimer::singleShot(20, &box, [&box] { box.done(42); });
    EXPECT_EQ(box.exec(), 42);
    EXPECT_TRUE(reports.isEmpty());
}

} // namespace
