#include <gtest/gtest.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../support/event_file_builder.h"
#include "../tarvik/eventfiles/eventfiles_test_support.h"
#include "krtool/krtool_app.h"

namespace {

using kr_test::EventFileBuilder;

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

class KrtoolTest : public ::testing::Test {
 protected:
  Outcome Krtool(std::vector<std::string> args) {
    std::ostringstream out;
    std::ostringstream err;
    int status = krtool::RunKrtool(args, out, err, clock_);
    return {status, out.str(), err.str()};
  }
  std::string Path(const std::string& name) { return (dir_ / name).string(); }

  kr_test::ScratchDir dir_;
  kr::FixedClock clock_{kr::DateTime{2026, 3, 15, 9, 0, 0, 0, 0}};
};

TEST_F(KrtoolTest, KindPrintsNumberAndExtension) {
  EventFileBuilder::XkrHeader(1).U8(4, 3).WriteTo(dir_ / "a.xkr");  // periodic XKR file: bkr
  Outcome run = Krtool({"kind", Path("a.xkr")});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "5 bkr\n");
  EXPECT_EQ(run.err, "");
}

TEST_F(KrtoolTest, EncipherAndDecipherMakeAndReadMacroBlocks) {
  // The block computed with an independent model of the format.
  Outcome made = Krtool({"encipher", "MB;MD"});
  EXPECT_EQ(made.status, 0);
  EXPECT_EQ(made.out, "YI0doDs\n");
  Outcome read = Krtool({"decipher", "YI0doDs"});
  EXPECT_EQ(read.status, 0);
  EXPECT_EQ(read.out, "MB;MD\n");
  Outcome foreign = Krtool({"decipher", "Lo;Lp"});
  EXPECT_EQ(foreign.status, 1);
  EXPECT_EQ(foreign.err, "\"Lo;Lp\" is not an enciphered block.\n");
  EXPECT_EQ(Krtool({"encipher"}).status, 2);
}

TEST_F(KrtoolTest, FieldsAndInfoPrintTheHeaderTexts) {
  EventFileBuilder skr = EventFileBuilder::SkrHeader(7);
  skr.U16(0, 42).U16(54, 12345).BcdTime(45, 30, 0, 12, 15, 3, 26);
  skr.WriteTo(dir_ / "a.skr");

  Outcome fields = Krtool({"fields", Path("a.skr")});
  EXPECT_EQ(fields.status, 0);
  EXPECT_TRUE(fields.out.starts_with("file_number:\t42\ntest_sensor:\t0\n"));
  EXPECT_NE(fields.out.find("\nnb_samples:\t7\n"), std::string::npos);
  EXPECT_EQ(kr_test::CountLines(fields.out), 140);
  EXPECT_EQ(fields.out.find('\r'), std::string::npos);

  Outcome info = Krtool({"info", Path("a.skr")});
  EXPECT_EQ(info.status, 0);
  EXPECT_TRUE(info.out.starts_with("File Info\n---------\nFile Number:\t42\n"));
  EXPECT_NE(info.out.find("\nTrigger Time:\t15.03.2026 12:00:30\n"), std::string::npos);
  EXPECT_NE(info.out.find("\nMain Battery:\t12.35\tV\n"), std::string::npos);
  EXPECT_NE(info.out.find("\nInterneal Temp:\t0\t\xC2\xB0"
                          "celsius\n"),
            std::string::npos);

  Outcome us = Krtool({"info", Path("a.skr"), "UsDateFormat=1"});
  EXPECT_NE(us.out.find("\nTrigger Time:\t03/15/2026 12:00:30 PM\n"), std::string::npos);
}

TEST_F(KrtoolTest, ExportWithOptions) {
  EventFileBuilder skr = EventFileBuilder::SkrHeader(3);
  for (int i = 1; i <= 3; ++i) skr.Frame16(i, -i, 0);
  skr.WriteTo(dir_ / "a.skr");
  Outcome run = Krtool({"export", Path("a.skr"), Path("a.txt"), "Header=0", "NotLSB=1", "Trim=1",
                        "IgnoreFirst=1", "Include=1"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(kr_test::DecodeUtf16File(dir_ / "a.txt"), "X-Axis \tY-Axis \tZ-Axis \n2\t-2\t0");

  // Unnamed keys keep the settings defaults: header on, physical values.
  EXPECT_EQ(Krtool({"export", Path("a.skr"), Path("b.txt")}).status, 0);
  std::string text = kr_test::DecodeUtf16File(dir_ / "b.txt");
  EXPECT_TRUE(text.starts_with("File Info\n"));
  EXPECT_TRUE(text.ends_with("\n0.0030\t-0.0030\t0.0000"));
}

TEST_F(KrtoolTest, ExportFailuresExitOneWithTheMessage) {
  EventFileBuilder::SkrHeader(3).Frame16(1, 1, 1).WriteTo(dir_ / "a.skr");
  Outcome range = Krtool({"export", Path("a.skr"), Path("a.txt"), "Trim=1", "TrimFirstLast=1"});
  EXPECT_EQ(range.status, 1);
  EXPECT_EQ(range.err, "ERROR: number for first and last samples out of range\n");

  Outcome missing = Krtool({"export", Path("none.skr"), Path("a.txt")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "Input file open error\n");
}

TEST_F(KrtoolTest, UnreadableFilesGetAClearMessage) {
  Outcome missing = Krtool({"fields", Path("none.skr")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(missing.err, "Cannot open \"" + Path("none.skr") + "\": No such file or directory\n");

  std::ofstream(dir_ / "short.skr", std::ios::binary) << std::string(255, '\0');
  for (const char* command : {"fields", "info", "kind"}) {
    Outcome run = Krtool({command, Path("short.skr")});
    EXPECT_EQ(run.status, 1) << command;
    EXPECT_EQ(run.err, "Can't read Headerbuffer\n") << command;
    EXPECT_EQ(run.out, "") << command;
  }
  Outcome folder = Krtool({"kind", dir_.path().string()});
  EXPECT_EQ(folder.status, 1);
  EXPECT_EQ(folder.err, "\"" + dir_.path().string() + "\" is not a file.\n");
}

TEST_F(KrtoolTest, CommandLineMistakesAndHelp) {
  Outcome none = Krtool({});
  EXPECT_EQ(none.status, 2);
  EXPECT_TRUE(none.err.starts_with("Usage: krtool COMMAND"));

  Outcome help = Krtool({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.starts_with("Usage: krtool COMMAND"));
  for (const char* command : {"fields", "info", "kind", "export"}) {
    Outcome run = Krtool({command, "--help"});
    EXPECT_EQ(run.status, 0) << command;
    EXPECT_TRUE(run.out.starts_with(std::string("Usage: krtool ") + command)) << run.out;
  }
  Outcome unknown = Krtool({"convert", "a"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.err, "Unknown command \"convert\". Try \"krtool --help\".\n");
  Outcome arguments = Krtool({"kind"});
  EXPECT_EQ(arguments.status, 2);
  EXPECT_EQ(arguments.err, "Wrong number of arguments. Try \"krtool kind --help\".\n");

  EventFileBuilder::SkrHeader(3).WriteTo(dir_ / "a.skr");
  EXPECT_EQ(Krtool({"export", Path("a.skr"), Path("a.txt"), "Colour=1"}).err,
            "Unknown option \"Colour=1\".\n");
  EXPECT_EQ(Krtool({"export", Path("a.skr"), Path("a.txt"), "Trim"}).err,
            "Missing \"=\" in option \"Trim\".\n");
  Outcome number = Krtool({"export", Path("a.skr"), Path("a.txt"), "Trim=yes"});
  EXPECT_EQ(number.status, 2);
  EXPECT_EQ(number.err, "Option \"Trim=yes\" needs a whole number.\n");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "a.txt"));  // nothing converted on a wrong command line
}

// The installed program: arguments reach the commands and the exit code leaves the process.
TEST_F(KrtoolTest, ExecutableRuns) {
  EventFileBuilder::SkrHeader(3, "CKR4100").U8(250, 3).WriteTo(dir_ / "a.skr");
  int status = 0;
  std::string out = kr_test::RunAndCapture(
      std::string("'") + KRTOOL_EXECUTABLE + "' kind '" + Path("a.skr") + "'", &status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(out, "4 vmx\n");
  kr_test::RunAndCapture(std::string("'") + KRTOOL_EXECUTABLE + "' kind '" + Path("none") + "' 2>/dev/null",
                         &status);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
}

}  // namespace
