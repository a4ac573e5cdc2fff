#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <random>

#include "log/message_log.h"
#include "platform/text.h"
#include "test_support.h"

namespace velmo {
namespace {

using testing::Words;

// Executes s as a nested group would run (turns logged), returning the turns made.
std::vector<std::string> TurnsOf(std::string_view s) {
    HeadlessHost host;
    host.SetAutoTurnDuration(0);
    TVelmo cube(host);
    host.Log().AddMessage("");
    cube.LogTurns = true;
    cube.ExecuteMoveString(s, false);
    return Words(host.Log().Lines().back());
}

using V = std::vector<std::string>;

TEST(Normalize, WorkedExamples) {
    EXPECT_EQ(TVelmo::NormalizeMoveString("((Ф' В Ф В') (В' П В П'))2 (В Ф' В' Ф)"),
              "((Ф'1В1Ф1В'1)1(В'1П1В1П'1)1)2(В1Ф'1В'1Ф1)1");
    EXPECT_EQ(TVelmo::NormalizeMoveString("сп'"), "СП'1");
    EXPECT_EQ(TVelmo::NormalizeMoveString("Ф 2"), "Ф2");
    EXPECT_EQ(TVelmo::NormalizeMoveString("(Ф"), "(Ф1)1");
    EXPECT_EQ(TVelmo::NormalizeMoveString("((Ф"), "((Ф1)1)1");
    EXPECT_EQ(TVelmo::NormalizeMoveString("("), "()1");
    EXPECT_EQ(TVelmo::NormalizeMoveString("()"), "()1");
    EXPECT_EQ(TVelmo::NormalizeMoveString("\t Ф2' \r\n"), "Ф2'1");
    EXPECT_EQ(TVelmo::NormalizeMoveString("ов'ёСЛ"), "");
    EXPECT_EQ(TVelmo::NormalizeMoveString("ов' сл"), "ОВ'1СЛ1");
}

TEST(Normalize, IncorrectStrings) {
    for (const char* s : {"", "   ", "'Ф", "Ф''", "Ф)", "(2Ф)", "(')", "Ф12", "Ф0", "С", "О",
                          "СФ С", "С'", "О2", "Х", "R", "Ф\tВ", "2", "Ф Ё", "\xD0", "Ф\xFF"})
        EXPECT_EQ(TVelmo::NormalizeMoveString(s), "") << s;
    EXPECT_FALSE(TVelmo::IsValidMoveString("Ф)"));
    EXPECT_TRUE(TVelmo::IsValidMoveString("СЛ"));
}

TEST(Execute, WorkedExamples) {
    EXPECT_EQ(TurnsOf("((Ф' В Ф В') (В' П В П'))2 (В Ф' В' Ф)"),
              (V{"Ф'", "В", "Ф", "В'", "В'", "П", "В", "П'", "Ф'", "В", "Ф", "В'", "В'", "П", "В",
                 "П'", "В", "Ф'", "В'", "Ф"}));
    EXPECT_EQ(TurnsOf("сп'"), V{"Сп'"});
    EXPECT_EQ(TurnsOf("ф"), V{"Ф"});
    EXPECT_EQ(TurnsOf("Ф 2"), (V{"Ф", "Ф"}));
    EXPECT_EQ(TurnsOf("В2(Л)3"), (V{"В", "В", "Л", "Л", "Л"}));
    EXPECT_EQ(TurnsOf("(Ф"), V{"Ф"});
    EXPECT_EQ(TurnsOf("((Ф"), V{"Ф"});
    EXPECT_EQ(TurnsOf("("), V{});
    EXPECT_EQ(TurnsOf("()"), V{});
    EXPECT_EQ(TurnsOf("СЛ"), V{});
    EXPECT_EQ(TurnsOf("СПП"), (V{"Сп", "П"}));
    EXPECT_EQ(TurnsOf("Ф2'"), (V{"Ф", "Ф"}));
    EXPECT_EQ(TurnsOf("(Ф)'"), V{"Ф"});
    EXPECT_EQ(TurnsOf("ОВ' оф2"), (V{"Ов'", "Оф", "Оф"}));
    EXPECT_EQ(TurnsOf("Ф)"), V{});
}

TEST(ExecuteMove, NamesInEitherCaseAndNothingElse) {
    HeadlessHost host;
    host.SetAutoTurnDuration(0);
    TVelmo cube(host);
    host.Log().AddMessage("");
    cube.LogTurns = true;
    for (const char* name : {"сф'", "Ов", "оП'", " Ф", "Ф ", "СЛ", "ф2", "", "П"})
        cube.ExecuteMove(name);
    EXPECT_EQ(host.Log().Lines().back(), "Сф' Ов Оп' П ");
    EXPECT_EQ(cube.TurnDuration, 0);
}

// Text copied from a web page writes the apostrophe typographically; the count agrees.
TEST(Normalize, TypographicApostrophesStandForTheApostrophe) {
    const std::string typed = "(П’ В‘ Ф′)2 Тʼ Н`";
    EXPECT_EQ(TVelmo::NormalizeMoveString(typed), "(П'1В'1Ф'1)2Т'1Н'1");
    EXPECT_EQ(TVelmo::CountMoveStringTurns(typed), 8u);
    EXPECT_EQ(TurnsOf("сп’"), V{"Сп'"});
    EXPECT_TRUE(TVelmo::IsKnownMove("Ов′"));
    EXPECT_EQ(TVelmo::NormalizeMoveString("’Ф"), "");  // still not first
    EXPECT_EQ(TVelmo::NormalizeMoveString("Ф‛"), "");  // a reversed quote is not one of them
}

// The recursive definition, followed literally: a group runs by checking and normalising its
// inside again. The model runs groups without recursion; both must make the same turns.
void ExecuteRecursively(const std::string& s, std::vector<std::string>& turns) {
    const std::string t = TVelmo::NormalizeMoveString(s);
    if (t.empty()) return;
    std::u32string token;
    int depth = 0;
    for (char32_t ch : DecodeUtf8(t)) {
        if (ch == U'(') ++depth;
        if (ch == U')') --depth;
        if (ch >= U'1' && ch <= U'9' && depth == 0) {
            for (int k = 0; k < static_cast<int>(ch - U'0'); ++k) {
                if (!token.empty() && token[0] == U'(')
                    ExecuteRecursively(EncodeUtf8(token.substr(1, token.size() - 2)), turns);
                else
                    turns.push_back(EncodeUtf8(token));
            }
            token.clear();
        } else {
            token += ch;
        }
    }
}

std::vector<std::string> KnownTurns(const std::vector<std::string>& names) {
    std::vector<std::string> known;
    for (const std::string& name : names)
        for (int m = 0; m < kMoveCount; ++m)
            if (TurnOf(static_cast<Move>(m)).name == name) known.emplace_back(TurnOf(static_cast<Move>(m)).notation);
    return known;
}

TEST(Execute, AgreesWithTheRecursiveDefinitionOnRandomStrings) {
    const std::vector<std::string> pieces = {"Ф", "В", "п", "С", "О", "'", "(", ")", "2", "3",
                                             "1", " ", "Л", "Н", "т", "сп", "ов'", "Х"};
    std::mt19937 random(12345);
    int valid = 0;
    for (int round = 0; round < 4000; ++round) {
        std::string s;
        const int length = 1 + random() % 14;
        for (int i = 0; i < length; ++i) s += pieces[random() % pieces.size()];
        std::vector<std::string> expected;
        ExecuteRecursively(s, expected);
        EXPECT_EQ(TurnsOf(s), KnownTurns(expected)) << s;
        const std::optional<std::uint64_t> count = TVelmo::CountMoveStringTurns(s);
        EXPECT_EQ(count.has_value(), TVelmo::IsValidMoveString(s)) << s;
        if (count) {
            EXPECT_EQ(*count, KnownTurns(expected).size()) << s;
        }
        valid += TVelmo::IsValidMoveString(s);
    }
    EXPECT_GT(valid, 400);  // the generator must reach many correct strings
}

TEST(Execute, HugeAndDeeplyNestedStringsRunToTheirEnd) {
    HeadlessHost host;
    host.SetAutoTurnDuration(0);
    TVelmo cube(host);
    std::string flat;
    for (int i = 0; i < 25000; ++i) flat += "Ф В'";  // 100,000 characters
    ASSERT_TRUE(TVelmo::IsValidMoveString(flat));
    cube.ExecuteMoveString(flat, true);
    EXPECT_EQ(host.Frames(), 50000);

    std::string nested(10000, '(');
    nested += "П";
    nested += std::string(10000, ')');
    host.ResetCounters();
    cube.ExecuteMoveString(nested, true);
    EXPECT_EQ(host.Frames(), 1);
    // Unclosed, the same depth is closed by the normaliser.
    host.ResetCounters();
    cube.ExecuteMoveString(std::string(10000, '(') + "П2", true);
    EXPECT_EQ(host.Frames(), 2);
    // (((П)2)2)2... doubles per level.
    std::string doubling;
    for (int i = 0; i < 12; ++i) doubling += "(";
    doubling += "П";
    for (int i = 0; i < 12; ++i) doubling += ")2";
    host.ResetCounters();
    cube.ExecuteMoveString(doubling, true);
    EXPECT_EQ(host.Frames(), 4096);

    // Counted without running: 9^10 from ten groups, and 2^10000 saturates.
    EXPECT_EQ(TVelmo::CountMoveStringTurns("((((((((((Ф)9)9)9)9)9)9)9)9)9)9"), 3486784401ull);
    std::string astronomical = std::string(10000, '(') + "Ф";
    for (int i = 0; i < 10000; ++i) astronomical += ")2";
    EXPECT_EQ(TVelmo::CountMoveStringTurns(astronomical), TVelmo::kTurnCountOverflow);
}

// Every move the run executes, known or not, takes the turn duration from the host once.
class DurationCountingHost : public HeadlessHost {
public:
    int AutoTurnDuration() const override {
        ++reads;
        return HeadlessHost::AutoTurnDuration();
    }
    mutable long reads = 0;
};

TEST(Execute, GroupsThatMakeNoTurnAreNotRepeated) {
    DurationCountingHost host;
    host.SetAutoTurnDuration(0);
    TVelmo cube(host);
    // Names that are no move make no turn, however often their group is repeated.
    cube.ExecuteMoveString("((((СЛ ОЛ')9)9)9)9 Ф", true);
    EXPECT_EQ(host.Frames(), 1);
    EXPECT_LT(host.reads, 10);
}

TEST(Execute, TopLevelRunLogsOneLineAndRestoresLogging) {
    for (bool doLog : {true, false}) {
        HeadlessHost host;
        host.SetDoLog(doLog);
        host.SetAutoTurnDuration(0);
        TVelmo cube(host);
        cube.LogTurns = !doLog;
        cube.UserLineOpen = true;
        const std::string s = "(Ф В)2 сп'";
        cube.ExecuteMoveString(s, true);
        EXPECT_EQ(host.Log().Lines(),
                  std::vector<std::string>{"Выполнение последовательности: (Ф В)2 сп'"});
        EXPECT_EQ(cube.LogTurns, doLog);
        EXPECT_FALSE(cube.UserLineOpen);
        EXPECT_EQ(host.Frames(), 5);
    }
}

TEST(Execute, IncorrectStringDoesNothingAtAll) {
    HeadlessHost host;
    TVelmo cube(host);
    cube.LogTurns = true;
    cube.UserLineOpen = true;
    cube.ExecuteMoveString("Ф В Ф0", true);
    EXPECT_TRUE(host.Log().Lines().empty());
    EXPECT_EQ(host.Frames(), 0);
    EXPECT_TRUE(cube.LogTurns);
    EXPECT_TRUE(cube.UserLineOpen);
    EXPECT_EQ(host.BusyStarts(), 0);
}

TEST(Execute, BusyCursorHoldsUntilTheOuterStringEnds) {
    HeadlessHost host;
    host.SetAutoTurnDuration(0);
    TVelmo cube(host);
    int framesWithoutBusy = 0;
    host.SetFrameListener([&] { framesWithoutBusy += host.BusyDepth() == 0; });
    cube.ExecuteMoveString("((Ф)2 В)2 (Л)", true);
    EXPECT_EQ(host.Frames(), 7);
    EXPECT_EQ(framesWithoutBusy, 0);
    EXPECT_EQ(host.BusyDepth(), 0);
    EXPECT_EQ(host.BusyStarts(), 1);
}

}  // namespace
}  // namespace velmo
