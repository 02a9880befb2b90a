#include "tarvik/engine/macro_text.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>

#include "engine_test_support.h"
#include "krcommon/macro_cipher.h"
#include "tarvik/resources/tarvik_strings.h"

namespace tarvik {
namespace {

namespace fs = std::filesystem;
using testing::RecordingUi;

class MacroTextTest : public ::testing::Test {
 protected:
  MacroTextTest() : strings(MakeTarvikStringTable()) {
    std::string pattern = (fs::temp_directory_path() / "kr-macro-XXXXXX").string();
    folder = ::mkdtemp(pattern.data());
  }
  ~MacroTextTest() override {
    std::error_code ec;
    fs::remove_all(folder, ec);
  }
  std::string Prepare(std::string_view text) { return PrepareMacroText(text, folder, ui, strings); }
  void WriteFile(const std::string& name, const std::string& bytes) {
    std::ofstream(folder / name, std::ios::binary) << bytes;
  }

  RecordingUi ui;
  kr::StringTable strings;
  fs::path folder;
};

TEST_F(MacroTextTest, BlanksCommentsAndLineEndsBetweenCommandsDisappear) {
  EXPECT_EQ(Prepare("Na3;  // read the newest\r\nMB;\r\n\tMD;"), "Na3;MB;MD");
  EXPECT_EQ(Prepare("  Te=5; /* pre-event\r\n time */ TE"), "Te=5;TE");
  // Only ";" separates commands: a line end inside a command joins its two halves.
  EXPECT_EQ(Prepare("Te=\r\n5;MB// end"), "Te=5;MB");
  // A blank inside a command stays.
  EXPECT_EQ(Prepare("AL 1 2;"), "AL 1 2");
  // An unclosed block comment swallows the rest.
  EXPECT_EQ(Prepare("MB;/* MD"), "MB");
}

TEST_F(MacroTextTest, QuestionsInsertTheAnswerAndCancelRemovesThreeCharacters) {
  ui.question_answers = {std::string("12"), std::nullopt};
  // Cancel takes "Tp=" away and leaves an empty command, which sends nothing.
  EXPECT_EQ(Prepare("Te=[Pre-event time];MB;Tp=[Post time];MD"), "Te=12;MB;;MD");
  ASSERT_EQ(ui.questions.size(), 2u);
  EXPECT_EQ(ui.questions[0], "Pre-event time:");
  EXPECT_EQ(ui.questions[1], "Post time:");
  // Fewer than three characters before the "[": what is there goes.
  ui.question_answers = {std::nullopt};
  EXPECT_EQ(Prepare("T[x]"), "");
}

TEST_F(MacroTextTest, AnswersCannotBringLineEndsOrTabs) {
  ui.question_answers = {std::string("1\t2\r\n")};
  EXPECT_EQ(Prepare("Te=[t]"), "Te=12");
}

TEST_F(MacroTextTest, EncipheredBlocksComeOutAsCommands) {
  EXPECT_EQ(Prepare("Na3;{{" + kr::EncipherMacroText("Lp=ABCDE;Lo") + "}};MB"), "Na3;Lp=ABCDE;Lo;MB");
  // A block that is not ours sends nothing; an unclosed "{{" stays as it is.
  EXPECT_EQ(Prepare("MB;{{not ours}}MD"), "MB;MD");
  EXPECT_EQ(Prepare("MB;{{x"), "MB;{{x");
}

TEST_F(MacroTextTest, ScriptFilesAreReadFromTheDirectoryAndCutAt2048Bytes) {
  WriteFile("set.krs", "Na3; // recorder 3\r\nMB;\r\n");
  EXPECT_EQ(Prepare("Script:  set.krs "), "Na3;MB");
  WriteFile("long.krs", std::string(2040, 'A') + ";BBBBBBBBBBBB");
  EXPECT_EQ(Prepare("Script:long.krs"), std::string(2040, 'A') + ";BBBBBBB");
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(MacroTextTest, MissingScriptFileGives433AndNothing) {
  EXPECT_EQ(Prepare("Script: gone.krs"), "");
  ASSERT_EQ(ui.MessageIds(), std::vector<int>{433});
  EXPECT_EQ(ui.messages[0].text, "Cant open file gone.krs.");
}

TEST_F(MacroTextTest, TextsOverFiftyThousandCharactersAreRefusedWith432) {
  EXPECT_EQ(Prepare(std::string(50000, 'M')).size(), 50000u);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(Prepare(std::string(50001, 'M')), "");
  EXPECT_EQ(ui.MessageIds(), std::vector<int>{432});
}

}  // namespace
}  // namespace tarvik
