#include <gtest/gtest.h>

#include "log/message_log.h"

namespace velmo {
namespace {

using Lines = std::vector<std::string>;

TEST(MessageLog, AppendPutsTheBlankAfterTheWord) {
    TMessageLog log;
    log.AddMessage("Операции пользователя: ");
    log.AppendMessage("Ф");
    log.AppendMessage("П'");
    log.AddMessage("Запутывание Кубика Вельмо");
    log.AppendMessage(":");
    log.AppendMessage("Ф");
    EXPECT_EQ(log.Lines(), (Lines{"Операции пользователя: Ф П' ", "Запутывание Кубика Вельмо: Ф "}));
}

TEST(MessageLog, EmptyLinesAreKeptAndTheLastCanBeDeleted) {
    TMessageLog log;
    log.AddMessage("");
    log.AddMessage("a");
    log.AddMessage("");
    EXPECT_EQ(log.Lines(), (Lines{"", "a", ""}));
    log.DeleteLastLine();
    EXPECT_EQ(log.Lines(), (Lines{"", "a"}));
    EXPECT_EQ(log.Text(), "\na\n");
}

TEST(MessageLog, LineBreaksInAppendedTextStartNewLines) {
    TMessageLog log;
    log.AddMessage("Блок №1: Ф ");
    log.AppendMessage("\r\n\r\n*** Кубик Вельмо собрать невозможно! ***\r\n\r\n");
    EXPECT_EQ(log.Lines(),
              (Lines{"Блок №1: Ф ", "", "*** Кубик Вельмо собрать невозможно! ***", "", " "}));
    log.AppendMessage("a\nb\rc");
    EXPECT_EQ(log.Lines().back(), "c ");
}

TEST(MessageLog, AddIsAlwaysOneLineAndAppendToAnEmptyLogStartsOne) {
    TMessageLog log;
    log.AppendMessage("Ф");
    log.AddMessage("Выполнение последовательности: Ф\r\n");
    EXPECT_EQ(log.Lines(), (Lines{"Ф ", "Выполнение последовательности: Ф  "}));
}

TEST(MessageLog, EveryWriteTellsTheListener) {
    TMessageLog log;
    int writes = 0;
    std::size_t linesSeen = 0;
    log.SetListener([&] {
        ++writes;
        linesSeen = log.Lines().size();
    });
    log.AddMessage("x");
    log.AppendMessage("y");
    log.AddMessage("z");
    log.DeleteLastLine();
    EXPECT_EQ(writes, 4);
    EXPECT_EQ(linesSeen, 1u);
}

}  // namespace
}  // namespace velmo
