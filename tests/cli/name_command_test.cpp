#include <gtest/gtest.h>

#include <sstream>

#include "support/cli_run.h"

namespace fretlets::cli {
namespace {

CliRun runNameWith(const std::vector<std::string>& args, const std::string& input = "") {
  return runCli(runName, args, input);
}

TEST(NameCommand, NamesTheFingeringFromTheChosenRoot) {
  const CliRun plain = runNameWith({"--frets", "x,0,2,2,1,0", "--root", "4"});
  EXPECT_EQ(plain.status, 0);
  EXPECT_EQ(plain.out.substr(0, plain.out.find('\n')), "C6/A   (implied: 5)");
  EXPECT_NE(plain.out.find("<- root"), std::string::npos);

  const CliRun json = runNameWith({"--frets", "x,0,2,2,1,0", "--root", "4", "--json"});
  EXPECT_EQ(json.out,
            "{\"name\":\"C6/A\",\"root\":\"C\",\"type\":\"6\",\"bass\":\"A\",\"implied\":[5],"
            "\"rootString\":4,\"intervals\":[\"\",\"6\",\"3\",\"6\",\"1\",\"3\"],"
            "\"notes\":[\"\",\"A\",\"E\",\"A\",\"C\",\"E\"]}\n");

  // Without --root the lowest sounding string is the root.
  const CliRun am = runNameWith({"--frets", "-1,0,2,2,1,0", "--json"});
  EXPECT_NE(am.out.find("\"name\":\"Am\""), std::string::npos);
  EXPECT_NE(am.out.find("\"rootString\":1"), std::string::npos);
}

TEST(NameCommand, OtherInstrumentsTuningsAndSpellings) {
  // Mandolin G D A E, by name; open strings from G: G with D, A and E above.
  const CliRun mandolin = runNameWith({"--instrument", "Mandolin", "--frets", "0,0,0,0", "--json"});
  EXPECT_EQ(mandolin.status, 0);
  EXPECT_NE(mandolin.out.find("\"notes\":[\"G\",\"D\",\"A\",\"E\"]"), std::string::npos);

  // Drop D guitar, and Db spelled with flats.
  const CliRun dropD =
      runNameWith({"--tuning", "38,45,50,55,59,64", "--frets", "0,0,0,2,3,2", "--json"});
  EXPECT_NE(dropD.out.find("\"name\":\"Dmaj\""), std::string::npos);
  const CliRun flat = runNameWith({"--frets", "x,4,6,6,6,4", "--enharmonic", "--json"});
  EXPECT_NE(flat.out.find("\"notes\":[\"\",\"Db\",\"Ab\",\"Db\",\"F\",\"Ab\"]"), std::string::npos);
}

TEST(NameCommand, UnnamedAndSilentFingeringsStillAnswer) {
  // C, C#, D: no chord type, but every string's interval and note is given.
  const CliRun cluster = runNameWith({"--frets", "x,3,11,7,x,x", "--json"});
  EXPECT_EQ(cluster.status, 0);
  EXPECT_EQ(cluster.out,
            "{\"name\":\"\",\"root\":\"\",\"type\":\"\",\"bass\":\"\",\"implied\":[],"
            "\"rootString\":1,\"intervals\":[\"\",\"1\",\"b2\",\"2\",\"\",\"\"],"
            "\"notes\":[\"\",\"C\",\"Db\",\"D\",\"\",\"\"]}\n");

  const CliRun silent = runNameWith({"--frets", "x,x,x,x,x,x", "--json"});
  EXPECT_NE(silent.out.find("\"rootString\":-1"), std::string::npos);
  EXPECT_NE(silent.out.find("\"notes\":[\"\",\"\",\"\",\"\",\"\",\"\"]"), std::string::npos);
}

TEST(NameCommand, BadInputIsOneLineOnStandardErrorAndStatusTwo) {
  const std::vector<std::vector<std::string>> bad{
      {"--instrument", "ukulele", "--frets", "0,0,0,0"},
      {"--frets", "0,2,2,1,0"},
      {"--frets", "0,2,2,1,0,23"},
      {"--frets", "0,2,2,1,0,y"},
      {"--frets", "x,0,2,2,1,0", "--root", "0"},
      {"--frets", "x,0,2,2,1,0", "--root", "6"},
      {"--tuning", "40,45,50", "--frets", "0,2,2,1,0,0"},
      {"--tuning", "40,45,50,55,59,84", "--frets", "0,2,2,1,0,0"},
      {"--frets"},
      {"--bogus"},
      {},
  };
  expectUsageErrors(runName, bad);
}

TEST(NameCommand, BatchAnswersEveryLineInOrderAndReportsBadOnes) {
  const std::string input =
      "{\"instrument\":9,\"tuning\":[40,45,50,55,59,64],\"frets\":[-1,0,2,2,1,0],\"root\":4,"
      "\"enharmonic\":false}\n"
      "{\"frets\":[0,2,2]}\n"
      "not json\n"
      "\n"
      "{\"instrument\":13,\"frets\":[0,0,0]}\n"
      "{\"frets\":[-1,4,6,6,6,4],\"enharmonic\":true}\n"
      "{\"frets\":[-1,0,2,2,1,0],\"root\":0}\n"
      "{\"instrument\":99,\"frets\":[0]}\n"
      "[1,2]\n"
      // Numbers no int holds are bad lines, not undefined behaviour.
      "{\"frets\":[0,2,2,1,0,1e10]}\n"
      "{\"frets\":[0,2,2,1,0,0],\"root\":-1e300}\n"
      "{\"frets\":[0,2,2,1,0,0],\"instrument\":4294967305}\n"
      "{\"frets\":[0,2,2,1,0,0],\"root\":-4294967295}\n"
      "{\"frets\":[0,2,2,1,0,0],\"root\":1.0}\n";
  const CliRun run = runNameWith({"--batch"}, input);
  EXPECT_EQ(run.status, 0);
  std::vector<std::string> lines;
  std::istringstream out(run.out);
  for (std::string line; std::getline(out, line);) {
    lines.push_back(line);
  }
  ASSERT_EQ(lines.size(), 13U);
  EXPECT_EQ(lines[0].substr(0, 20), "{\"name\":\"C6/A\",\"root");
  EXPECT_EQ(lines[1].substr(0, 9), "{\"error\":");
  EXPECT_EQ(lines[2].substr(0, 9), "{\"error\":");
  EXPECT_NE(lines[3].find("\"notes\":[\"G\",\"D\",\"A\"]"), std::string::npos);  // saz
  EXPECT_NE(lines[4].find("\"name\":\"Dbmaj\""), std::string::npos);
  EXPECT_NE(lines[5].find("not a sounding string"), std::string::npos);
  EXPECT_NE(lines[6].find("unknown instrument"), std::string::npos);
  EXPECT_EQ(lines[7].substr(0, 9), "{\"error\":");
  EXPECT_NE(lines[8].find("must be an array of whole numbers"), std::string::npos);
  EXPECT_NE(lines[9].find("must be a whole number"), std::string::npos);
  EXPECT_NE(lines[10].find("must be a whole number"), std::string::npos);
  EXPECT_NE(lines[11].find("must be a whole number"), std::string::npos);
  EXPECT_NE(lines[12].find("\"name\":\"B6sus/E\""), std::string::npos);
}

TEST(NameCommand, CandidatesRankEveryRootPlainJsonAndBatch) {
  const CliRun plain = runNameWith({"--candidates", "--frets", "x,0,2,0,1,0"});
  EXPECT_EQ(plain.status, 0);
  EXPECT_EQ(plain.out.substr(0, plain.out.find("\n   3")),
            "rank  name                 root string  implied  score\n"
            "   1  Am7                  5                     53\n"
            "   2  C6/A                 2                     24");

  const CliRun json = runNameWith({"--candidates", "--frets", "x,0,2,2,1,0", "--json"});
  EXPECT_EQ(json.out.substr(0, json.out.find('}', 100) + 1),
            "{\"candidates\":[{\"rootString\":1,\"name\":\"Am\",\"root\":\"A\",\"type\":\"m\","
            "\"bass\":\"\",\"implied\":[],\"score\":55},{\"rootString\":4,\"name\":\"C6/A\","
            "\"root\":\"C\",\"type\":\"6\",\"bass\":\"A\",\"implied\":[5],\"score\":20}");

  const CliRun batch = runNameWith({"--batch"},
                                   "{\"frets\":[0,2,2,1,0,0],\"candidates\":true}\n"
                                   "{\"frets\":[0,2,2,1,0,0],\"candidates\":true,\"root\":1}\n"
                                   "{\"frets\":[0,2,2,1,0,0],\"candidates\":1}\n"
                                   "{\"frets\":[0,2,2,1,0,0],\"candidates\":false}\n");
  std::istringstream lines(batch.out);
  std::string line;
  std::getline(lines, line);
  EXPECT_TRUE(line.starts_with("{\"candidates\":[{\"rootString\":0,\"name\":\"Emaj\",")) << line;
  std::getline(lines, line);
  EXPECT_NE(line.find("leave out the root"), std::string::npos);
  std::getline(lines, line);
  EXPECT_NE(line.find("must be true or false"), std::string::npos);
  std::getline(lines, line);
  EXPECT_TRUE(line.starts_with("{\"name\":\"Emaj\",")) << line;

  EXPECT_EQ(runNameWith({"--candidates", "--frets", "x,x,x,x,x,x"}).out, "No string sounds.\n");
  const CliRun withRoot = runNameWith({"--candidates", "--frets", "x,0,2,2,1,0", "--root", "1"});
  EXPECT_EQ(withRoot.status, 2);
}

}  // namespace
}  // namespace fretlets::cli
