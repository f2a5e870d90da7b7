// Which arguments are options, which are operands, and what each misuse reports.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "cli/options.h"

namespace zendrel::cli {
namespace {

struct AcceptedCase {
  const char* label;
  std::vector<std::string_view> arguments;
  Action action;
  bool withBits;
  bool rawBytes;
  std::string_view first;
  Operator op;
  std::string_view second;
};

class AcceptedCommandLine : public ::testing::TestWithParam<AcceptedCase> {};

TEST_P(AcceptedCommandLine, ParsesAsExpected) {
  const AcceptedCase& c = GetParam();
  const CommandLine line = parseCommandLine(c.arguments);
  EXPECT_EQ(line.action, c.action) << line.problem;
  EXPECT_EQ(line.withBits, c.withBits);
  EXPECT_EQ(line.rawBytes, c.rawBytes);
  if (c.action == Action::Calculate) {
    EXPECT_EQ(line.first, c.first);
    EXPECT_EQ(line.op, c.op);
    EXPECT_EQ(line.second, c.second);
  }
}

constexpr auto kCalc = Action::Calculate;
constexpr auto kBatch = Action::Batch;
constexpr auto kAdd = Operator::Add;

INSTANTIATE_TEST_SUITE_P(
    Cases, AcceptedCommandLine,
    ::testing::Values(
        AcceptedCase{"NoArgumentsReadsInput", {}, kBatch, false, false, "", kAdd, ""},
        AcceptedCase{"OptionsOnlyReadInput", {"--gbk", "--bits"}, kBatch, true, true, "", kAdd, ""},
        AcceptedCase{"PlainRequest", {"1", "+", "2"}, kCalc, false, false, "1", kAdd, "2"},
        AcceptedCase{"Subtract", {"1", "-", "2"}, kCalc, false, false, "1",
                     Operator::Subtract, "2"},
        AcceptedCase{"Multiply", {"1", "*", "2"}, kCalc, false, false, "1", Operator::Multiply,
                     "2"},
        AcceptedCase{"Divide", {"1", "/", "2"}, kCalc, false, false, "1", Operator::Divide, "2"},
        AcceptedCase{"NegativeFirstOperand", {"-5", "*", "3"}, kCalc, false, false, "-5",
                     Operator::Multiply, "3"},
        AcceptedCase{"LoneDashIsAnOperand", {"-", "-", "-"}, kCalc, false, false, "-",
                     Operator::Subtract, "-"},
        AcceptedCase{"SingleDashWordIsAnOperand", {"-x", "+", "1"}, kCalc, false, false, "-x",
                     kAdd, "1"},
        AcceptedCase{"OptionsBeforeOperands", {"--bits", "--gbk", "1", "/", "0"}, kCalc, true,
                     true, "1", Operator::Divide, "0"},
        AcceptedCase{"DoubleDashEndsOptions", {"--bits", "--", "--gbk", "+", "--"}, kCalc, true,
                     false, "--gbk", kAdd, "--"},
        AcceptedCase{"NoOptionAfterFirstOperand", {"1", "+", "--bits"}, kCalc, false, false, "1",
                     kAdd, "--bits"},
        AcceptedCase{"EmptyOperands", {"", "+", ""}, kCalc, false, false, "", kAdd, ""},
        AcceptedCase{"HelpActsAtOnce", {"--help", "--no-such", "1"}, Action::Help, false, false,
                     "", kAdd, ""},
        AcceptedCase{"VersionActsAtOnce", {"--bits", "--version", "x"}, Action::Version, true,
                     false, "", kAdd, ""}),
    [](const auto& info) { return std::string(info.param.label); });

struct MisuseCase {
  const char* label;
  std::vector<std::string_view> arguments;
  const char* problem;
};

class MisusedCommandLine : public ::testing::TestWithParam<MisuseCase> {};

TEST_P(MisusedCommandLine, NamesTheProblem) {
  const MisuseCase& c = GetParam();
  const CommandLine line = parseCommandLine(c.arguments);
  EXPECT_EQ(line.action, Action::Misuse);
  EXPECT_EQ(line.problem, c.problem);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MisusedCommandLine,
    ::testing::Values(
        MisuseCase{"UnknownOption", {"--bit", "1", "+", "2"}, "unknown option \"--bit\""},
        MisuseCase{"OptionWithValue", {"--bits=1"}, "unknown option \"--bits=1\""},
        MisuseCase{"UnknownOptionAfterKnownOne", {"--gbk", "--hex"}, "unknown option \"--hex\""},
        MisuseCase{"OneOperand", {"5"},
                   "expected 3 operands X OP Y (or none, to read standard input), got 1"},
        MisuseCase{"TwoOperands", {"--", "-5", "+"},
                   "expected 3 operands X OP Y (or none, to read standard input), got 2"},
        MisuseCase{"FourOperands", {"1", "+", "2", "--bits"},
                   "expected 3 operands X OP Y (or none, to read standard input), got 4"},
        MisuseCase{"WordOperator", {"1", "plus", "2"},
                   "bad operator \"plus\" (expected one of + - * /)"},
        MisuseCase{"OperatorWithSpace", {"1", " +", "2"},
                   "bad operator \" +\" (expected one of + - * /)"},
        MisuseCase{"FullWidthPlusIsNoOperator", {"1", "\xEF\xBC\x8B", "2"},
                   "bad operator \"\\xEF\\xBC\\x8B\" (expected one of + - * /)"},
        MisuseCase{"EmptyOperator", {"1", "", "2"}, "bad operator \"\" (expected one of + - * /)"}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace zendrel::cli
