#pragma once

// Ids of the texts of the information windows (resources/strings_info.cpp).
namespace tarvik::info_text {
inline constexpr int kInfoRecorderTitle = 9880;
inline constexpr int kInfoSensorTitle = 9881;
inline constexpr int kChannel = 9882;
inline constexpr int kListWritten = 9883;
inline constexpr int kReadingStopped = 9884;
inline constexpr int kReadingEvery = 9885;
inline constexpr int kUnit = 9886;
inline constexpr int kHardwareFirmware = 9888;
inline constexpr int kPowerSupply = 9889;
inline constexpr int kDigitizerRecorder = 9890;
inline constexpr int kMemoryPrimary = 9891;
inline constexpr int kMemorySecondary = 9892;
inline constexpr int kSystemCondition = 9893;
inline constexpr int kManufacturer = 9894;
inline constexpr int kUnitName = 9895;
inline constexpr int kSerialNumber = 9896;
inline constexpr int kFirmwareVersion = 9897;
inline constexpr int kDspVersion = 9898;
inline constexpr int kOptions = 9899;
inline constexpr int kMainBattery = 9900;
inline constexpr int kClockBackup = 9901;
inline constexpr int kSupplyPower = 9902;
inline constexpr int kPowerLosses = 9903;
inline constexpr int kAdResolution = 9904;
inline constexpr int kSamplingRate = 9905;
inline constexpr int kRecordingMode = 9906;
inline constexpr int kChannels = 9907;
inline constexpr int kFilter = 9908;
inline constexpr int kEvents = 9909;
inline constexpr int kFiles = 9910;
inline constexpr int kMemoryUsed = 9911;
inline constexpr int kPrimarySize = 9912;
inline constexpr int kSecondarySize = 9913;
inline constexpr int kMassStorage = 9914;
inline constexpr int kRingBuffer = 9915;
inline constexpr int kStatus = 9916;
inline constexpr int kStatusRecording = 9917;
inline constexpr int kStatusTriggering = 9918;
inline constexpr int kStatusAlarm = 9919;
inline constexpr int kStatusAlerting = 9920;
inline constexpr int kTimedRecording = 9921;
inline constexpr int kRestarts = 9922;
inline constexpr int kTemperature = 9923;
inline constexpr int kInternalTime = 9924;
inline constexpr int kAxisName = 9925;
inline constexpr int kAxisOrientation = 9926;
inline constexpr int kMeasuringUnit = 9927;
inline constexpr int kLsb = 9928;
inline constexpr int kBaseline = 9929;
}  // namespace tarvik::info_text
