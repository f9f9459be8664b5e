#include <gmock/gmock.h>

#include "support/cli_run.h"

namespace fretlets::cli {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

TEST(NameCommand, NamesTheFingeringFromTheChosenRoot) {
  const CliRun plain = runCli(runName, {"--frets", "x,0,2,2,1,0", "--root", "4"});
  EXPECT_EQ(plain.status, 0);
  EXPECT_EQ(linesOf(plain.out).at(0), "C6/A   (implied: 5)");
  EXPECT_THAT(plain.out, HasSubstr("<- root"));

  const CliRun json = runCli(runName, {"--frets", "x,0,2,2,1,0", "--root", "4", "--json"});
  EXPECT_EQ(json.out,
            "{\"name\":\"C6/A\",\"root\":\"C\",\"type\":\"6\",\"bass\":\"A\",\"implied\":[5],"
            "\"rootString\":4,\"intervals\":[\"\",\"6\",\"3\",\"6\",\"1\",\"3\"],"
            "\"notes\":[\"\",\"A\",\"E\",\"A\",\"C\",\"E\"]}\n");

  // Each option reaches the answer; without --root the lowest sounding string is the root.
  const struct {
    std::vector<std::string> args;
    const char* part;
  } cases[] = {
      {{"--frets", "-1,0,2,2,1,0"}, "\"name\":\"Am\",\"root\":\"A\""},
      {{"--instrument", "Mandolin", "--frets", "0,0,0,0"}, "\"notes\":[\"G\",\"D\",\"A\",\"E\"]"},
      {{"--tuning", "38,45,50,55,59,64", "--frets", "0,0,0,2,3,2"}, "\"name\":\"Dmaj\""},
      {{"--frets", "x,4,6,6,6,4", "--enharmonic"}, "\"notes\":[\"\",\"Db\",\"Ab\",\"Db\",\"F\""},
      // C, C#, D has no chord type, but every string still gets its interval and note.
      {{"--frets", "x,3,11,7,x,x"},
       "\"name\":\"\",\"root\":\"\",\"type\":\"\",\"bass\":\"\",\"implied\":[],\"rootString\":1,"
       "\"intervals\":[\"\",\"1\",\"b2\",\"2\",\"\",\"\"],\"notes\":[\"\",\"C\",\"Db\",\"D\""},
      {{"--frets", "x,x,x,x,x,x"}, "\"rootString\":-1,"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = c.args;
    args.push_back("--json");
    const CliRun run = runCli(runName, args);
    EXPECT_EQ(run.status, 0);
    EXPECT_THAT(run.out, HasSubstr(c.part));
  }
}

TEST(NameCommand, BadInputIsOneLineOnStandardErrorAndStatusTwo) {
  expectUsageErrors(runName, {{"--instrument", "ukulele", "--frets", "0,0,0,0"},
                              {"--frets", "0,2,2,1,0"},
                              {"--frets", "0,2,2,1,0,23"},
                              {"--frets", "0,2,2,1,0,y"},
                              {"--frets", "x,0,2,2,1,0", "--root", "0"},
                              {"--frets", "x,0,2,2,1,0", "--root", "6"},
                              {"--tuning", "40,45,50", "--frets", "0,2,2,1,0,0"},
                              {"--tuning", "40,45,50,55,59,84", "--frets", "0,2,2,1,0,0"},
                              {"--candidates", "--frets", "x,0,2,2,1,0", "--root", "1"},
                              {"--frets"},
                              {"--bogus"},
                              {}});
}

// One JSON request a line in, one answer a line out, in order; a bad line is answered with
// an error and the rest go on.
TEST(NameCommand, BatchAnswersEveryLineInOrderAndReportsBadOnes) {
  const std::pair<const char*, const char*> rows[] = {
      {R"({"instrument":9,"tuning":[40,45,50,55,59,64],"frets":[-1,0,2,2,1,0],"root":4,)"
       R"("enharmonic":false})",
       R"({"name":"C6/A","root)"},
      {R"({"frets":[0,2,2]})", R"({"error":)"},
      {"not json", R"({"error":)"},
      {R"({"instrument":13,"frets":[0,0,0]})", R"("notes":["G","D","A"])"},  // saz
      {R"({"frets":[-1,4,6,6,6,4],"enharmonic":true})", R"("name":"Dbmaj")"},
      {R"({"frets":[-1,0,2,2,1,0],"root":0})", "not a sounding string"},
      {R"({"instrument":99,"frets":[0]})", "unknown instrument"},
      {"[1,2]", R"({"error":)"},
      // Numbers no int holds are bad lines, not undefined behaviour.
      {R"({"frets":[0,2,2,1,0,1e10]})", "must be an array of whole numbers"},
      {R"({"frets":[0,2,2,1,0,0],"root":-1e300})", "must be a whole number"},
      {R"({"frets":[0,2,2,1,0,0],"instrument":4294967305})", "must be a whole number"},
      {R"({"frets":[0,2,2,1,0,0],"root":-4294967295})", "must be a whole number"},
      {R"({"frets":[0,2,2,1,0,0],"root":1.0})", R"("name":"B6sus/E")"},
      {R"({"frets":[0,2,2,1,0,0],"candidates":true})",
       R"({"candidates":[{"rootString":0,"name":"Emaj",)"},
      {R"({"frets":[0,2,2,1,0,0],"candidates":true,"root":1})", "leave out the root"},
      {R"({"frets":[0,2,2,1,0,0],"candidates":1})", "must be true or false"},
      {R"({"frets":[0,2,2,1,0,0],"candidates":false})", R"({"name":"Emaj",)"},
  };
  std::string input = "\n";  // an empty line is skipped
  for (const auto& [request, answer] : rows) {
    input += std::string(request) + "\n";
  }
  const CliRun run = runCli(runName, {"--batch"}, input);
  EXPECT_EQ(run.status, 0);
  const std::vector<std::string> lines = linesOf(run.out);
  ASSERT_EQ(lines.size(), std::size(rows));
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_THAT(lines[i], HasSubstr(rows[i].second)) << rows[i].first;
  }
}

TEST(NameCommand, CandidatesRankEveryRoot) {
  const CliRun plain = runCli(runName, {"--candidates", "--frets", "x,0,2,0,1,0"});
  EXPECT_EQ(plain.status, 0);
  EXPECT_EQ(plain.out.substr(0, plain.out.find("\n   3")),
            "rank  name                 root string  implied  score\n"
            "   1  Am7                  5                     53\n"
            "   2  C6/A                 2                     24");

  const CliRun json = runCli(runName, {"--candidates", "--frets", "x,0,2,2,1,0", "--json"});
  EXPECT_EQ(json.out.substr(0, json.out.find('}', 100) + 1),
            "{\"candidates\":[{\"rootString\":1,\"name\":\"Am\",\"root\":\"A\",\"type\":\"m\","
            "\"bass\":\"\",\"implied\":[],\"score\":55},{\"rootString\":4,\"name\":\"C6/A\","
            "\"root\":\"C\",\"type\":\"6\",\"bass\":\"A\",\"implied\":[5],\"score\":6}");
  EXPECT_EQ(runCli(runName, {"--candidates", "--frets", "x,x,x,x,x,x"}).out, "No string sounds.\n");
  // With --batch, --candidates is every line's default; a line's own choice wins.
  const CliRun batch = runCli(runName, {"--batch", "--candidates"},
                              "{\"frets\":[0,2,2,1,0,0]}\n{\"frets\":[0,2,2,1,0,0],\"root\":1}\n"
                              "{\"frets\":[0,2,2,1,0,0],\"root\":1,\"candidates\":false}\n");
  EXPECT_THAT(linesOf(batch.out),
              ElementsAre(StartsWith(R"({"candidates":[{"rootString":0,)"),
                          HasSubstr("leave out the root"), HasSubstr(R"("name":"B6sus/E")")));
}

}  // namespace
}  // namespace fretlets::cli
