#include "logging/createlogdatabase.h"
#include "tests/support/fakes.h"
#include "tests/support/logmaker.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace qmx;

namespace {

class CreateLogDatabaseTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    int ended = 0;
    std::function<void()> endProgram = [this] { ++ended; };
};

TEST_F(CreateLogDatabaseTest, ExistingFileShowsItsPathAndCancelEndsTheProgram) {
    const QString path = dir.filePath("Test.qmx");
    QFile(path).open(QIODevice::WriteOnly);
    EXPECT_FALSE(CreateLogDatabase(path, dialogs, endProgram));
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].title, "Database Creation Error!");
    EXPECT_EQ(dialogs.boxes[0].buttons, Dialogs::Buttons::RetryCancel);
    EXPECT_EQ(dialogs.boxes[0].text,
              "\r\nDatabase Already Exists!\r\n\r\nRemove " + path +
                  ",\r\nor choose another Name....\r\n\r\nIf the error has been corrected, "
                  "click 'Retry',\r\notherwise click 'Cancel' to Exit Program.");
    EXPECT_EQ(ended, 1);
}

TEST_F(CreateLogDatabaseTest, MissingFolderNamesTheFullPath) {
    const QString path = dir.filePath("gone/Test.qmx");
    EXPECT_FALSE(CreateLogDatabase(path, dialogs, endProgram));
    EXPECT_TRUE(dialogs.boxes[0].text.startsWith("\r\nPath Doesn't Exist! - " + path +
                                                 "\r\n\r\nCheck Path, and/or create the Parent "
                                                 "Folder manually....\r\n\r\n"));
}

TEST_F(CreateLogDatabaseTest, RetryWithoutChangeAsksAgainAndRetryAfterTheFixSucceeds) {
    const QString path = dir.filePath("Test.qmx");
    QFile(path).open(QIODevice::WriteOnly);
    dialogs.answers = {Dialogs::Answer::Retry, Dialogs::Answer::Retry};
    // The user removes the file while the second box is open.
    dialogs.whileBoxIsOpen = [&] {
        if (dialogs.boxes.size() == 2) {
            QFile::remove(path);
        }
    };
    EXPECT_TRUE(CreateLogDatabase(path, dialogs, endProgram));
    EXPECT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[0].text, dialogs.boxes[1].text);
    EXPECT_EQ(ended, 0);
    EXPECT_GT(QFile(path).size(), 0);
}

// A disk that takes the new file but none of its contents: Cancel leaves no empty file to
// block the next run, and Retry once there is room makes a whole log.
TEST_F(CreateLogDatabaseTest, AFullDiskLeavesNoHalfMadeFile) {
    for (const Dialogs::Answer answer : {Dialogs::Answer::Cancel, Dialogs::Answer::Retry}) {
        const QString path = dir.filePath(answer == Dialogs::Answer::Retry ? "r.qmx" : "c.qmx");
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit none = old;
        none.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &none);
        dialogs.boxes.clear();
        dialogs.answers = {answer};
        dialogs.whileBoxIsOpen = [&] { setrlimit(RLIMIT_FSIZE, &old); };
        const bool made = CreateLogDatabase(path, dialogs, endProgram);
        setrlimit(RLIMIT_FSIZE, &old);
        ASSERT_FALSE(dialogs.boxes.empty());
        EXPECT_TRUE(dialogs.boxes[0].text.startsWith("\r\nDisk Full!"))
            << qPrintable(dialogs.boxes[0].text);
        EXPECT_EQ(made, answer == Dialogs::Answer::Retry);
        if (made) {
            EXPECT_TRUE(ReadWholeLog(path).samples.empty()) << "a whole, empty log";
        } else {
            EXPECT_FALSE(QFile::exists(path));
        }
    }
}

} // namespace
