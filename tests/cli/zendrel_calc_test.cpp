// The zendrel-calc executable end to end: arguments, standard input, output, messages and
// exit statuses, as a script sees them.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr const char* kCalcPath = ZENDREL_CALC_PATH;

struct Outcome {
  int status = -1;  // the exit status, or 128 + the signal that ended the process
  std::string out;
  std::string err;
};

int statusOf(int waitStatus) {
  if (WIFEXITED(waitStatus)) return WEXITSTATUS(waitStatus);
  if (WIFSIGNALED(waitStatus)) return 128 + WTERMSIG(waitStatus);
  return -1;
}

class TempFile {
 public:
  explicit TempFile(const std::string& content = "") {
    std::string pattern = ::testing::TempDir() + "zendrel-calc-XXXXXX";
    const int fd = mkstemp(pattern.data());
    EXPECT_GE(fd, 0) << pattern;
    path_ = pattern;
    if (!content.empty()) {
      EXPECT_EQ(write(fd, content.data(), content.size()), static_cast<ssize_t>(content.size()));
    }
    close(fd);
  }
  ~TempFile() { unlink(path_.c_str()); }
  const char* path() const { return path_.c_str(); }
  std::string content() const {
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

 private:
  std::string path_;
};

std::vector<char*> argvFor(std::vector<std::string>& arguments) {
  std::vector<char*> argv{const_cast<char*>(kCalcPath)};
  for (std::string& a : arguments) argv.push_back(a.data());
  argv.push_back(nullptr);
  return argv;
}

// Runs zendrel-calc with standard input and output opened on the given paths; gives its
// status and standard error.
Outcome runCalcOn(std::vector<std::string> arguments, const char* inputPath,
                  const char* outputPath) {
  TempFile err;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, inputPath, O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outputPath, O_WRONLY | O_TRUNC, 0);
  posix_spawn_file_actions_addopen(&actions, 2, err.path(), O_WRONLY | O_TRUNC, 0);
  std::vector<char*> argv = argvFor(arguments);
  pid_t pid = 0;
  Outcome outcome;
  const int spawned = posix_spawn(&pid, kCalcPath, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  EXPECT_EQ(spawned, 0) << kCalcPath;
  if (spawned != 0) return outcome;
  int waitStatus = 0;
  waitpid(pid, &waitStatus, 0);
  outcome.status = statusOf(waitStatus);
  outcome.err = err.content();
  return outcome;
}

// Runs zendrel-calc with the arguments and input as standard input, capturing both outputs.
Outcome runCalc(std::vector<std::string> arguments, const std::string& input = "") {
  TempFile in(input), out;
  Outcome outcome = runCalcOn(std::move(arguments), in.path(), out.path());
  outcome.out = out.content();
  return outcome;
}

std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

struct RequestCase {
  const char* label;
  std::vector<std::string> arguments;
  std::string input;
  std::string out;
};

void PrintTo(const RequestCase& c, std::ostream* os) { *os << c.label; }

class AnsweredRequest : public ::testing::TestWithParam<RequestCase> {};

TEST_P(AnsweredRequest, PrintsTheResultBoxText) {
  const RequestCase& c = GetParam();
  const Outcome outcome = runCalc(c.arguments, c.input);
  EXPECT_EQ(outcome.out, c.out);
  EXPECT_EQ(outcome.err, "");
  EXPECT_EQ(outcome.status, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, AnsweredRequest,
    ::testing::Values(
        RequestCase{"Sum", {"1", "+", "2"}, "", "3\n"},
        RequestCase{"NegativeFirstOperand", {"-5", "*", "3"}, "", "-15\n"},
        RequestCase{"WholeBoxTexts", {"  12abc", "+", "０．５"}, "", "12.5\n"},
        RequestCase{"EmptyOperandIsZero", {"", "-", "5"}, "", "-5\n"},
        RequestCase{"DoubleDashThenNegatives", {"--", "-0.5", "-", "-0.5"}, "", "0\n"},
        RequestCase{"Bits", {"--bits", "1", "+", "2"}, "", "3\t4008000000000000\n"},
        RequestCase{"BitsShowTheSignOfZero", {"--bits", "-0", "*", "5"}, "",
                    "0\t8000000000000000\n"},
        RequestCase{"BitsOfMinusInfinity", {"--bits", "1", "/", "-0"}, "",
                    "-1.#INF\tfff0000000000000\n"},
        RequestCase{"DoubleRoundingLandsBelowNearest", {"--bits", "0.043", "*", "6.9"}, "",
                    "0.2967\t3fd2fd21ff2e48e8\n"},
        RequestCase{"OverflowIsInfinity", {"1e308", "*", "10"}, "", "1.#INF\n"},
        // UTF-8 operands are converted to code page 936 as the window converts typing.
        RequestCase{"FullWidthDigits", {"１２", "+", "0"}, "", "12\n"},
        RequestCase{"IdeographicSpaceIsWhiteSpace", {"\xE3\x80\x80" "7", "+", "0"}, "", "7\n"},
        RequestCase{"CharacterMissingFromCodePageIsQuestionMark",
                    {"\xF0\x9F\x98\x80" "5", "+", "1"}, "", "1\n"},
        RequestCase{"MalformedUtf8IsQuestionMark", {"\xFF" "5", "+", "1"}, "", "1\n"},
        // --gbk: the bytes are code page 936 already.
        RequestCase{"GbkFullWidthDigits", {"--gbk", "\xA3\xB1\xA3\xB2", "+", "0"}, "", "12\n"},
        RequestCase{"GbkDoesNotReadUtf8", {"--gbk", "１２", "+", "0"}, "", "0\n"}),
    [](const auto& info) { return std::string(info.param.label); });

INSTANTIATE_TEST_SUITE_P(
    StandardInput, AnsweredRequest,
    ::testing::Values(
        RequestCase{"DoneWhenExample", {"--bits"}, "0.043\t*\t6.9\n1\t/\t0\n0\t/\t0\n",
                    "0.2967\t3fd2fd21ff2e48e8\n1.#INF\t7ff0000000000000\n"
                    "-1.#IND\tfff8000000000000\n"},
        RequestCase{"OneLinePerLineInOrder", {}, "1\t+\t2\n70\t/\t2041\n-5\t*\t3\n",
                    "3\n0.03429691327781\n-15\n"},
        RequestCase{"CrLfLines", {}, "1\t+\t2\r\n9\t-\t10\r\n", "3\n-1\n"},
        RequestCase{"LastLineWithoutNewline", {}, "1\t+\t2\n2\t+\t2", "3\n4\n"},
        RequestCase{"EmptyInput", {}, "", ""},
        RequestCase{"Utf8Line", {}, "  12abc\t+\t０．５\n", "12.5\n"},
        RequestCase{"GbkLine", {"--gbk"}, "\xA3\xB5\t*\t2\n", "10\n"},
        RequestCase{"OptionsThenDoubleDash", {"--bits", "--"}, "1\t+\t2\n",
                    "3\t4008000000000000\n"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(Batch, MalformedLineInTheMiddleIsReportedAndTheRestAnswered) {
  const Outcome outcome =
      runCalc({}, "1\t+\t2\n3 + 4\n5\t%\t6\n7\t*\t8\n");
  EXPECT_EQ(outcome.out, "3\n56\n");
  EXPECT_EQ(outcome.err,
            "zendrel-calc: line 2: expected 3 TAB-separated fields (X, OP, Y), found 1\n"
            "zendrel-calc: line 3: bad operator \"%\" (expected one of + - * /)\n");
  EXPECT_EQ(outcome.status, 1);
}

TEST(StreamFailure, UnreadableInputIsReported) {
  // A directory opens as standard input but cannot be read.
  TempFile out;
  const Outcome outcome = runCalcOn({}, "/", out.path());
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err, "zendrel-calc: cannot read standard input: Is a directory\n");
}

TEST(StreamFailure, UnwritableOutputIsReported) {
  TempFile in("1\t+\t2\n");
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"1", "+", "2"}, std::vector<std::string>{}}) {
    const Outcome outcome = runCalcOn(arguments, in.path(), "/dev/full");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err, "zendrel-calc: cannot write standard output: No space left on device\n");
  }
}

struct MisuseCase {
  const char* label;
  std::vector<std::string> arguments;
  std::string message;
};

void PrintTo(const MisuseCase& c, std::ostream* os) { *os << c.label; }

class Misuse : public ::testing::TestWithParam<MisuseCase> {};

TEST_P(Misuse, NamesTheProblemThenShowsUsageAndExitsWithTwo) {
  const MisuseCase& c = GetParam();
  const Outcome outcome = runCalc(c.arguments, "1\t+\t2\n");
  EXPECT_EQ(outcome.status, 2);
  EXPECT_EQ(outcome.out, "");
  EXPECT_EQ(firstLine(outcome.err), c.message);
  EXPECT_EQ(firstLine(outcome.err.substr(outcome.err.find('\n') + 1)),
            "Usage: zendrel-calc [--bits] [--gbk] [--] X OP Y");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Misuse,
    ::testing::Values(
        MisuseCase{"UnknownOption", {"--hex", "1", "+", "2"},
                   "zendrel-calc: unknown option \"--hex\""},
        MisuseCase{"TooFewOperands", {"1", "+"},
                   "zendrel-calc: expected 3 operands X OP Y (or none, to read standard input), "
                   "got 2"},
        MisuseCase{"TooManyOperands", {"1", "+", "2", "+", "3"},
                   "zendrel-calc: expected 3 operands X OP Y (or none, to read standard input), "
                   "got 5"},
        MisuseCase{"BadOperator", {"2", "^", "3"},
                   "zendrel-calc: bad operator \"^\" (expected one of + - * /)"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(Information, HelpDescribesTheOptionsAndSucceeds) {
  const Outcome outcome = runCalc({"--help"});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(firstLine(outcome.out), "Usage: zendrel-calc [--bits] [--gbk] [--] X OP Y");
  for (const char* word : {"--bits", "--gbk", "--version", "\"--\" ends them", "Exit status"}) {
    EXPECT_NE(outcome.out.find(word), std::string::npos) << word;
  }
  EXPECT_EQ(outcome.err, "");
}

TEST(Information, VersionNamesTheProgram) {
  const Outcome outcome = runCalc({"--version"});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.out, "zendrel-calc 1.0\n");
}

// Feeds many lines, reads the first answer from a pipe and closes it, as `| head -1` does.
Outcome readFirstLineThenClose(bool ignoreBrokenPipe) {
  std::string input;
  for (int i = 0; i < 200000; ++i) input += "1\t+\t2\n";
  TempFile in(input), err;
  int pipeFds[2];
  EXPECT_EQ(pipe(pipeFds), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, in.path(), O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  posix_spawn_file_actions_addclose(&actions, pipeFds[1]);
  posix_spawn_file_actions_addopen(&actions, 2, err.path(), O_WRONLY, 0);
  std::vector<std::string> none;
  std::vector<char*> argv = argvFor(none);
  // An ignored signal stays ignored in the spawned program.
  struct sigaction previous {};
  struct sigaction brokenPipe {};
  brokenPipe.sa_handler = ignoreBrokenPipe ? SIG_IGN : SIG_DFL;
  sigaction(SIGPIPE, &brokenPipe, &previous);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, kCalcPath, &actions, nullptr, argv.data(), environ);
  sigaction(SIGPIPE, &previous, nullptr);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  Outcome outcome;
  EXPECT_EQ(spawned, 0);
  char first[2] = {};
  EXPECT_EQ(read(pipeFds[0], first, sizeof first), 2);
  outcome.out.assign(first, sizeof first);
  close(pipeFds[0]);
  int waitStatus = 0;
  waitpid(pid, &waitStatus, 0);
  outcome.status = statusOf(waitStatus);
  outcome.err = err.content();
  return outcome;
}

TEST(ClosedPipe, EndsQuietlyByTheSignal) {
  const Outcome outcome = readFirstLineThenClose(false);
  EXPECT_EQ(outcome.out, "3\n");
  EXPECT_EQ(outcome.err, "");
  EXPECT_EQ(outcome.status, 128 + SIGPIPE);
}

TEST(ClosedPipe, EndsQuietlyWhenTheSignalIsIgnored) {
  const Outcome outcome = readFirstLineThenClose(true);
  EXPECT_EQ(outcome.out, "3\n");
  EXPECT_EQ(outcome.err, "");
  EXPECT_EQ(outcome.status, 1);
}

}  // namespace
