#include "tarvik/app/connection_document.h"

#include <gtest/gtest.h>

#include <climits>

#include "app_test_support.h"
#include "tarvik/app/connection_editor.h"
#include "tarvik/resources/tarvik_strings.h"

namespace {

namespace fs = std::filesystem;
using tarvik::ConnectionRecord;

// Made with Python's struct.pack('<6I', 7, 19200, 3, 4, 45, 1500) and NUL-padded texts: dial "ATDP",
// init "ATZ;ATX3", phone "0049 30 1234567", IP "192.168.10.200", port 5001, host flag 1, host
// "recorder.example"; 261 bytes.
const char* kVersion7Hex =
    "6b726307000000004b000003000000040000002d000000dc050000415444500000000000000000000000000000000041"
    "545a3b415458330000000000000000000000000000000000000000000000000000000000000000000000000000000000"
    "00303034392033302031323334353637000000000000000000000000000000000000000000000000003139322e313638"
    "2e31302e3230300089130000010000007265636f726465722e6578616d706c6500000000000000000000000000000000"
    "000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
    "000000000000000000000000000000000000000000";

// struct.pack('<6I', 1, 9600, 2, 2, 60, 2000) + "ATDT"/20 + "AT&F"/50 + "12345"/40: 137 bytes.
const char* kVersion1Hex =
    "6b7263010000008025000002000000020000003c000000d0070000415444540000000000000000000000000000000041"
    "542646000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
    "0031323334350000000000000000000000000000000000000000000000000000000000000000000000";

ConnectionRecord Version7Record() {
  ConnectionRecord r;
  r.version = 7;
  r.baud = 19200;
  r.com_port = 3;
  r.link_kind = tarvik::LinkKind::kTcp;
  r.dial_timeout = 45;
  r.connection_timeout = 1500;
  r.dial_command = "ATDP";
  r.modem_init = "ATZ;ATX3";
  r.phone_number = "0049 30 1234567";
  r.ip_address = "192.168.10.200";
  r.ip_port = 5001;
  r.use_host_name = 1;
  r.host_name = "recorder.example";
  return r;
}

tarvik::HostResolver FakeResolver() {
  return [](const std::string& host) -> std::optional<std::string> {
    if (host == "recorder.example") return "10.1.2.3";
    return std::nullopt;
  };
}

class ConnectionFileTest : public ::testing::Test {
 protected:
  fs::path Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    fs::path path = dir_.path() / name;
    apptest::WriteBytes(path, bytes);
    return path;
  }

  std::optional<tarvik::ConnectionDocument> Load(const fs::path& path,
                                                 const tarvik::HostResolver& resolver = FakeResolver()) {
    return tarvik::LoadConnectionDocument(path, settings_, resolver, ui_, strings_);
  }

  apptest::TempDir dir_;
  kr::StringTable strings_ = tarvik::MakeTarvikStringTable();
  apptest::FakeUi ui_;
  tarvik::TarvikSettings settings_ = tarvik::DefaultSettings("/r");
};

TEST_F(ConnectionFileTest, ReadsAVersion7FileFieldByField) {
  auto record = tarvik::ReadConnectionFile(Write("site.krc", apptest::FromHex(kVersion7Hex)), ui_, strings_);
  ASSERT_TRUE(record);
  EXPECT_EQ(*record, Version7Record());
  EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(ConnectionFileTest, OpeningResolvesTheHostNameIntoTheAddress) {
  auto doc = Load(Write("site.krc", apptest::FromHex(kVersion7Hex)));
  ASSERT_TRUE(doc);
  EXPECT_EQ(doc->path, dir_.path() / "site.krc");
  EXPECT_EQ(doc->record.ip_address, "10.1.2.3");
  EXPECT_EQ(doc->record.com_port, 3);  // TCP keeps the file's values
  EXPECT_EQ(doc->record.dial_command, "ATDP");
}

TEST_F(ConnectionFileTest, UnresolvableHostKeepsTheAddressOfTheFile) {
  auto doc = Load(Write("site.krc", apptest::FromHex(kVersion7Hex)),
                  [](const std::string&) -> std::optional<std::string> { return std::nullopt; });
  ASSERT_TRUE(doc);
  EXPECT_EQ(doc->record.ip_address, "192.168.10.200");
  EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(ConnectionFileTest, Version1FileLoadsWithoutNetworkFields) {
  auto doc = Load(Write("old.krc", apptest::FromHex(kVersion1Hex)));
  ASSERT_TRUE(doc);
  EXPECT_TRUE(ui_.shown.empty());
  EXPECT_EQ(doc->record.version, 1);
  EXPECT_EQ(doc->record.baud, 9600);
  EXPECT_EQ(doc->record.com_port, 2);
  EXPECT_EQ(doc->record.link_kind, tarvik::LinkKind::kSerial);
  EXPECT_EQ(doc->record.dial_timeout, 60);
  EXPECT_EQ(doc->record.connection_timeout, 2000);
  EXPECT_EQ(doc->record.dial_command, "ATDT");
  EXPECT_EQ(doc->record.modem_init, "AT&F");
  EXPECT_EQ(doc->record.phone_number, "12345");
  EXPECT_EQ(doc->record.ip_address, "");
  EXPECT_EQ(doc->record.ip_port, 0);
  EXPECT_EQ(doc->record.use_host_name, 0);
}

TEST_F(ConnectionFileTest, ModemKindsTakePortAndTextsFromTheirModemDefinition) {
  settings_.modem1 = {"Office", 7, "ATZ;AT&K3", "ATDP"};
  settings_.modem2 = {"GSM", 9, std::string(60, 'I'), "ATD0123456789012345678"};
  std::vector<uint8_t> bytes = apptest::FromHex(kVersion1Hex);
  bytes[15] = 0;  // link kind 0: Modem 1
  auto doc = Load(Write("m1.krc", bytes));
  ASSERT_TRUE(doc);
  EXPECT_EQ(doc->record.com_port, 7);
  EXPECT_EQ(doc->record.modem_init, "ATZ;AT&K3");
  EXPECT_EQ(doc->record.dial_command, "ATDP");
  EXPECT_EQ(doc->record.phone_number, "12345");
  EXPECT_EQ(doc->record.baud, 9600);

  bytes[15] = 1;  // Modem 2; its texts are cut to the field widths
  doc = Load(Write("m2.krc", bytes));
  ASSERT_TRUE(doc);
  EXPECT_EQ(doc->record.com_port, 9);
  EXPECT_EQ(doc->record.modem_init, std::string(50, 'I'));
  EXPECT_EQ(doc->record.dial_command, "ATD01234567890123456");

  bytes[15] = 3;  // handled like a modem by the engine, but keeps the file's values
  doc = Load(Write("m3.krc", bytes));
  ASSERT_TRUE(doc);
  EXPECT_EQ(doc->record.com_port, 2);
  EXPECT_EQ(doc->record.modem_init, "AT&F");
}

TEST_F(ConnectionFileTest, WrongMagicOrVersionIsNotAConnectionFile) {
  std::vector<uint8_t> v8 = apptest::FromHex(kVersion7Hex);
  v8[3] = 8;
  std::vector<uint8_t> v0 = apptest::FromHex(kVersion7Hex);
  v0[3] = 0;
  std::vector<uint8_t> huge = apptest::FromHex(kVersion7Hex);
  huge[6] = 0x01;  // version 0x01000007
  std::vector<uint8_t> magic = apptest::FromHex(kVersion7Hex);
  magic[0] = 'K';
  for (const auto& bytes : {v8, v0, huge, magic}) {
    ui_.shown.clear();
    const fs::path path = Write("bad.krc", bytes);
    EXPECT_FALSE(Load(path));
    ASSERT_EQ(ui_.shown.size(), 1u);
    EXPECT_EQ(ui_.shown[0].id, 513);
    EXPECT_EQ(ui_.shown[0].icon, tarvik::MessageIcon::kWarning);
    EXPECT_EQ(ui_.shown[0].text, "The file \"" + path.string() + "\" is not a proper KR Connection File.");
  }
}

TEST_F(ConnectionFileTest, EveryTruncationIsRefusedWithoutReadingPastTheEnd) {
  const std::vector<uint8_t> v7 = apptest::FromHex(kVersion7Hex);
  const std::vector<uint8_t> v1 = apptest::FromHex(kVersion1Hex);
  ASSERT_EQ(v7.size(), 261u);
  ASSERT_EQ(v1.size(), 137u);
  for (size_t n = 0; n < v7.size(); ++n) {
    // A copy of exactly n bytes, so a sanitizer sees any read past it.
    std::vector<uint8_t> part(v7.begin(), v7.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_FALSE(tarvik::ParseConnectionRecord(part)) << n;
  }
  for (size_t n = 0; n < v1.size(); ++n) {
    std::vector<uint8_t> part(v1.begin(), v1.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_FALSE(tarvik::ParseConnectionRecord(part)) << n;
  }
  // A version-2 file is the version-1 part, the address and the port.
  std::vector<uint8_t> v2(v7.begin(), v7.begin() + 156);
  v2[3] = 2;
  auto record = tarvik::ParseConnectionRecord(v2);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->ip_address, "192.168.10.200");
  EXPECT_EQ(record->ip_port, 5001);
  EXPECT_EQ(record->host_name, "");

  const fs::path path = Write("short.krc", std::vector<uint8_t>(v7.begin(), v7.begin() + 200));
  EXPECT_FALSE(Load(path));
  EXPECT_EQ(ui_.Ids(), std::vector<int>{513});
}

TEST_F(ConnectionFileTest, TextsWithoutTerminatorStopAtTheirField) {
  std::vector<uint8_t> bytes = apptest::FromHex(kVersion7Hex);
  std::fill(bytes.begin() + 27, bytes.begin() + 47, uint8_t{'D'});    // dial command, all 20 bytes
  std::fill(bytes.begin() + 137, bytes.begin() + 152, uint8_t{'9'});  // IP address, all 15 bytes
  std::fill(bytes.begin() + 160, bytes.end(), uint8_t{'h'});          // host name, all 101 bytes
  auto record = tarvik::ParseConnectionRecord(bytes);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->dial_command, std::string(20, 'D'));
  EXPECT_EQ(record->modem_init, "ATZ;ATX3");
  EXPECT_EQ(record->ip_address, std::string(15, '9'));
  EXPECT_EQ(record->ip_port, 5001);
  EXPECT_EQ(record->host_name, std::string(100, 'h'));
}

TEST_F(ConnectionFileTest, HugeFileValuesStayLargeInsteadOfTurningNegative) {
  std::vector<uint8_t> bytes = apptest::FromHex(kVersion7Hex);
  std::fill(bytes.begin() + 15, bytes.begin() + 19, uint8_t{0xFF});  // link kind 0xFFFFFFFF
  auto record = tarvik::ParseConnectionRecord(bytes);
  ASSERT_TRUE(record);
  EXPECT_FALSE(tarvik::IsConnectableLinkKind(record->link_kind));
  EXPECT_EQ(tarvik::ToInt(record->link_kind), INT_MAX);
}

TEST_F(ConnectionFileTest, MissingFileOrFolderIsReported) {
  EXPECT_FALSE(Load(dir_.path() / "nowhere.krc"));
  EXPECT_FALSE(Load(dir_.path()));
  EXPECT_EQ(ui_.Ids(), (std::vector<int>{9400, 9400}));
  EXPECT_EQ(ui_.shown[0].text, "Tarvik can not read the file \"" + (dir_.path() / "nowhere.krc").string() +
                                   "\".\nCheck that it exists and that you may read it.");
}

TEST_F(ConnectionFileTest, WriterProducesTheVersion7BytesAndReadsBack) {
  const std::vector<uint8_t> bytes = tarvik::SerializeConnectionRecord(Version7Record());
  EXPECT_EQ(bytes.size(), 261u);
  EXPECT_EQ(bytes, apptest::FromHex(kVersion7Hex));

  const fs::path path = dir_.path() / "new.krc";
  EXPECT_EQ(tarvik::WriteConnectionFile(path, Version7Record(), ui_, strings_),
            tarvik::WriteOutcome::kWritten);
  EXPECT_EQ(fs::file_size(path), 261u);
  auto back = tarvik::ReadConnectionFile(path, ui_, strings_);
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, Version7Record());
  EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(ConnectionFileTest, WriterAlwaysWritesVersion7AndCutsTextsToTheirFields) {
  ConnectionRecord r = Version7Record();
  r.version = 1;
  r.dial_command = std::string(25, 'D');
  r.host_name = std::string(120, 'h');
  const std::vector<uint8_t> bytes = tarvik::SerializeConnectionRecord(r);
  ASSERT_EQ(bytes.size(), 261u);
  EXPECT_EQ(bytes[3], 7);
  auto back = tarvik::ParseConnectionRecord(bytes);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->dial_command, std::string(20, 'D'));
  EXPECT_EQ(back->modem_init, "ATZ;ATX3");
  EXPECT_EQ(back->host_name, std::string(100, 'h'));
  EXPECT_EQ(bytes[260], 0);  // the 101st byte of the host field
}

TEST_F(ConnectionFileTest, ExistingFileIsOverwrittenOnlyWhenTheUserSaysYes) {
  const fs::path path = dir_.path() / "site.krc";
  apptest::WriteText(path, "old contents");
  ui_.answers = {tarvik::MessageAnswer::kNo};
  EXPECT_EQ(tarvik::WriteConnectionFile(path, Version7Record(), ui_, strings_),
            tarvik::WriteOutcome::kDeclined);
  ASSERT_EQ(ui_.shown.size(), 1u);
  EXPECT_EQ(ui_.shown[0].id, 507);
  EXPECT_EQ(ui_.shown[0].buttons, tarvik::MessageButtons::kYesNo);
  EXPECT_EQ(ui_.shown[0].text,
            "The file \"" + path.string() + "\" already exists!\nDo you wish to overwrite it?");
  EXPECT_EQ(apptest::ReadText(path), "old contents");

  ui_.answers = {tarvik::MessageAnswer::kYes};
  EXPECT_EQ(tarvik::WriteConnectionFile(path, Version7Record(), ui_, strings_),
            tarvik::WriteOutcome::kWritten);
  EXPECT_EQ(apptest::ReadBytes(path), apptest::FromHex(kVersion7Hex));
}

TEST_F(ConnectionFileTest, FailedWriteIsReportedAndLeavesNothingBehind) {
  const fs::path path = dir_.path() / "missing-folder" / "site.krc";
  EXPECT_EQ(tarvik::WriteConnectionFile(path, Version7Record(), ui_, strings_),
            tarvik::WriteOutcome::kFailed);
  EXPECT_EQ(ui_.Ids(), std::vector<int>{9401});
  EXPECT_FALSE(fs::exists(dir_.path() / "missing-folder"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()), 0);
}

TEST(SystemHostResolver, NumericAddressResolvesToItself) {
  tarvik::HostResolver resolve = tarvik::SystemHostResolver();
  EXPECT_EQ(resolve("127.0.0.1"), "127.0.0.1");
  EXPECT_EQ(resolve(""), std::nullopt);
}

// The connection editor's model.
class ConnectionEditorTest : public ConnectionFileTest {
 protected:
  void SetUp() override {
    settings_.file_link_baud_rate = 19200;
    settings_.dial_timeout = 75;
    settings_.modem_timeout = 2500;
    settings_.modem1 = {"Office", 5, "ATZ", "ATDP"};
    settings_.modem2 = {"GSM", 6, "AT&F;AT+CBST=7", "ATD"};
  }
};

TEST_F(ConnectionEditorTest, StartsFromTheSettings) {
  tarvik::ConnectionEditorModel editor(settings_);
  EXPECT_EQ(editor.values().baud, 19200);
  EXPECT_EQ(editor.values().com_port, 5);
  EXPECT_EQ(editor.values().dial_timeout, 75);
  EXPECT_EQ(editor.values().connection_timeout, 2500);
  EXPECT_EQ(editor.values().link_kind, tarvik::LinkKind::kModem1);
  EXPECT_EQ(editor.values().dial_command, "ATDP");
  EXPECT_EQ(editor.values().modem_init, "ATZ");
  editor.SelectLinkKind(tarvik::LinkKind::kModem2);
  EXPECT_EQ(editor.values().dial_command, "ATD");
  EXPECT_EQ(editor.values().modem_init, "AT&F;AT+CBST=7");
}

TEST_F(ConnectionEditorTest, PhoneNumbersAreCheckedForModemLinks) {
  tarvik::ConnectionEditorModel editor(settings_);
  struct Case {
    const char* number;
    int message;
  } cases[] = {
      {"", 388},
      {"12345678901234567890123456789012345678901", 388},  // 41 characters
      {"1234567890123456789012345678901234567890", 0},     // 40
      {"+49 (30) 123-45,67", 0},
      {"0W0123P45#", 0},
      {"12a4", 387},
      {"123;ATH", 387},
      {"W,,#", 387},
  };
  for (const Case& c : cases) {
    editor.values().phone_number = c.number;
    auto problem = editor.Validate(strings_);
    if (c.message == 0) {
      EXPECT_FALSE(problem) << c.number;
      continue;
    }
    ASSERT_TRUE(problem) << c.number;
    EXPECT_EQ(problem->field, tarvik::ConnectionEditorModel::Field::kPhoneNumber);
    EXPECT_EQ(problem->message_id, c.message) << c.number;
  }
  editor.values().phone_number = "12a4";
  EXPECT_EQ(editor.Validate(strings_)->text, "No valid phone nummber.");
  editor.values().phone_number = "";
  EXPECT_EQ(editor.Validate(strings_)->text, "No valid phone nummber length.");

  editor.SelectLinkKind(tarvik::LinkKind::kSerial);  // no dialling, no number needed
  EXPECT_FALSE(editor.Validate(strings_));
}

TEST_F(ConnectionEditorTest, TcpNeedsAPort) {
  tarvik::ConnectionEditorModel editor(settings_);
  editor.SelectLinkKind(tarvik::LinkKind::kTcp);
  auto problem = editor.Validate(strings_);
  ASSERT_TRUE(problem);
  EXPECT_EQ(problem->field, tarvik::ConnectionEditorModel::Field::kIpPort);
  EXPECT_EQ(problem->text, "Invalid value (must be within 1 and 65535)");
  editor.values().ip_port = 5001;
  EXPECT_FALSE(editor.Validate(strings_));
}

TEST_F(ConnectionEditorTest, AddressControlNumbers) {
  tarvik::ConnectionEditorModel editor(settings_);
  editor.SetIpAddress(192, 168, 300, -1);
  EXPECT_EQ(editor.values().ip_address, "192.168.255.0");
  EXPECT_EQ(editor.IpAddressParts(), (std::array<int, 4>{192, 168, 255, 0}));
  editor.values().ip_address = "10.0.0";
  EXPECT_EQ(editor.IpAddressParts(), (std::array<int, 4>{0, 0, 0, 0}));
}

TEST_F(ConnectionEditorTest, SaveWritesTheFileAndConnectsToTheResolvedHost) {
  tarvik::ConnectionEditorModel editor(settings_);
  editor.SelectLinkKind(tarvik::LinkKind::kTcp);
  editor.SetIpAddress(192, 168, 10, 200);
  editor.values().ip_port = 5001;
  editor.values().use_host_name = 1;
  editor.values().host_name = "recorder.example";
  const fs::path path = dir_.path() / "tcp.krc";
  EXPECT_EQ(editor.Save(path, FakeResolver(), ui_, strings_),
            tarvik::ConnectionEditorModel::SaveOutcome::kSaved);
  ASSERT_TRUE(editor.document());
  EXPECT_EQ(editor.document()->path, path);
  EXPECT_EQ(editor.document()->record.link_kind, tarvik::LinkKind::kTcp);
  EXPECT_EQ(editor.document()->record.ip_address, "10.1.2.3");
  auto stored = tarvik::ReadConnectionFile(path, ui_, strings_);
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->version, 7);
  EXPECT_EQ(stored->ip_address, "192.168.10.200");  // the file keeps what was typed
  EXPECT_EQ(stored->host_name, "recorder.example");
  EXPECT_EQ(stored->baud, 19200);
  EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(ConnectionEditorTest, SaveRefusesInvalidValuesAndHonoursNo) {
  tarvik::ConnectionEditorModel editor(settings_);
  const fs::path path = dir_.path() / "modem.krc";
  EXPECT_EQ(editor.Save(path, FakeResolver(), ui_, strings_),
            tarvik::ConnectionEditorModel::SaveOutcome::kInvalid);
  EXPECT_FALSE(fs::exists(path));

  editor.values().phone_number = "0123 456";
  apptest::WriteText(path, "keep me");
  ui_.answers = {tarvik::MessageAnswer::kNo};
  EXPECT_EQ(editor.Save(path, FakeResolver(), ui_, strings_),
            tarvik::ConnectionEditorModel::SaveOutcome::kDeclined);
  EXPECT_EQ(apptest::ReadText(path), "keep me");
  EXPECT_FALSE(editor.document());
}

TEST_F(ConnectionEditorTest, LoadsAnExistingFileAsItStands) {
  tarvik::ConnectionEditorModel editor(settings_);
  std::vector<uint8_t> bytes = apptest::FromHex(kVersion1Hex);
  bytes[15] = 0;  // Modem 1, but the editor shows the file's own texts
  ASSERT_TRUE(editor.LoadExisting(Write("old.krc", bytes), ui_, strings_));
  EXPECT_EQ(editor.values().com_port, 2);
  EXPECT_EQ(editor.values().modem_init, "AT&F");
  EXPECT_EQ(editor.values().phone_number, "12345");

  EXPECT_FALSE(editor.LoadExisting(Write("bad.krc", {'k', 'r', 'c', 9, 0, 0, 0}), ui_, strings_));
  EXPECT_EQ(ui_.Ids(), std::vector<int>{513});
  EXPECT_EQ(editor.values().phone_number, "12345");
}

}  // namespace
