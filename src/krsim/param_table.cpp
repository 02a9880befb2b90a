#include "krsim/param_table.h"

#include <cstdio>

#include "krsim/event_generator.h"

namespace krsim {

namespace {

std::string Repeat(std::string_view item, int count) {
  std::vector<std::string> items(static_cast<std::size_t>(count), std::string(item));
  return JoinItems(items);
}

std::string Fixed(double value, int decimals) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

}  // namespace

std::vector<std::string> SplitItems(std::string_view value) {
  std::vector<std::string> items;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = value.find(',', start);
    if (comma == std::string_view::npos) {
      items.emplace_back(value.substr(start));
      return items;
    }
    items.emplace_back(value.substr(start, comma - start));
    start = comma + 1;
  }
}

std::string JoinItems(const std::vector<std::string>& items) {
  std::string value;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) value.push_back(',');
    value.append(items[i]);
  }
  return value;
}

std::string SetItem(std::string_view value, std::size_t index, std::string_view item) {
  std::vector<std::string> items = value.empty() ? std::vector<std::string>{} : SplitItems(value);
  if (items.size() <= index) items.resize(index + 1, "0");
  items[index] = std::string(item);
  return JoinItems(items);
}

std::string SanitizeText(std::string_view text, bool list_item) {
  std::string clean;
  clean.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '(':
        clean.push_back('[');
        break;
      case ')':
        clean.push_back(']');
        break;
      case '*':
        clean.push_back('#');
        break;
      case ',':
        clean.push_back(list_item ? ';' : ',');
        break;
      default:
        clean.push_back(c);
    }
  }
  return clean;
}

ParamMap DefaultRecorderParams(const RecorderConfig& c) {
  const LsbCode lsb = RecorderLsb(c);
  const std::string mant = std::to_string(lsb.mantissa);
  const std::string expo = std::to_string(lsb.exponent);
  double lsb_value = lsb.mantissa;
  for (int e = lsb.exponent; e < 0; ++e) lsb_value /= 10;
  ParamMap p;
  // Identity and factory data
  p["IE"] = JoinItems({mant, mant, mant, expo, expo, expo});
  p["IB"] = c.serial_number;
  p["RR"] = c.sensor_serial;
  p["IP"] = "KR Systems";
  p["IF"] = "DSP 3.02";
  p["SC"] = "A7C3";
  p["IH"] = "3";
  p["IC"] = "X,Y,Z";
  p["IU"] = "mm/s,mm/s,mm/s";
  p["IL"] = Repeat(Fixed(lsb_value, 5), 3);
  p["ID"] = "1,1,1";
  p["IG"] = "10000,10000,10000";
  p["IO"] = "0,0,0";
  p["ZX"] = "12,-7,4";
  p["SY"] = "V";
  // Warning and error masks and flags (SW..MM, SF..MF), summaries, test results
  for (const char* code : {"SW", "AW", "HW", "CW", "BW", "MW", "SM", "AM", "HM", "CM", "BM", "MM"})
    p[code] = "0";
  for (const char* code : {"SF", "AF", "HF", "CF", "BF", "MF"}) p[code] = "0";
  p["FW"] = "4";  // a low clock battery, so that clearing the flags shows
  p["FE"] = "0";
  p["FM"] = Repeat("255", 8);
  p["FV"] = Repeat("255", 8);
  p["FF"] = "0,0,0,0,0,1,0,0";
  p["FR"] = "3";
  p["SA"] = "11500,3000,10,60,5,50";
  // Power, memory and environment
  p["BP"] = "12.65";
  p["BB"] = "3.31";
  p["BC"] = "OK";
  p["BI"] = "3.60";
  p["WS"] = "ON";
  p["WL"] = "1";
  p["TA"] = "21.5";
  p["MS"] = "4096,512";
  p["MQ"] = "done 02.02.24";
  p["MX"] = "0,0";
  p["AS"] = "No alarm";
  // Recording and trigger
  p["TE"] = "2";
  p["TC"] = "10";
  p["TO"] = "4";
  p["TR"] = "400,400,400,1,1,1,2,2,2";
  p["TX"] = "400";
  p["TY"] = "400";
  p["TZ"] = "400";
  p["TM"] = "4";
  p["TT"] = "10";
  p["TW"] = "5";
  p["TL"] = "60";
  p["TI"] = "10";
  p["TD"] = "30";
  p["TF"] = "0";
  p["TP"] = "5,5,5,30,30,30,40,40,40,0,0,0";
  p["TG"] = "50,50,50";
  p["TK"] = "60";
  p["TV"] = "30";
  p["TQ"] = "0";
  p["TJ"] = "0,0";
  p["TU"] = Repeat("", 7);
  p["TS"] = "Master";
  p["IR"] = std::to_string(c.sampling);
  p["IA"] = std::to_string(AdcBits(c));
  p["FS"] = "1";
  p["FG"] = "0";
  p["FL"] = "1000,1000,1000";
  p["FA"] = "1,1,1";
  p["FO"] = "30";
  p["PS"] = "10,20,10,5,5,5";
  // Alarms
  p["AA"] = "2000";
  p["AB"] = "2000";
  p["AC"] = "2000";
  p["AX"] = "5000";
  p["AY"] = "5000";
  p["AZ"] = "5000";
  p["AR"] = "2000,2000,2000,5000,5000,5000";
  p["AT"] = "10";
  p["AQ"] = "22,6";
  p["AO"] = "1,0,0";
  p["AK1"] = "0,100,100,100,50,50,50";
  p["AK2"] = "0,200,200,200,80,80,80";
  p["SI"] = Repeat("0", 15);
  p["AU"] = "10,10,10,0,0,0";
  p["AV"] = "12650,3310,21,0,0,0,0,0,0,0";
  // Alerting
  p["AH"] = "0";
  p["AL"] = "2,1,4,1,8,3,24,0,32,1,64,0,128,0,0,0";
  p["AE"] = "Queue suspended,Unit started,Daily report,Error,Warning,Event recorded,Alarm 1,Alarm 2";
  p["AD"] = Repeat("0", 14);  // send-using choice and number of recipients 0..6
  p["AG"] = "KR,STATION,ATDT,CONNECT,ACK,N";
  p["AP"] = "10,8,60,30,3600";
  p["AJ"] = "10,8,60,30,3600";
  // General
  p["PR"] = SanitizeText(c.station, false);
  p["RS"] = "9600";
  p["RT"] = "9600";
  p["RH"] = "N";
  p["DM"] = "0";
  p["DS"] = "Y";
  p["DT"] = "05:00:00";
  p["DD"] = "21.03.24";
  p["PC"] = "60,5";
  p["PL"] = "47.5012";
  p["PO"] = "9.1234";
  p["PE"] = "512";
  p["ZD"] = "10";
  p["ZC"] = "0";
  p["FD"] = "0";
  p["FC"] = "06:00:00";
  p["FT"] = "1";
  p["PT"] = "";
  p["PH"] = "KR printer";
  return p;
}

ParamMap DefaultHcuParams(const SimConfig& config) {
  const int n = static_cast<int>(config.recorders.size());
  ParamMap p;
  p["NS"] = "N";
  p["QW"] = "0;0;0,0,0,0,0,0,0,0";
  p["QP"] = "24,06:00:00,0";
  p["QT"] = "0";
  p["NQ"] = "N";
  p["NP"] = "KR Systems";
  p["QB"] = config.hcu_serial;
  p["QV"] = std::to_string(config.hcu_firmware);
  p["NV"] = "12450,3300";
  p["NO"] = "Y";
  p["NX"] = "N";
  p["NZ"] = "10,10,0,1,2,4";
  p["NM"] = Repeat("0", 16);
  p["NH"] = Repeat("0", 16);
  p["NL"] = Repeat("0", 16);
  p["RS"] = std::to_string(config.baud);
  p["XC"] = "0,0,0";
  p["QC"] = Repeat("0", n);
  p["QN"] = Repeat("0", 2 * n);
  p["QZ"] = "0,0,0";
  p["QL1"] = "no entries";
  p["QL2"] = "no entries";
  p["XR"] = "OK";
  p["XH"] = "N";
  p["NK"] = "0,0";
  p["XT"] = "0";
  p["XD"] = "0";
  p["QO"] = "0";
  p["QJ"] = "0,0";
  p["QK"] = "0,0";
  p["XW"] = "0";
  p["QI"] = "0";
  p["QG"] = "0";
  return p;
}

}  // namespace krsim
