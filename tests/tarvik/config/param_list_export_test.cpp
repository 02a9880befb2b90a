#include "tarvik/config/param_list_export.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tarvik/protocol/command_table.h"
#include "tarvik/resources/tarvik_strings.h"

namespace tarvik {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The expected files are plain UTF-8 with LF; on disk the list is UTF-16LE with a BOM and CR LF.
// This encoder knows the Basic Multilingual Plane only, which is all the lists use.
std::string ExpectedFileBytes(const std::string& utf8_lf) {
  std::string out = "\xFF\xFE";
  auto put = [&out](unsigned unit) {
    out.push_back(static_cast<char>(unit & 0xFF));
    out.push_back(static_cast<char>(unit >> 8));
  };
  for (std::size_t i = 0; i < utf8_lf.size();) {
    const auto c = static_cast<unsigned char>(utf8_lf[i]);
    unsigned code = c;
    std::size_t length = 1;
    if (c >= 0xE0) {
      code = ((c & 0x0Fu) << 12) | ((utf8_lf[i + 1] & 0x3Fu) << 6) | (utf8_lf[i + 2] & 0x3Fu);
      length = 3;
    } else if (c >= 0xC0) {
      code = ((c & 0x1Fu) << 6) | (utf8_lf[i + 1] & 0x3Fu);
      length = 2;
    }
    if (code == '\n') put('\r');
    put(code);
    i += length;
  }
  return out;
}

// Recorder A: every command known (firmware outside the type table), option bits 8, 11, 14, 15 set.
KrParams RecorderA() {
  KrParams k;
  k.device_type = kNoDeviceType;
  auto list = [](auto& target, std::initializer_list<int> values) {
    int i = 0;
    for (int v : values) target[static_cast<std::size_t>(i++)].value = v;
    target.count = i;
  };
  k.PR.value = "Station A";
  k.AA.value = 100;
  k.AB.value = 101;
  k.AC.value = 102;
  k.AX.value = 200;
  k.AY.value = 201;
  k.AZ.value = 202;
  k.AT.value = 10;
  list(k.AQ, {22, 6});
  k.AH.value = 1;
  list(k.AL, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
  k.AE.value = "Start,Alarm";
  list(k.AD, {1, 2, 3, 4, 5, 6, 7, 8});
  k.Ad[0].value.number = "0301234";
  k.AG.value = "KR,ATDT";
  list(k.AJ, {10, 8, 60, 30, 3600});
  list(k.TR, {400, 410, 420, 1, 1, 0, 2, 2, 2});
  list(k.AR, {2000, 2001, 2002, 5000, 5001, 5002});
  k.TN.value = 2;
  k.TE.value = 3;
  k.TO.value = 5;
  k.TX.value = 300;
  k.TY.value = 301;
  k.TZ.value = 302;
  k.TM.value = 4;
  k.TT.value = 10;
  k.RS.value = 9600;
  k.RT.value = 19200;
  k.RH.value = "Y";
  list(k.PC, {60, 5});
  k.FS.value = 1;
  k.FD.value = 7;
  list(k.FC, {6, 30, 0});
  k.FT.value = 1;
  list(k.PS, {10, 20, 30, 40});
  k.ZD.value = 10;
  list(k.TP, {5, 6, 7, 30, 31, 32, 40, 41, 42, 0, 1, 0});
  list(k.TG, {50, 51, 52});
  k.FG.value = 0;
  list(k.FL, {1000, 1001, 1002});
  list(k.AO, {1, 0, 2});
  list(k.AK1, {0, 100, 100, 100, 50, 50, 50});
  list(k.AK2, {1, 200, 200, 200, 80, 80, 80});
  list(k.AU, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14});
  k.RR.value = "S0042";
  k.KR.value = "YES";
  k.MG.value = "NO";
  k.IA.value = 24;
  k.IR.value = 200;
  list(k.FA, {1, 1, 0});
  k.TC.value = 10;
  k.TW.value = 5;
  k.TL.value = 60;
  k.TI.value = 10;
  k.TD.value = 30;
  k.TF.value = 0;
  k.ZC.value = 1;
  k.TK.value = 60;
  list(k.TJ, {0, 1});
  k.TQ.value = 0;
  k.TU.value = "08:00,17:00";
  k.TV.value = 30;
  list(k.FM, {10, 11, 12, 13, 14, 15, 16, 17});
  list(k.FV, {20, 21, 22, 23, 24, 25, 26, 27});
  list(k.SA, {11500, 3000, 10, 60, 5, 50});
  k.FO.value = 30;
  k.TS.value = "Master";
  k.PT.value = "End";
  k.PH.value = "Head";
  k.IN.value = "SKR4100";
  k.IV.value = 99999;
  k.IF.value = "DSP 3.02";
  k.SO.value = 256 + 2048 + 16384 + 32768;
  k.IB.value = "K1234";
  k.IL.value = 0.0001;
  list(k.IE, {25, 25, -6, -6});
  list(k.IG, {10000, 9950});
  list(k.IO, {3, -4});
  k.IH.value = 2;
  k.IC.value = "X,Y";
  k.IU.value = "mm/s,mm/s";
  list(k.ID, {1, 0});
  list(k.MS, {4096, 512});
  k.IP.value = "KR Systems";
  k.SY.value = "V";
  k.MN.value = 5;
  k.ME.value = 4;
  k.AS.value = "No alarm";
  list(k.ZX, {12, -7});
  k.MU.value = 100;
  k.MQ.value = "done 02.02.24";
  list(k.MX, {0, 0});
  k.IS.value = "Recording";
  k.IT.value = "Idle";
  k.FR.value = 3;
  k.BP.value = 12.65;
  k.BB.value = 3.31;
  k.BC.value = "OK";
  k.BI.value = 3.6;
  k.TA.value = 21.5;
  k.WS.value = "ON";
  k.CT.value = "12:00:00";
  k.CD.value = "01.02.24";
  k.DT.value = "05:00:00";
  k.DD.value = "21.03.24";
  k.DS.value = "Y";
  k.PL.value = 47.5012;
  k.PO.value = 9.1234;
  k.PE.value = 512;
  list(k.FF, {0, 0, 0, 0, 0, 1, 0, 0});
  k.FE.value = 0;
  k.FW.value = 4;
  list(k.AV, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  k.WL.value = 1;
  k.DM.value = 0;
  k.MB.value = 5;
  k.SC.value = "A7C3";
  return k;
}

// Recorder B: the same values on a type 12 recorder (S, firmware 32010-32069), which lacks among
// others AQ, PC, TP, TG, AJ, FL, IG, TR, AR, TU, AU and AO, with option bits 8, 11, 14, 15 clear.
KrParams RecorderB() {
  KrParams k = RecorderA();
  k.device_type = 12;
  k.IV.value = 32050;
  k.SO.value = 1 + 512;
  return k;
}

HcuInfo ControlUnit(int login_level) {
  HcuInfo h;
  auto list = [](auto& target, std::initializer_list<int> values) {
    int i = 0;
    for (int v : values) target[static_cast<std::size_t>(i++)].value = v;
    target.count = i;
  };
  h.LL.value = login_level;
  h.NN.value = "HCU4100";
  h.NC.value = 2;
  h.NS.value = 'Y';
  h.NT.value = "10:11:12";
  h.ND.value = "03.04.24";
  h.NX.value = 'N';
  list(h.NM, {1, 2});
  h.NO.value = 'Y';
  list(h.NH, {3, 0});
  list(h.NL, {0, 3});
  list(h.NZ, {10, 10, 0});
  list(h.QZ, {0, 1, 2});
  h.QL1.value = "no entries";
  h.QL2.value = "Call 112";
  h.NP.value = "KR Systems";
  h.QB.value = "H0007";
  h.QV.value = 41020;
  h.XR.value = "12.01.24,08:15:00";
  list(h.QN, {4, 9});
  h.RS.value = 19200;
  h.XH.value = 'N';
  list(h.NK, {7, 1});
  list(h.QC, {5, 5});
  list(h.XC, {9600, 9600});
  h.XT.value = 0;
  h.XD.value = 250;
  h.QO.value = 60;
  list(h.QJ, {11000, 11500});
  list(h.QK, {1, 0});
  list(h.QP, {24, 6, 5, 0, 3});
  h.XW.value = 1;
  h.QI.value = 255;
  h.QG.value = 127;
  h.QW.masks = {2, 5};
  h.QW.values = {0, 1, 0, 0, 1, 0, 0, 0};
  return h;
}

std::string Expected(const char* name) {
  return ReadBytes(fs::path(KR_CONFIG_TEST_DATA) / name);
}

class ParamListExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kr_param_list_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string WriteAndRead(const std::string& text, const char* name) {
    const fs::path file = dir_ / name;
    EXPECT_TRUE(WriteParamList(file, text));
    return ReadBytes(file);
  }

  kr::StringTable strings_ = MakeTarvikStringTable();
  fs::path dir_;
};

TEST_F(ParamListExportTest, RecorderWithEveryOptionWritesEveryBlock) {
  const KrParams kr = RecorderA();
  const std::string text = BuildRecorderParamList({kr, 2, "TORVE", "1.0.0"}, strings_);
  EXPECT_EQ(WriteAndRead(text, kParamListFileName), ExpectedFileBytes(Expected("param_list_a.txt")));
}

TEST_F(ParamListExportTest, RecorderWithoutOptionsGetsDisabledLinesAndLacksItsTypesCommands) {
  const KrParams kr = RecorderB();
  const std::string text = BuildRecorderParamList({kr, 2, "TORVE", "1.0.0"}, strings_);
  EXPECT_EQ(WriteAndRead(text, kParamListFileName), ExpectedFileBytes(Expected("param_list_b.txt")));
}

TEST_F(ParamListExportTest, ControlUnitAtFactoryLevelListsOptionsAndLed) {
  const HcuInfo hcu = ControlUnit(3);
  const std::string text = BuildHcuParamList({hcu, "1.0.0"}, strings_);
  EXPECT_EQ(WriteAndRead(text, kHcuParamListFileName), ExpectedFileBytes(Expected("hcu_param_list.txt")));
}

TEST_F(ParamListExportTest, ControlUnitBelowFactoryLevelNamesItsLevel) {
  const HcuInfo hcu = ControlUnit(2);
  const std::string text = BuildHcuParamList({hcu, "1.0.0"}, strings_);
  EXPECT_NE(text.find("[NK] Get Options is not applicable (login level 2 instead 3)\r\n[QC]"),
            std::string::npos);
  EXPECT_NE(text.find("[QK] Condition to activate LED is not applicable (login level 2 instead 3)\r\n[QP]"),
            std::string::npos);
}

TEST_F(ParamListExportTest, GermanAndChineseListsUseTheirLanguage) {
  const KrParams kr = RecorderB();
  strings_.SetLanguage(kr::Language::kGerman);
  const std::string german = BuildRecorderParamList({kr, 2, "TORVE", "1.0.0"}, strings_);
  EXPECT_EQ(german.rfind("KR-Parameterexport SKR4100 K1234 - Tarvik 1.0.0\r\n\r\n", 0), 0U);
  EXPECT_NE(german.find("[AL] Alarmierung ist deaktiviert (Optionsbit 8 ist nicht gesetzt)\r\n"),
            std::string::npos);
  strings_.SetLanguage(kr::Language::kChinese);
  const std::string chinese = BuildRecorderParamList({kr, 2, "TORVE", "1.0.0"}, strings_);
  const std::string bytes = WriteAndRead(chinese, kParamListFileName);
  // "KR 参数导出": the two CJK characters as UTF-16LE after the BOM and "KR ".
  EXPECT_EQ(bytes.substr(0, 12), std::string("\xFF\xFEK\0R\0 \0\xC2\x53\x70\x65", 12));
}

TEST_F(ParamListExportTest, AFileThatCannotBeCreatedIsReportedAndNothingIsLeft) {
  EXPECT_FALSE(WriteParamList(dir_ / "missing" / kParamListFileName, "x\r\n"));
  EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

TEST(ParamListReadLists, RecorderListIsFramedByTheRecorderAddressAndHcuListHasNoLogin) {
  const std::vector<int> recorder = RecorderExportReadList();
  ASSERT_GE(recorder.size(), 3U);
  EXPECT_EQ(recorder.front(), cmd::kNa);
  EXPECT_EQ(recorder.back(), cmd::kNa0);
  for (int command : HcuExportReadList()) {
    EXPECT_GE(command, 0);
    EXPECT_LT(command, cmd::kFirstRecorderCommand);
    EXPECT_NE(command, CommandNumber("LL"));
  }
}

}  // namespace
}  // namespace tarvik
