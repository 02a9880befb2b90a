#include <gtest/gtest.h>

#include "app_test_support.h"
#include "tarvik/app/serial_ports.h"
#include "tarvik/app/tarvik_settings.h"

namespace {

using tarvik::TarvikSettings;
using tarvik::WindowRect;

// The file a first start writes, typed from the table of keys and defaults.
std::string FirstStartFile(const std::string& root) {
  std::string text =
      "[Monitoring]\r\n"
      "Language=0\r\n"
      "UsDateFormat=0\r\n"
      "RepositionCursor=1\r\n"
      "COM=1\r\n"
      "BaudRate=115200\r\n"
      "ComPollingTime=40\r\n"
      "ComTimeoutKR=400\r\n"
      "ComTimeoutHCU=400\r\n"
      "ComTimeoutSet=600\r\n"
      "ComTimeoutFp=8000\r\n"
      "InitFileView=0\r\n"
      "AlwaysAskPassword=1\r\n"
      "ActivateCP=1\r\n"
      "ActivateKrNo=1\r\n"
      "ShowFreqDirInfo=0\r\n"
      "ShowWarningBalloons=1\r\n"
      "ParameterPath=" +
      root +
      "/Param\r\n"
      "DataPath=" +
      root +
      "/Data\r\n"
      "TempPath=" +
      root +
      "/Temp\r\n"
      "InstantPath=" +
      root +
      "/Instant\r\n"
      "ConnectPath=" +
      root +
      "\r\n"
      "SuggestDefaultPassword=1\r\n"
      "DateTimeFileNames=0\r\n"
      "LocalTimeCorrection=0\r\n"
      "LocalCorrectionValue=+8\r\n"
      "[FileLink]\r\n"
      "BaudRate=9600\r\n"
      "DialTimeout=60\r\n"
      "ModemTimeout=2000\r\n"
      "[Modem1]\r\n"
      "ModemName=Modem 1\r\n"
      "ModemCom=1\r\n"
      "ModemIni=AT&F;ATE0\r\n"
      "ModemDial=ATDT\r\n"
      "[Modem2]\r\n"
      "ModemName=Modem 2\r\n"
      "ModemCom=1\r\n"
      "ModemIni=AT&F;ATE0\r\n"
      "ModemDial=ATDT\r\n"
      "[TerminalMode]\r\n"
      "BaudRate=115200\r\n"
      "COM=1\r\n"
      "TerminalTimeout=600\r\n"
      "[ControlPanel]\r\n"
      "ControlPanelView=0\r\n"
      "ControlPanelRect=\r\n"
      "[TarvikSize]\r\n"
      "MainRect=\r\n"
      "MainIconic=0\r\n"
      "MainMaximized=0\r\n"
      "[MemoryCard]\r\n"
      "WatchAllDrives=0\r\n"
      "NumRootNameChars=3\r\n"
      "[Listner]\r\n"
      "DefaultHeader=KR Alert\r\n"
      "DownloadEvents=0\r\n"
      "ActuateMessage=KR #PR, event recorded #MI\\z\r\n"
      "ConnectString=hello\r\n"
      "AcknowledgeString=gotit\r\n"
      "[Export]\r\n"
      "Header=1\r\n"
      "Interpreted=1\r\n"
      "Data=1\r\n"
      "ChannelFiles=0\r\n"
      "ChannelMinMax=0\r\n"
      "Average=0\r\n"
      "RootMeasSquare=0\r\n"
      "NotLSB=0\r\n"
      "Trim=0\r\n"
      "TrimFirstLast=0\r\n"
      "FirstSamples=100\r\n"
      "LastSamples=100\r\n"
      "IgnoreFirst=0\r\n"
      "Include=100\r\n"
      "TimeInformation=0\r\n"
      "MiniSeed=0\r\n"
      "MiniSeedNetwork=XX\r\n"
      "MiniSeedPhysical=0\r\n"
      "[LocalEventsHistory]\r\n"
      "Path0=\r\n"
      "Path1=\r\n"
      "Path2=\r\n"
      "Path3=\r\n"
      "Path4=\r\n"
      "[SerialPorts]\r\n";
  for (int n = 1; n <= 16; ++n)
    text += "COM" + std::to_string(n) + "=/dev/ttyS" + std::to_string(n - 1) + "\r\n";
  text += "[Recent File List]\r\n[Help]\r\nHomePage=\r\nSupportPage=\r\nVersionPage=\r\n";
  return text;
}

TEST(Settings, FirstStartWritesEveryKeyWithItsDefaultInFileOrder) {
  apptest::TempDir dir;
  const auto root = dir.path() / "Tarvik";
  tarvik::SettingsFile file(dir.path() / "Tarvik.ini", root);
  EXPECT_FALSE(file.existed());
  ASSERT_TRUE(file.Save());
  EXPECT_EQ(apptest::ReadText(dir.path() / "Tarvik.ini"), FirstStartFile(root.string()));
}

// Every key of every section read from a file with values other than the defaults.
TEST(Settings, ReadsEverySectionOfAFullFile) {
  kr::IniFile ini = kr::IniFile::Parse(
      "[Monitoring]\nLanguage=3\nUsDateFormat=1\nRepositionCursor=0\nCOM=4\nBaudRate=38400\nComPollingTime="
      "20\n"
      "ComTimeoutKR=500\nComTimeoutHCU=600\nComTimeoutSet=700\nComTimeoutFp=9000\nInitFileView=1\n"
      "AlwaysAskPassword=0\nActivateCP=0\nActivateKrNo=5\nShowFreqDirInfo=1\nShowWarningBalloons=0\n"
      "ParameterPath=/p\nDataPath=/d\nTempPath=/t\nInstantPath=/i\nConnectPath=/c\nSuggestDefaultPassword=0\n"
      "DateTimeFileNames=1\nLocalTimeCorrection=1\nLocalCorrectionValue=-5\n"
      "[FileLink]\nBaudRate=19200\nDialTimeout=90\nModemTimeout=3000\n"
      "[Modem1]\nModemName=Office\nModemCom=5\nModemIni=ATZ\nModemDial=ATDP\n"
      "[Modem2]\nModemName=GSM\nModemCom=6\nModemIni=AT&F;AT+CBST=7\nModemDial=ATD\n"
      "[TerminalMode]\nBaudRate=4800\nCOM=7\nTerminalTimeout=900\n"
      "[ControlPanel]\nControlPanelView=1\nControlPanelRect=0100 0200 0500 0600\n"
      "[TarvikSize]\nMainRect=0010 0020 0800 0700\nMainIconic=1\nMainMaximized=1\n"
      "[MemoryCard]\nWatchAllDrives=1\nNumRootNameChars=2\n"
      "[Listner]\nDefaultHeader=Site A\nDownloadEvents=1\nActuateMessage=#PR\\z\nConnectString=hi\n"
      "AcknowledgeString=ok\n"
      "[Export]\nHeader=0\nInterpreted=0\nData=0\nChannelFiles=1\nChannelMinMax=1\nAverage=1\nRootMeasSquare="
      "1\n"
      "NotLSB=1\nTrim=1\nTrimFirstLast=1\nFirstSamples=7\nLastSamples=8\nIgnoreFirst=9\nInclude=10\n"
      "TimeInformation=1\nMiniSeed=1\nMiniSeedNetwork=KR\nMiniSeedPhysical=1\n"
      "[LocalEventsHistory]\nPath0=/e0\nPath4=/e4\n"
      "[SerialPorts]\nCOM2=/dev/ttyUSB0\nCOM16=/dev/serial/by-id/usb-kr\n");
  TarvikSettings s = tarvik::ReadSettings(ini, "/root");
  EXPECT_EQ(s.language, 3);
  EXPECT_EQ(s.us_date_format, 1);
  EXPECT_EQ(s.reposition_cursor, 0);
  EXPECT_EQ(s.com, 4);
  EXPECT_EQ(s.baud_rate, 38400);
  EXPECT_EQ(s.com_polling_time, 20);
  EXPECT_EQ(s.com_timeout_kr, 500);
  EXPECT_EQ(s.com_timeout_hcu, 600);
  EXPECT_EQ(s.com_timeout_set, 700);
  EXPECT_EQ(s.com_timeout_fp, 9000);
  EXPECT_EQ(s.init_file_view, 1);
  EXPECT_EQ(s.always_ask_password, 0);
  EXPECT_EQ(s.activate_cp, 0);
  EXPECT_EQ(s.activate_kr_no, 5);
  EXPECT_EQ(s.show_freq_dir_info, 1);
  EXPECT_EQ(s.show_warning_balloons, 0);
  EXPECT_EQ(s.parameter_path, "/p");
  EXPECT_EQ(s.data_path, "/d");
  EXPECT_EQ(s.temp_path, "/t");
  EXPECT_EQ(s.instant_path, "/i");
  EXPECT_EQ(s.connect_path, "/c");
  EXPECT_EQ(s.suggest_default_password, 0);
  EXPECT_EQ(s.date_time_file_names, 1);
  EXPECT_EQ(s.local_time_correction, 1);
  EXPECT_EQ(s.local_correction_value, "-5");
  EXPECT_EQ(s.file_link_baud_rate, 19200);
  EXPECT_EQ(s.dial_timeout, 90);
  EXPECT_EQ(s.modem_timeout, 3000);
  EXPECT_EQ(s.modem1.modem_name, "Office");
  EXPECT_EQ(s.modem1.modem_com, 5);
  EXPECT_EQ(s.modem1.modem_ini, "ATZ");
  EXPECT_EQ(s.modem1.modem_dial, "ATDP");
  EXPECT_EQ(s.modem2.modem_name, "GSM");
  EXPECT_EQ(s.modem2.modem_com, 6);
  EXPECT_EQ(s.modem2.modem_ini, "AT&F;AT+CBST=7");
  EXPECT_EQ(s.modem2.modem_dial, "ATD");
  EXPECT_EQ(s.terminal_baud_rate, 4800);
  EXPECT_EQ(s.terminal_com, 7);
  EXPECT_EQ(s.terminal_timeout, 900);
  EXPECT_EQ(s.control_panel_view, 1);
  EXPECT_EQ(s.control_panel_rect, (WindowRect{100, 200, 500, 600}));
  EXPECT_EQ(s.main_rect, (WindowRect{10, 20, 800, 700}));
  EXPECT_EQ(s.main_iconic, 1);
  EXPECT_EQ(s.main_maximized, 1);
  EXPECT_EQ(s.watch_all_drives, 1);
  EXPECT_EQ(s.num_root_name_chars, 2);
  EXPECT_EQ(s.default_header, "Site A");
  EXPECT_EQ(s.download_events, 1);
  EXPECT_EQ(s.actuate_message, "#PR\\z");
  EXPECT_EQ(s.connect_string, "hi");
  EXPECT_EQ(s.acknowledge_string, "ok");
  const tarvik::ExportOptions e = tarvik::ExportOptionsOf(s);
  EXPECT_EQ(e.Header, 0);
  EXPECT_EQ(e.Interpreted, 0);
  EXPECT_EQ(e.Data, 0);
  EXPECT_EQ(e.ChannelFiles, 1);
  EXPECT_EQ(e.ChannelMinMax, 1);
  EXPECT_EQ(e.Average, 1);
  EXPECT_EQ(e.RootMeasSquare, 1);
  EXPECT_EQ(e.NotLSB, 1);
  EXPECT_EQ(e.Trim, 1);
  EXPECT_EQ(e.TrimFirstLast, 1);
  EXPECT_EQ(e.FirstSamples, 7);
  EXPECT_EQ(e.LastSamples, 8);
  EXPECT_EQ(e.IgnoreFirst, 9);
  EXPECT_EQ(e.Include, 10);
  EXPECT_EQ(e.TimeInformation, 1);
  EXPECT_EQ(e.UsDateFormat, 1);  // from [Monitoring]
  EXPECT_EQ(s.mini_seed.MiniSeed, 1);
  EXPECT_EQ(s.mini_seed.MiniSeedNetwork, "KR");
  EXPECT_EQ(s.mini_seed.MiniSeedPhysical, 1);
  EXPECT_EQ(s.local_events_history[0], "/e0");
  EXPECT_EQ(s.local_events_history[1], "");
  EXPECT_EQ(s.local_events_history[4], "/e4");
  EXPECT_EQ(s.serial_ports.DevicePath(1), "/dev/ttyS0");
  EXPECT_EQ(s.serial_ports.DevicePath(2), "/dev/ttyUSB0");
  EXPECT_EQ(s.serial_ports.DevicePath(16), "/dev/serial/by-id/usb-kr");
}

TEST(Settings, HandEditedFileKeepsCommentsSpellingAndUnknownKeysOnRewrite) {
  apptest::TempDir dir;
  const auto path = dir.path() / "Tarvik.ini";
  apptest::WriteText(path,
                     "; field laptop, edited by hand\r\n"
                     "[monitoring]\r\n"
                     "  comPollingTime = 50  \r\n"
                     "; German for the site crew\r\n"
                     "LANGUAGE=1\r\n"
                     "DataPath=/srv/kr data\r\n"
                     "[SERIALPORTS]\r\n"
                     "; the USB adapter\r\n"
                     "com2=/dev/ttyUSB0\r\n"
                     "COM17=/dev/ttyUSB9\r\n"
                     "[Site]\r\n"
                     "Owner=Operations\r\n");
  tarvik::SettingsFile file(path, dir.path());
  ASSERT_TRUE(file.existed());
  EXPECT_EQ(file.settings().com_polling_time, 50);
  EXPECT_EQ(file.settings().language, 1);
  EXPECT_EQ(file.settings().data_path, "/srv/kr data");
  EXPECT_EQ(file.settings().serial_ports.DevicePath(2), "/dev/ttyUSB0");

  file.settings().com_timeout_kr = 700;
  ASSERT_TRUE(file.Save());
  const std::string text = apptest::ReadText(path);
  EXPECT_TRUE(
      text.starts_with("; field laptop, edited by hand\r\n"
                       "[monitoring]\r\n"
                       "comPollingTime=50\r\n"
                       "; German for the site crew\r\n"
                       "LANGUAGE=1\r\n"
                       "DataPath=/srv/kr data\r\n"
                       "UsDateFormat=0\r\n"))
      << text;
  EXPECT_NE(text.find("ComTimeoutKR=700\r\n"), std::string::npos);
  EXPECT_NE(text.find("[SERIALPORTS]\r\n; the USB "
                      "adapter\r\ncom2=/dev/ttyUSB0\r\nCOM17=/dev/ttyUSB9\r\nCOM1=/dev/ttyS0\r\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("[Site]\r\nOwner=Operations\r\n"), std::string::npos);
  // No section is written twice under another spelling.
  EXPECT_EQ(text.find("[Monitoring]"), std::string::npos);
  EXPECT_EQ(text.find("[SerialPorts]"), std::string::npos);
  EXPECT_EQ(text.find("\r\nCOM2="), std::string::npos);
}

TEST(Settings, DirectoriesEmptyMeansDefaultAndRelativeMeansBelowTheDataRoot) {
  kr::IniFile ini = kr::IniFile::Parse("[Monitoring]\nDataPath=\nTempPath=scratch/tmp\n");
  TarvikSettings s = tarvik::ReadSettings(ini, "/home/op/Documents/Tarvik");
  EXPECT_EQ(s.data_path, "/home/op/Documents/Tarvik/Data");
  EXPECT_EQ(s.temp_path, "/home/op/Documents/Tarvik/scratch/tmp");
  EXPECT_EQ(s.parameter_path, "/home/op/Documents/Tarvik/Param");
  EXPECT_EQ(s.instant_path, "/home/op/Documents/Tarvik/Instant");
  EXPECT_EQ(s.connect_path, "/home/op/Documents/Tarvik");
  EXPECT_EQ(tarvik::ViewDownloadDirectory(s), "/home/op/Documents/Tarvik/scratch/tmp/$tp");
}

TEST(Settings, ListenerValuesAreWrittenBackUnchanged) {
  kr::IniFile ini = kr::IniFile::Parse(
      "[Listner]\nDefaultHeader=Quarry 7 Alert\nDownloadEvents=3\nActuateMessage=KR #PR at #TI, max "
      "#MA\\z\\n\n"
      "ConnectString=HELO kr\nAcknowledgeString=ACK;ACK\n");
  TarvikSettings s = tarvik::ReadSettings(ini, "/r");
  kr::IniFile out;
  tarvik::WriteSettings(s, out);
  EXPECT_EQ(out.Section("Listner"),
            (std::vector<kr::IniFile::KeyValue>{{"DefaultHeader", "Quarry 7 Alert"},
                                                {"DownloadEvents", "3"},
                                                {"ActuateMessage", "KR #PR at #TI, max #MA\\z\\n"},
                                                {"ConnectString", "HELO kr"},
                                                {"AcknowledgeString", "ACK;ACK"}}));
}

TEST(Settings, RectanglesAreFourZeroPaddedNumbersOrNothing) {
  EXPECT_EQ(tarvik::FormatWindowRect(WindowRect{12, 34, 1000, 700}), "0012 0034 1000 0700");
  EXPECT_EQ(tarvik::FormatWindowRect(WindowRect{-8, -8, 1928, 1048}), "-008 -008 1928 1048");
  EXPECT_EQ(tarvik::FormatWindowRect(std::nullopt), "");
  EXPECT_EQ(tarvik::ParseWindowRect("-008 -008 1928 1048"), (WindowRect{-8, -8, 1928, 1048}));
  EXPECT_EQ(tarvik::ParseWindowRect(" 0012  0034 1000 0700 "), (WindowRect{12, 34, 1000, 700}));
  for (const char* bad : {"", "12 34 56", "1 2 3 4 5", "1 2 3 x", "1,2,3,4", "99999999999 1 2 3"}) {
    EXPECT_EQ(tarvik::ParseWindowRect(bad), std::nullopt) << bad;
  }
}

TEST(SerialPorts, ComNumbersMapToDevices) {
  tarvik::SerialPortMap map;
  EXPECT_EQ(map.DevicePath(1), "/dev/ttyS0");
  EXPECT_EQ(map.DevicePath(16), "/dev/ttyS15");
  EXPECT_EQ(map.DevicePath(20), "/dev/ttyS19");
  EXPECT_EQ(map.DevicePath(0), "");
  map.SetDevicePath(3, "/dev/ttyACM0");
  map.SetDevicePath(17, "/dev/ignored");
  EXPECT_EQ(map.DevicePath(3), "/dev/ttyACM0");
  EXPECT_EQ(map.DevicePath(17), "/dev/ttyS16");
}

TEST(SerialPorts, ListsTheSerialDevicesPresentInNaturalOrder) {
  apptest::TempDir dir;
  const auto dev = dir.path();
  for (const char* name :
       {"ttyS10", "ttyS2", "ttyS0", "ttyUSB1", "ttyUSB0", "ttyACM0", "tty0", "null", "ttyprintk"}) {
    apptest::WriteText(dev / name, "");
  }
  std::filesystem::create_directories(dev / "serial" / "by-id");
  apptest::WriteText(dev / "serial" / "by-id" / "usb-FTDI_KR-if00-port0", "");
  const std::string d = dev.string();
  EXPECT_EQ(tarvik::ListSerialDevices(dev),
            (std::vector<std::string>{d + "/serial/by-id/usb-FTDI_KR-if00-port0", d + "/ttyS0", d + "/ttyS2",
                                      d + "/ttyS10", d + "/ttyUSB0", d + "/ttyUSB1", d + "/ttyACM0"}));
  EXPECT_TRUE(tarvik::ListSerialDevices(dev / "missing").empty());
}

}  // namespace
