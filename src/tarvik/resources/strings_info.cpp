#include <array>

#include "tarvik/resources/tarvik_strings.h"

namespace tarvik {

namespace {

// The information windows of the window (recorder, sensor, the pages of the Info and Tests menus,
// the A/D values) and the note of the parameter list exports. Ids 9880..9929.
constexpr std::array kEntries = std::to_array<kr::StringEntry>({
    {9880, "Info Recorder", "Info Rekorder", "记录仪信息"},
    {9881, "Info Sensor", "Info Sensor", "传感器信息"},
    {9882, "Channel %d", "Kanal %d", "通道 %d"},
    {9883, "The parameter list was written to:\n%s", "Die Parameterliste wurde geschrieben nach:\n%s",
     "参数列表已写入：\n%s"},
    {9884, "Reading stopped.", "Lesen angehalten.", "读取已停止。"},
    {9885, "Reading every %d s.", "Lesen alle %d s.", "每 %d 秒读取一次。"},
    {9886, "Unit", "Einheit", "单位"},
    {9888, "Hardware/Firmware", "Hardware/Firmware", "硬件/固件"},
    {9889, "Power Supply", "Stromversorgung", "电源"},
    {9890, "Digitizer Recorder", "Digitalisierer/Rekorder", "数字化记录器"},
    {9891, "Memory / Primary", "Speicher / Primär", "存储器 / 主存储器"},
    {9892, "Memory / Secondary", "Speicher / Sekundär", "存储器 / 辅助存储器"},
    {9893, "System Condition", "Systemzustand", "系统状态"},
    {9894, "Manufacturer:", "Hersteller:", "制造商："},
    {9895, "Unit Name:", "Gerätename:", "设备名称："},
    {9896, "Serial Number:", "Seriennummer:", "序列号："},
    {9897, "Firmware Vers:", "Firmware-Vers.:", "固件版本："},
    {9898, "DSP Version:", "DSP-Version:", "DSP 版本："},
    {9899, "Options:", "Optionen:", "选项："},
    {9900, "Main Battery:", "Hauptbatterie:", "主电池："},
    {9901, "Clock Backup:", "Uhrenpufferung:", "时钟备用电池："},
    {9902, "Supply Power Present:", "Netzspannung vorhanden:", "供电存在："},
    {9903, "Number of Power Losses:", "Anzahl Stromausfälle:", "断电次数："},
    {9904, "A/D Conv. Resolution:", "A/D-Wandler-Auflösung:", "A/D 转换分辨率："},
    {9905, "Sampling Rate:", "Abtastrate:", "采样率："},
    {9906, "Recording Mode:", "Aufzeichnungsmodus:", "记录模式："},
    {9907, "Number of Channels:", "Anzahl Kanäle:", "通道数："},
    {9908, "Filter:", "Filter:", "滤波器："},
    {9909, "Number of events:", "Anzahl Ereignisse:", "事件数："},
    {9910, "Number of files:", "Anzahl Dateien:", "文件数："},
    {9911, "Memory used:", "Speicher belegt:", "已用存储："},
    {9912, "Primary memory size:", "Größe Primärspeicher:", "主存储器容量："},
    {9913, "Secondary memory size:", "Größe Sekundärspeicher:", "辅助存储器容量："},
    {9914, "Mass-Storage activated:", "Massenspeicher aktiviert:", "大容量存储已启用："},
    {9915, "Ring Buffer Mode", "Ringspeicher-Modus", "环形缓冲模式"},
    {9916, "Status:", "Status:", "状态："},
    {9917, "- Recording", "- Aufzeichnung", "- 记录"},
    {9918, "- Triggering", "- Triggerung", "- 触发"},
    {9919, "- Alarm", "- Alarm", "- 警报"},
    {9920, "- Alerting", "- Alarmierung", "- 报警通知"},
    {9921, "Timed Recording:", "Zeitgesteuerte Aufzeichnung:", "定时记录："},
    {9922, "Number of restarts:", "Anzahl Neustarts:", "重启次数："},
    {9923, "Internal Temperature:", "Innentemperatur:", "内部温度："},
    {9924, "Internal Time:", "Interne Zeit:", "内部时间："},
    {9925, "Axis Name:", "Achsenname:", "轴名称："},
    {9926, "Axis Orientation:", "Achsenausrichtung:", "轴方向："},
    {9927, "Measuring Unit:", "Messeinheit:", "测量单位："},
    {9928, "LSB:", "LSB:", "LSB："},
    {9929, "Baseline [counts]:", "Nulllinie [Counts]:", "基线 [计数]："},
    // The recording-mode console and the keyboard trigger window.
    {9930, "&Keyboard Trigger", "&Tastatur-Trigger", "键盘触发(&K)"},
    {9931, "Start", "Start", "启动"},
    {9932, "Blasting Mode", "Sprengmodus", "爆破模式"},
    {9933, "Start    ", "Start    ", "启动    "},
    {9934, "Stop    ", "Stopp    ", "停止    "},
    {9935, "Currently active", "Zurzeit aktiv", "当前已激活"},
    {9936, "Disabled", "Deaktiviert", "已停用"},
    {9937, "Close", "Schließen", "关闭"},
    {9938, "Event only", "Nur Ereignis", "仅事件"},
    {9939, "KB single file", "KB Einzeldatei", "KB 单文件"},
    {9940, "KB at next start", "KB beim nächsten Start", "KB 下次启动时"},
    {9941, "VM Single", "VM einzeln", "VM 单次"},
    {9942, "VM Repeat", "VM wiederholt", "VM 重复"},
    {9943, "KB Repeat", "KB wiederholt", "KB 重复"},
    {9944, "Blast", "Sprengung", "爆破"},
    {9945, "Recording started, press stop.", "Aufzeichnung gestartet, Stopp drücken.",
     "记录已开始，请按停止。"},
    {9946, "Counter:", "Zähler:", "计数："},
    {9947, "Time:", "Zeit:", "时间："},
    {9948, "&Stop", "&Stopp", "停止(&S)"},
});

}  // namespace

std::span<const kr::StringEntry> InfoStrings() {
  return kEntries;
}

}  // namespace tarvik
