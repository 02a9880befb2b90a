#include "tarvik/config/param_list_export.h"

#include <algorithm>
#include <cmath>
#include <system_error>

#include "krcommon/stdio_file_ex.h"
#include "tarvik/config/param_list_texts.h"
#include "tarvik/protocol/command_table.h"
#include "tarvik/protocol/device_types.h"

namespace tarvik {

namespace {

using namespace export_text;

// A recorder read command by its code (the control unit's rows of the same code come first).
constexpr int Rec(std::string_view code) {
  return FindCommand(code, cmd::kFirstRecorderCommand);
}

// Slot i of a list, 0 beyond what the list can hold: some lines name more elements than a reply
// carried.
template <std::size_t N>
int Slot(const ParamList<N>& list, std::size_t i) {
  return i < N ? list.Value(i) : 0;
}

// Comma-separated items of a text reply; one empty item for an empty text.
std::vector<std::string> SplitText(const std::string& text) {
  std::vector<std::string> items;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(',', start);
    items.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (comma == std::string::npos) return items;
    start = comma + 1;
  }
}

// The first character of a one-letter reply, a blank when there is none.
char FirstChar(const std::string& text) {
  return text.empty() ? ' ' : text.front();
}

std::string CharText(char c) {
  return c == 0 ? std::string() : std::string(1, c);
}

// Collects the lines; each ends in CR LF. Lines of commands the recorder's type lacks are dropped.
class LineWriter {
 public:
  LineWriter(const kr::StringTable& strings, int device_type)
      : strings_(strings), device_type_(device_type) {}

  bool Has(int command) const { return DeviceTypeSupports(device_type_, command); }

  void Raw(const std::string& line) {
    out_ += line;
    out_ += "\r\n";
  }
  void Empty() { out_ += "\r\n"; }
  // A section heading between empty lines.
  void Section(int id) {
    Empty();
    Raw(strings_.Text(id));
    Empty();
  }
  // A line labelled with the read command's code; false (nothing written) when the type lacks it.
  template <typename... Args>
  bool Line(int command, int id, const Args&... args) {
    if (!Has(command)) return false;
    Raw(strings_.Format(id, Code(command), args...));
    return true;
  }

  void Int(int index, int value) { Raw(strings_.Format(kElementInt, index, value)); }
  void Quoted(int index, const std::string& text) { Raw(strings_.Format(kElementQuoted, index, text)); }
  void Text(int index, const std::string& text) { Raw(strings_.Format(kElementText, index, text)); }
  void Decimal4(int index, double value) { Raw(strings_.Format(kElementDecimal4, index, value)); }
  void Decimal5(int index, double value, bool default_mark) {
    std::string line = strings_.Format(kElementDecimal5, index, value);
    if (default_mark) line += strings_.Text(kDefaultValueMark);
    Raw(line);
  }
  void Channel(int channel, int value) { Raw(strings_.Format(kElementChannel, channel, value)); }

  // Heading plus slots [first, first + n) as integer elements numbered from 0.
  template <std::size_t N>
  void IntBlock(int command, int id, const ParamList<N>& list, std::size_t first, std::size_t n) {
    if (!Line(command, id)) return;
    for (std::size_t i = 0; i < n; ++i) Int(static_cast<int>(i), Slot(list, first + i));
  }
  // Heading plus every slot the last read filled.
  template <std::size_t N>
  void IntBlock(int command, int id, const ParamList<N>& list) {
    IntBlock(command, id, list, 0, static_cast<std::size_t>(list.count));
  }
  // Heading plus n slots listed from index n-1 down to 0.
  template <std::size_t N>
  void DescendingBlock(int command, int id, const ParamList<N>& list, int n) {
    if (!Line(command, id)) return;
    for (int i = n - 1; i >= 0; --i) Int(i, Slot(list, static_cast<std::size_t>(i)));
  }
  // Heading plus the comma-separated items of a text, quoted; `n` items (padded with empty ones),
  // or as many as the text holds when n is 0.
  void QuotedBlock(int command, int id, const std::string& text, std::size_t n) {
    if (!Line(command, id)) return;
    std::vector<std::string> items = SplitText(text);
    if (n != 0) items.resize(n);
    for (std::size_t i = 0; i < items.size(); ++i) Quoted(static_cast<int>(i), items[i]);
  }

  std::string Code(int command) const { return std::string(CommandAt(command).code); }
  const kr::StringTable& strings() const { return strings_; }
  std::string Take() { return std::move(out_); }

 private:
  const kr::StringTable& strings_;
  int device_type_;
  std::string out_;
};

// --- The recorder ------------------------------------------------------------------------------

void WriteAlerting(LineWriter& w, const KrParams& k) {
  constexpr int kBit = 8;
  const int alerting_parameters = w.Has(Rec("AJ")) ? Rec("AJ") : Rec("AP");
  if (!k.HasFeature(kBit)) {
    for (int command :
         {Rec("AL"), Rec("AL"), Rec("AE"), Rec("AD"), Rec("AD"), Rec("AG"), alerting_parameters})
      w.Line(command, kAlertingDisabled, kBit);
    return;
  }
  if (w.Line(Rec("AL"), kAlertingActivation0))
    for (int i = 0; i < 8; ++i) w.Int(i, k.AL.Value(static_cast<std::size_t>(2 * i)));
  if (w.Line(Rec("AL"), kAlertingActivation1))
    for (int i = 0; i < 8; ++i) w.Int(i, k.AL.Value(static_cast<std::size_t>(2 * i + 1)));
  w.QuotedBlock(Rec("AE"), kAlertingText, k.AE.value, 8);
  w.IntBlock(Rec("AD"), kAlertingHeader, k.AD, 0, 8);
  if (w.Line(Rec("AD"), kAlertingDestination))
    for (int i = 0; i < 8; ++i) w.Quoted(i, k.Ad[static_cast<std::size_t>(i)].value.number);
  w.QuotedBlock(Rec("AG"), kAlertingDialString, k.AG.value, 6);
  if (alerting_parameters == Rec("AJ")) {
    w.IntBlock(alerting_parameters, kAlertingParameters, k.AJ);
  } else {
    w.IntBlock(alerting_parameters, kAlertingParameters, k.AP);
  }
}

void WriteUser(LineWriter& w, const KrParams& k) {
  w.Section(kUserSection);
  w.Line(Rec("PR"), kComment, k.PR.value);
  w.Line(Rec("AA"), kAlarm1X, k.AA.value);
  w.Line(Rec("AB"), kAlarm1Y, k.AB.value);
  w.Line(Rec("AC"), kAlarm1Z, k.AC.value);
  w.Line(Rec("AX"), kAlarm2X, k.AX.value);
  w.Line(Rec("AY"), kAlarm2Y, k.AY.value);
  w.Line(Rec("AZ"), kAlarm2Z, k.AZ.value);
  w.Line(Rec("AT"), kAlarmActiveTime, k.AT.value);
  w.IntBlock(Rec("AQ"), kAlarmQuietTime, k.AQ, 0, 2);
  w.Line(Rec("AH"), kAlarmHandling, k.AH.value);
  WriteAlerting(w, k);
  w.IntBlock(Rec("TR"), kTriggerLevel, k.TR, 0, 3);
  w.IntBlock(Rec("TR"), kTriggerVote, k.TR, 3, 3);
  w.IntBlock(Rec("TR"), kTriggerRequired, k.TR, 6, 3);
  w.IntBlock(Rec("AR"), kAlarmThreshold1, k.AR, 0, 3);
  w.IntBlock(Rec("AR"), kAlarmThreshold2, k.AR, 3, 3);
  w.Line(Rec("TN"), kEngineeringMode, k.TN.value);
  w.Line(Rec("TE"), kPreEventTime, k.TE.value);
  w.Line(Rec("TO"), kPostEventTime, k.TO.value);
  w.Line(Rec("TX"), kTriggerLevelX, k.TX.value);
  w.Line(Rec("TY"), kTriggerLevelY, k.TY.value);
  w.Line(Rec("TZ"), kTriggerLevelZ, k.TZ.value);
  w.Line(Rec("TM"), kTriggerMode, k.TM.value);
  w.Line(Rec("TT"), kTriggerActiveTime, k.TT.value);
  w.Line(Rec("RS"), kCom1Speed, k.RS.value);
  w.Line(Rec("RT"), kCom2Speed, k.RT.value);
  w.Line(Rec("RH"), kCom1Handshake, FirstChar(k.RH.value));
  constexpr int kGpsBit = 11;
  if (k.HasFeature(kGpsBit)) {
    w.IntBlock(Rec("PC"), kPowerCycle, k.PC, 0, 3);
  } else {
    w.Line(Rec("PC"), kGpsDisabled, kGpsBit);
  }
  w.Line(Rec("FS"), kTriggerFilter, k.FS.value);
  w.Line(Rec("FD"), kPeriodicTestDelay, k.FD.value);
  w.Line(Rec("FC"), kPeriodicTestTime, k.FC.Value(0), k.FC.Value(1), k.FC.Value(2));
  w.Line(Rec("FT"), kPeriodicTestType, k.FT.value);
  const std::size_t pulse = static_cast<std::size_t>(k.PS.count) / 2;
  w.IntBlock(Rec("PS"), kTestPulseShape0, k.PS, 0, pulse);
  w.IntBlock(Rec("PS"), kTestPulseShape1, k.PS, pulse, pulse);
  w.Line(Rec("ZD"), kTurnOnDelay, k.ZD.value);
  w.IntBlock(Rec("TP"), kTriggerSta, k.TP, 0, 3);
  w.IntBlock(Rec("TP"), kTriggerLta, k.TP, 3, 3);
  w.IntBlock(Rec("TP"), kTriggerRatio, k.TP, 6, 3);
  if (w.Line(Rec("TP"), kTriggerLatched))
    for (int i = 0; i < 3; ++i) w.Text(i, std::to_string(Slot(k.TP, static_cast<std::size_t>(9 + i))));
  w.IntBlock(Rec("TG"), kTriggerDetrigger, k.TG);
  w.Line(Rec("FG"), kFilterCharacteristic, k.FG.value);
  w.IntBlock(Rec("FL"), kKbftmLimit, k.FL, 0, 3);
  if (w.Line(Rec("AO"), kAlarmAlgorithm)) {
    for (int i = 0; i < k.AO.count; ++i) {
      const int value = k.AO.Value(static_cast<std::size_t>(i));
      if (i == 0) {
        w.Text(i, std::to_string(value));
      } else {
        w.Int(i, value);
      }
    }
  }
  constexpr int kCavBit = 14;
  if (k.HasFeature(kCavBit)) {
    if (w.Line(Rec("AK1"), kCavParameters, 1))
      for (int i = 0; i < 7; ++i) w.Int(i, Slot(k.AK1, static_cast<std::size_t>(i)));
    if (w.Line(Rec("AK2"), kCavParameters, 2))
      for (int i = 0; i < 7; ++i) w.Int(i, Slot(k.AK2, static_cast<std::size_t>(i)));
  } else {
    w.Line(Rec("AK1"), kCavDisabled, kCavBit);
    w.Line(Rec("AK2"), kCavDisabled, kCavBit);
  }
  constexpr int kSbrBit = 15;
  if (k.HasFeature(kSbrBit)) {
    const int channels = std::clamp(k.IH.value, 0, 4);  // seven values per channel in a list of 32
    for (int c = 0; c < channels; ++c) {
      if (!w.Line(Rec("AU"), kSbrParameters, c + 1)) break;
      for (int i = 0; i < 7; ++i) w.Int(i, Slot(k.AU, static_cast<std::size_t>(7 * c + i)));
    }
  } else {
    w.Line(Rec("AU"), kSbrDisabled, kSbrBit);
  }
}

void WriteAdvanced(LineWriter& w, const RecorderExportSource& source) {
  const KrParams& k = source.kr;
  w.Section(kAdvancedSection);
  w.Line(Rec("RR"), kSensorSerial, k.RR.value);
  w.Line(Rec("KR"), kRingBuffer, k.KR.value);
  w.Line(Rec("MG"), kMirror, k.MG.value);
  w.Line(Rec("IA"), kAdResolution, k.IA.value);
  w.Line(Rec("IR"), kSamplingRate, k.IR.value);
  if (w.Line(Rec("FA"), kRecordedSignal))
    for (int i = 0; i < 3; ++i) w.Channel(i + 1, Slot(k.FA, static_cast<std::size_t>(i)));
  w.Line(Rec("TC"), kPreEventCapacity, k.TC.value);
  w.Line(Rec("TW"), kTriggerWindow, k.TW.value);
  w.Line(Rec("TL"), kMaxRecordingTime, k.TL.value);
  w.Line(Rec("TI"), kTriggerIncrement, k.TI.value);
  w.Line(Rec("TD"), kTriggerDecrement, k.TD.value);
  w.Line(Rec("TF"), kTriggerFunctionality, k.TF.value);
  w.Line(Rec("ZC"), kDynamicCalibration, FirstChar(std::to_string(k.ZC.value)));
  w.Line(Rec("TK"), kMaxKbTime, k.TK.value);
  w.IntBlock(Rec("TJ"), kBackgroundSettings, k.TJ, 0, 2);
  w.Line(Rec("TQ"), kKbVmStartup, k.TQ.value);
  w.QuotedBlock(Rec("TU"), kTimedRecording, k.TU.value, 7);
  w.Line(Rec("TV"), kVmPeriod, k.TV.value);
  w.DescendingBlock(Rec("FM"), kErrorFlagMasks, k.FM, 8);
  w.DescendingBlock(Rec("FV"), kWarningFlagMasks, k.FV, 8);
  w.IntBlock(Rec("SA"), kSelfTestLimits, k.SA, 0, 6);
  w.Line(Rec("FO"), kAcLossDelay, k.FO.value);
  w.Line(Rec("LP"), kKrPassword, source.password);
  w.Line(CommandNumber("LL"), kLoginLevel, source.login_level);
  w.Line(Rec("TS"), kMasterSlave, k.TS.value);
  w.Line(Rec("PT"), kPrinterTrailer, k.PT.value);
  w.Line(Rec("PH"), kPrinterHeader, k.PH.value);
}

void WriteFactory(LineWriter& w, const KrParams& k) {
  w.Section(kFactorySection);
  w.Line(Rec("IN"), kUnitName, k.IN.value);
  w.Line(Rec("IV"), kFirmwareVersion, k.IV.value);
  w.Line(Rec("IF"), kDspFirmware, k.IF.value);
  w.Line(Rec("SO"), kOptionBits, k.SO.value);
  w.Line(Rec("IB"), kSerialNumber, k.IB.value);
  if (w.Line(Rec("IL"), kLsbValue)) w.Decimal4(0, k.IL.value);
  // IE holds the mantissas of all channels, then their exponents.
  const int ie_channels = k.IE.count / 2;
  if (w.Line(Rec("IE"), kLsbCalculated)) {
    for (int c = 0; c < ie_channels; ++c) {
      const double value = k.IE.Value(static_cast<std::size_t>(c)) *
                           std::pow(10.0, k.IE.Value(static_cast<std::size_t>(ie_channels + c)));
      w.Text(c, kr::FormatPrintf("%g", value));
    }
  }
  w.IntBlock(Rec("IE"), kLsbMantissa, k.IE, 0, static_cast<std::size_t>(ie_channels));
  w.IntBlock(Rec("IE"), kLsbExponent, k.IE, static_cast<std::size_t>(ie_channels),
             static_cast<std::size_t>(ie_channels));
  if (w.Line(Rec("IG"), kDspGain)) {
    // Without a reply the program works with the gain 1 (10000) for every channel.
    const bool defaulted = k.IG.count == 0;
    const int channels = defaulted ? std::clamp(k.IH.value, 0, 16) : k.IG.count;
    for (int c = 0; c < channels; ++c)
      w.Decimal5(c, defaulted ? 1.0 : k.IG.Value(static_cast<std::size_t>(c)) / 10000.0, defaulted);
  }
  w.IntBlock(Rec("IO"), kDspOffset, k.IO);
  w.Line(Rec("IH"), kChannelCount, k.IH.value);
  w.QuotedBlock(Rec("IC"), kChannelName, k.IC.value, 0);
  w.QuotedBlock(Rec("IU"), kMeasuringUnit, k.IU.value, 0);
  w.IntBlock(Rec("ID"), kAxisOrientation, k.ID);
  w.IntBlock(Rec("MS"), kMemorySize, k.MS, 0, 2);
  w.Line(Rec("IP"), kCompanyLogo, k.IP.value);
  w.Line(Rec("SY"), kSensorType, FirstChar(k.SY.value));
}

void WriteVolatile(LineWriter& w, const KrParams& k) {
  w.Section(kVolatileSection);
  w.Line(Rec("MN"), kNumberOfFiles, k.MN.value);
  w.Line(Rec("ME"), kNumberOfEvents, k.ME.value);
  w.Line(Rec("AS"), kAlarmStatus, k.AS.value);
  w.IntBlock(Rec("ZX"), kChannelOffset, k.ZX);
  w.Line(Rec("MU"), kMemoryUsed, k.MU.value);
  // "done 02.02.24": the state, then the date.
  const std::size_t blank = k.MQ.value.find(' ');
  const std::string mq_state = k.MQ.value.substr(0, blank);
  const std::string mq_date = blank == std::string::npos ? std::string() : k.MQ.value.substr(blank + 1);
  w.Line(Rec("MQ"), kCfInitialisation, mq_state, mq_date);
  w.IntBlock(Rec("MX"), kCfTransfer, k.MX, 0, 2);
  w.Line(Rec("IS"), kRecordingStatus, k.IS.value);
  w.Line(Rec("IT"), kTriggeringStatus, k.IT.value);
  w.Line(Rec("FR"), kRestarts, k.FR.value);
  w.Line(Rec("BP"), kPrimaryBattery, k.BP.value);
  w.Line(Rec("BB"), kBackupBattery, k.BB.value);
  w.Line(Rec("BC"), kMemcardBattery, k.BC.value);
  w.Line(Rec("BI"), kMemoryModuleBattery, k.BI.value);
  w.Line(Rec("TA"), kTemperature, k.TA.value);
  w.Line(Rec("WS"), kAcPower, k.WS.value);
  w.Line(Rec("CT"), kInternalTime, k.CT.value);
  w.Line(Rec("CD"), kInternalDate, k.CD.value);
  w.Line(Rec("DT"), kSyncTime, k.DT.value);
  w.Line(Rec("DD"), kSyncDate, k.DD.value);
  w.Line(Rec("DS"), kSyncStatus, FirstChar(k.DS.value));
  w.Line(Rec("PL"), kLatitude, k.PL.value);
  w.Line(Rec("PO"), kLongitude, k.PO.value);
  w.Line(Rec("PE"), kElevation, k.PE.value);
  w.DescendingBlock(Rec("FF"), kTestResults, k.FF, 8);
  w.Line(Rec("FE"), kErrorSummary, k.FE.value);
  w.Line(Rec("FW"), kWarningSummary, k.FW.value);
  w.IntBlock(Rec("AV"), kAdValues, k.AV, 0, 10);
  w.Line(Rec("WL"), kAcLosses, k.WL.value);
  w.Line(Rec("DM"), kHcuSyncDelay, k.DM.value);
  w.Line(Rec("MB"), kLastFileNumber, k.MB.value);
  w.Line(Rec("SC"), kOptionCode, k.SC.value);
}

// --- The control unit ----------------------------------------------------------------------------

constexpr int kLoginLevelForFactory = 3;

void WriteHcuLines(LineWriter& w, const HcuInfo& h) {
  w.Section(kHcuWorkingSection);
  w.Line(CommandNumber("NT"), kHcuInternalTime, h.NT.value);
  w.Line(CommandNumber("ND"), kHcuInternalDate, h.ND.value);
  w.Line(CommandNumber("NS"), kHcuSyncValid, CharText(h.NS.value));
  w.Line(CommandNumber("NX"), kHcuCommonTrigger, CharText(h.NX.value));
  w.IntBlock(CommandNumber("NM"), kHcuTriggerCombination, h.NM);
  w.Line(CommandNumber("NO"), kHcuAlarmOutput, CharText(h.NO.value));
  w.IntBlock(CommandNumber("NH"), kHcuAlarm2Combination, h.NH);
  w.IntBlock(CommandNumber("NL"), kHcuAlarm1Combination, h.NL);
  w.IntBlock(CommandNumber("NZ"), kHcuRelayHolding, h.NZ);
  w.IntBlock(CommandNumber("QZ"), kHcuRelayConditions, h.QZ);
  w.Line(CommandNumber("QL1"), kHcuAlerting1, h.QL1.value);
  w.Line(CommandNumber("QL2"), kHcuAlerting2, h.QL2.value);

  w.Section(kHcuStatusSection);
  w.Line(CommandNumber("NP"), kHcuCompanyLogo, h.NP.value);
  w.Line(CommandNumber("NN"), kHcuDeviceType, h.NN.value);
  w.Line(CommandNumber("QB"), kHcuSerialNumber, h.QB.value);
  w.Line(CommandNumber("QV"), kHcuFirmware, std::to_string(h.QV.value));
  w.Line(CommandNumber("NC"), kHcuRecorders, h.NC.value);
  if (w.Line(CommandNumber("XR"), kHcuSystemStart)) {
    int index = 0;
    for (const std::string& item : SplitText(h.XR.value)) w.Quoted(index++, item);
    for (int i = 0; i < h.QN.count; ++i) w.Int(index++, h.QN.Value(static_cast<std::size_t>(i)));
  }

  w.Section(kHcuSystemSection);
  w.Line(CommandNumber("LL"), kHcuLoginLevel, h.LL.value);
  w.Line(CommandNumber("RS"), kHcuCom1Speed, h.RS.value);
  w.Line(CommandNumber("XH"), kHcuHandshake, CharText(h.XH.value));

  w.Section(kHcuFactorySection);
  const bool factory_level = h.LL.value == kLoginLevelForFactory;
  if (factory_level) {
    w.IntBlock(CommandNumber("NK"), kHcuOptions, h.NK);
  } else {
    w.Line(CommandNumber("NK"), kHcuOptionsNotApplicable, h.LL.value);
  }
  w.IntBlock(CommandNumber("QC"), kHcuMuxTimeouts, h.QC);
  w.IntBlock(CommandNumber("XC"), kHcuMuxBaudRates, h.XC);
  w.Line(CommandNumber("XT"), kHcuExcludeTimeMarks, h.XT.value);
  w.Line(CommandNumber("XD"), kHcuPollingDelay, h.XD.value);
  w.Line(CommandNumber("QO"), kHcuLowVoltageDelay, h.QO.value);
  w.IntBlock(CommandNumber("QJ"), kHcuLowVoltageLimits, h.QJ);
  if (factory_level) {
    w.IntBlock(CommandNumber("QK"), kHcuLedCondition, h.QK);
  } else {
    w.Line(CommandNumber("QK"), kHcuLedNotApplicable, h.LL.value);
  }
  const int qp = CommandNumber("QP");
  w.Line(qp, kHcuTestDelayDays, h.QP.Value(0));
  w.Line(qp, kHcuTestDelayTime, h.QP.Value(1), h.QP.Value(2), h.QP.Value(3));
  w.Line(qp, kHcuDaysToTest, h.QP.Value(4));
  w.Line(CommandNumber("XW"), kHcuSelfTestDelay, h.XW.value);
  w.Line(CommandNumber("QI"), kHcuWarningMask, h.QI.value);
  w.Line(CommandNumber("QG"), kHcuErrorMask, h.QG.value);
  const int qw = CommandNumber("QW");
  w.Line(qw, kHcuResultsError, static_cast<int>(h.QW.masks[0]));
  w.Line(qw, kHcuResultsWarning, static_cast<int>(h.QW.masks[1]));
  if (w.Line(qw, kHcuResultsFlags))
    for (int i = 0; i < 8; ++i) w.Int(i, h.QW.values[static_cast<std::size_t>(i)]);
}

}  // namespace

std::string BuildRecorderParamList(const RecorderExportSource& source, const kr::StringTable& strings) {
  const KrParams& k = source.kr;
  LineWriter w(strings, k.device_type);
  w.Raw(strings.Format(kRecorderTitle, k.IN.value, k.IB.value, source.program_version));
  w.Empty();
  WriteUser(w, k);
  WriteAdvanced(w, source);
  WriteFactory(w, k);
  WriteVolatile(w, k);
  return w.Take();
}

std::string BuildHcuParamList(const HcuExportSource& source, const kr::StringTable& strings) {
  const HcuInfo& h = source.hcu;
  LineWriter w(strings, kNoDeviceType);
  w.Raw(strings.Format(kHcuTitle, h.NN.value, h.QB.value, source.program_version));
  w.Empty();
  WriteHcuLines(w, h);
  return w.Take();
}

bool WriteParamList(const std::filesystem::path& file, const std::string& text) {
  std::filesystem::path partial = file;
  partial += ".part";
  kr::CStdioFileEx out;
  if (!out.Open(partial, kr::CStdioFileEx::OpenMode::kCreate)) return false;
  const bool written = out.WriteString(text);
  if (!out.Close() || !written) {
    std::error_code ignored;
    std::filesystem::remove(partial, ignored);
    return false;
  }
  std::error_code error;
  std::filesystem::rename(partial, file, error);
  if (error) {
    std::filesystem::remove(partial, error);
    return false;
  }
  return true;
}

std::vector<int> RecorderExportReadList() {
  static constexpr std::string_view kCodes[] = {
      "PR", "AA", "AB", "AC", "AX", "AY", "AZ", "AT",  "AQ",  "AH", "AL", "AE", "AD", "AG", "AP", "AJ", "TR",
      "AR", "TN", "TE", "TO", "TX", "TY", "TZ", "TM",  "TT",  "RS", "RT", "RH", "PC", "FS", "FD", "FC", "FT",
      "PS", "ZD", "TP", "TG", "FG", "FL", "AO", "AK1", "AK2", "AU", "RR", "KR", "MG", "IA", "IR", "FA", "TC",
      "TW", "TL", "TI", "TD", "TF", "ZC", "TK", "TJ",  "TQ",  "TU", "TV", "FM", "FV", "SA", "FO", "LP", "TS",
      "PT", "PH", "IN", "IV", "IF", "SO", "IB", "IL",  "IE",  "IG", "IO", "IH", "IC", "IU", "ID", "MS", "IP",
      "SY", "MN", "ME", "AS", "ZX", "MU", "MQ", "MX",  "IS",  "IT", "FR", "BP", "BB", "BC", "BI", "TA", "WS",
      "CT", "CD", "DT", "DD", "DS", "PL", "PO", "PE",  "FF",  "FE", "FW", "AV", "WL", "DM", "MB", "SC"};
  std::vector<int> list;
  list.push_back(cmd::kNa);
  for (std::string_view code : kCodes) list.push_back(Rec(code));
  list.push_back(cmd::kNa0);
  return list;
}

std::vector<int> HcuExportReadList() {
  static constexpr std::string_view kCodes[] = {
      "NT", "ND", "NS", "NX", "NM", "NO", "NH", "NL", "NZ", "QZ", "QL1", "QL2", "NP", "NN", "QB", "QV", "NC",
      "XR", "QN", "RS", "XH", "NK", "QC", "XC", "XT", "XD", "QO", "QJ",  "QK",  "QP", "XW", "QI", "QG", "QW"};
  std::vector<int> list;
  for (std::string_view code : kCodes) list.push_back(FindCommand(code));
  return list;
}

}  // namespace tarvik
