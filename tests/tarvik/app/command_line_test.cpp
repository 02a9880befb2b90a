#include "tarvik/app/command_line.h"

#include <gtest/gtest.h>

namespace {

using tarvik::CCommandLine;

CCommandLine FromArgs(std::vector<const char*> args) {
  return CCommandLine::FromArgv(static_cast<int>(args.size()), args.data());
}

TEST(CommandLine, QuotedConnectionFileThenQuotedScriptThenQuit) {
  CCommandLine c = CCommandLine::FromLine(
      "  \"C:\\Program Files\\Tarvik\\tarvik.exe\"  \"c:\\program files\\brevik\\site 1.krc\" /i "
      "\"c:\\temp\\my scripts\\procedure 1.txt\" /q   ");
  EXPECT_EQ(c.connection_file(), "c:\\program files\\brevik\\site 1.krc");
  EXPECT_EQ(c.script_file(), "c:\\temp\\my scripts\\procedure 1.txt");
  EXPECT_TRUE(c.quit_at_end());
  EXPECT_FALSE(c.minimized());
  EXPECT_FALSE(c.show_help());
  EXPECT_EQ(c.output_file(), "");
}

TEST(CommandLine, ArgvFromTheShellWithAbsolutePaths) {
  CCommandLine c = FromArgs({"/usr/bin/tarvik", "/home/op/my links/site 1.krc", "/i",
                             "/home/op/scripts/proc 1.krs", "/o", "/tmp/out.txt", "/q"});
  EXPECT_EQ(c.connection_file(), "/home/op/my links/site 1.krc");
  EXPECT_EQ(c.script_file(), "/home/op/scripts/proc 1.krs");
  EXPECT_EQ(c.output_file(), "/tmp/out.txt");
  EXPECT_TRUE(c.quit_at_end());
}

TEST(CommandLine, ArgvWithQuotesPassedThroughLiterallyIsJoined) {
  CCommandLine c = FromArgs({"tarvik", "\"c:\\my", "links\\a.krc\"", "-i", "\"c:\\s", "1.txt\"", "-q"});
  EXPECT_EQ(c.connection_file(), "c:\\my links\\a.krc");
  EXPECT_EQ(c.script_file(), "c:\\s 1.txt");
  EXPECT_TRUE(c.quit_at_end());
}

TEST(CommandLine, HelpOptionsWithSlashOrDash) {
  for (const char* line : {"tarvik -?", "tarvik /?", "tarvik /h", "tarvik -help", "tarvik /x -?"}) {
    EXPECT_TRUE(CCommandLine::FromLine(line).show_help()) << line;
  }
  EXPECT_FALSE(CCommandLine::FromLine("tarvik /H").show_help());  // compared exactly
  EXPECT_FALSE(CCommandLine::FromLine("tarvik /hilfe").show_help());
}

TEST(CommandLine, FlagsAndUnknownOptions) {
  CCommandLine c = CCommandLine::FromLine("tarvik /m -d /l /x ignored /I upper.krs site.krc");
  EXPECT_TRUE(c.minimized());
  EXPECT_TRUE(c.direct_link());
  EXPECT_TRUE(c.no_relogin());
  EXPECT_FALSE(c.quit_at_end());
  EXPECT_EQ(c.script_file(), "");  // "/I" is not "/i"
  EXPECT_EQ(c.connection_file(), "site.krc");
  ASSERT_EQ(c.items().size(), 6u);
  EXPECT_EQ(c.items()[3].option, "x");
  EXPECT_EQ(c.items()[3].parameter, "ignored");
}

// A switch takes no parameter, so the file after it is still the connection file.
TEST(CommandLine, SwitchDoesNotSwallowTheConnectionFile) {
  CCommandLine c = CCommandLine::FromLine("tarvik /m site.krc");
  EXPECT_TRUE(c.minimized());
  EXPECT_EQ(c.connection_file(), "site.krc");
}

TEST(CommandLine, FirstPlainParameterIsTheConnectionFile) {
  CCommandLine c = CCommandLine::FromLine("tarvik first.krc second.krc");
  EXPECT_EQ(c.connection_file(), "first.krc");
  EXPECT_TRUE(CCommandLine::FromLine("tarvik").connection_file().empty());
  EXPECT_TRUE(CCommandLine::FromLine("").items().empty());
}

TEST(CommandLine, OptionWithoutItsParameter) {
  CCommandLine c = CCommandLine::FromLine("tarvik /i /q");
  EXPECT_EQ(c.script_file(), "");
  EXPECT_TRUE(c.quit_at_end());
}

TEST(CommandLine, UnterminatedQuoteTakesTheRestOfTheLine) {
  CCommandLine c = CCommandLine::FromLine("tarvik /i \"c:\\a b /q");
  EXPECT_EQ(c.script_file(), "c:\\a b /q");
  EXPECT_FALSE(c.quit_at_end());
}

TEST(CommandLine, SlashWordsThatArePathsAreParameters) {
  CCommandLine c =
      CCommandLine::FromLine("tarvik /i /srv/scripts/nightly.krs /o /srv/out/n.txt /data/site.krc");
  EXPECT_EQ(c.script_file(), "/srv/scripts/nightly.krs");
  EXPECT_EQ(c.output_file(), "/srv/out/n.txt");
  EXPECT_EQ(c.connection_file(), "/data/site.krc");
}

}  // namespace
