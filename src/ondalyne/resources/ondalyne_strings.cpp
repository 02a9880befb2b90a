#include "ondalyne/resources/ondalyne_strings.h"

#include <array>

namespace ondalyne {

namespace {

// clang-format off
constexpr std::array kEntries = std::to_array<kr::StringEntry>({
    {121, "Waveform file (*.skr)", "Wellenformdatei (*.skr)", "波形文件 (*.skr)"},
    {122, "Waveform file (*.vkr)", "Wellenformdatei (*.vkr)", "波形文件 (*.vkr)"},
    {123, "Waveform file (*.xkr)", "Wellenformdatei (*.xkr)", "波形文件 (*.xkr)"},
    {124, "Waveform file (*.vmx)", "Wellenformdatei (*.vmx)", "波形文件 (*.vmx)"},
    {125, "Waveform file (*.bkr)", "Wellenformdatei (*.bkr)", "波形文件 (*.bkr)"},
    {142, "Time [%s]", "Zeit [%s]", "时间 [%s]"},
    {156, "Can't read strong waveform file (unknown format); Import halted.",
     "Die Wellenformdatei kann nicht gelesen werden (unbekanntes Format); Import abgebrochen.",
     "无法读取波形文件（未知格式）；导入已停止。"},
    {173, "The data of the file were not complete.\nOnly %d of %d samples or periods were saved.",
     "Die Daten der Datei waren nicht vollständig.\nNur %d von %d Abtastwerten oder Perioden wurden gespeichert.",
     "文件数据不完整。\n仅保存了 %d / %d 个采样点或周期。"},
    {392, "%s%s Analysis date: %s", "%s%s Analysedatum: %s", "%s%s 分析日期：%s"},
    {395, "Out of memory. Please close all other applications.",
     "Zu wenig Speicher. Bitte schließen Sie alle anderen Anwendungen.",
     "内存不足。请关闭所有其他应用程序。"},
    {400, "The measuring unit %s for KB-file must be \"%s\" instead of \"%s\".",
     "Die Messeinheit %s einer KB-Datei muss \"%s\" statt \"%s\" sein.",
     "KB 文件的测量单位 %s 必须为 \"%s\"，而不是 \"%s\"。"},
    {639, "Event ONLY", "Nur Ereignis", "仅事件"},
    {640, "Event + RMS-recording", "Ereignis + RMS-Aufzeichnung", "事件 + RMS 记录"},
    {641, "Event + KB-recording according to DIN GERMAN code", "Ereignis + KB-Aufzeichnung nach DIN 4150",
     "事件 + KB 记录（德国 DIN 规范）"},
    {642, "Event + KB-recording delayed", "Ereignis + KB-Aufzeichnung verzögert", "事件 + KB 延迟记录"},
    {643, "Event + VM-recording", "Ereignis + VM-Aufzeichnung", "事件 + VM 记录"},
    {644, "Event with FFT (Blasting  Mode)", "Ereignis mit FFT (Sprengmodus)", "事件带 FFT（爆破模式）"},
    {645, "Event + VM-recording repeat", "Ereignis + VM-Aufzeichnung wiederholt", "事件 + VM 重复记录"},
    {646, "Event + KB-recording repeat", "Ereignis + KB-Aufzeichnung wiederholt", "事件 + KB 重复记录"},
    {647, "Event + VM-recording with Vector Sum", "Ereignis + VM-Aufzeichnung mit Vektorsumme",
     "事件 + VM 记录带矢量和"},
    {648, "Event + KB-recording according to SBR DUTCH code", "Ereignis + KB-Aufzeichnung nach SBR (NL)",
     "事件 + KB 记录（荷兰 SBR 规范）"},
    {649, "Event + VM-recroding with FFT", "Ereignis + VM-Aufzeichnung mit FFT", "事件 + VM 记录带 FFT"},
    {650, "Event + VM-recording with FFT according to SBR I", "Ereignis + VM-Aufzeichnung mit FFT nach SBR I",
     "事件 + VM 记录带 FFT（SBR I）"},
    {651, "Event + VM-recording with FFT according to SBR II", "Ereignis + VM-Aufzeichnung mit FFT nach SBR II",
     "事件 + VM 记录带 FFT（SBR II）"},
    {652, "Event + VM-recording with FFT according to SBR III",
     "Ereignis + VM-Aufzeichnung mit FFT nach SBR III", "事件 + VM 记录带 FFT（SBR III）"},
    {653, "Event + VM-recording with FFT according to SBR F", "Ereignis + VM-Aufzeichnung mit FFT nach SBR F",
     "事件 + VM 记录带 FFT（SBR F）"},

    {30000, "File:", "Datei:", "文件："},
    {30001, "Date: ", "Datum: ", "日期："},
    {30002, "Station: ", "Station: ", "测站："},
    {30003, "Whole time history: ", "Ganzer Zeitverlauf: ", "完整时程："},
    {30004, "YES", "JA", "是"},
    {30005, "NO", "NEIN", "否"},
    {30006, "Instrument status: ", "Gerätestatus: ", "仪器状态："},
    {30007, "ERROR", "FEHLER", "错误"},
    {30008, "WARNING", "WARNUNG", "警告"},
    {30009, "OK", "OK", "正常"},
    {30010, "Offset corrected: ", "Offset korrigiert: ", "偏移已校正："},
    {30011, "Instrument status", "Gerätestatus", "仪器状态"},
    {30012, "KB File", "KB-Datei", "KB 文件"},
    {30013, "Peak File", "Spitzenwertdatei", "峰值文件"},
    {30014, "Time history", "Zeitverlauf", "时程"},
    {30015, "Frequency Analysis", "Frequenzanalyse", "频率分析"},
    {30016, "Vector Sum", "Vektorsumme", "矢量和"},
    {30017, "Peak with Frequency", "Spitzenwert mit Frequenz", "峰值与频率"},
    {30018, "X-Channel: ", "X-Kanal: ", "X 通道："},
    {30019, "Y-Channel: ", "Y-Kanal: ", "Y 通道："},
    {30020, "Z-Channel: ", "Z-Kanal: ", "Z 通道："},
    {30021, "KBFmax: ", "KBFmax: ", "KBFmax："},
    {30022, "Peak Value:", "Spitzenwert:", "峰值："},
    {30023, "Max. uncorrected: ", "Max. unkorrigiert: ", "最大值（未校正）："},
    {30024, "Max. corrected: ", "Max. korrigiert: ", "最大值（已校正）："},
    {30025, "KBFTm: ", "KBFTm: ", "KBFTm："},
    {30026, "Max.:", "Max.:", "最大："},
    {30027, "Frequency [%s]", "Frequenz [%s]", "频率 [%s]"},
    {30028, "Trigger: ", "Trigger: ", "触发："},
    {30029, "Vector Sum", "Vektorsumme", "矢量和"},

    {30030, "Assessment", "Beurteilung", "评估"},
    {30031, "Line %d", "Zeile %d", "第 %d 行"},
    {30032, "PPV: %.2f mm/s", "PPV: %.2f mm/s", "PPV：%.2f mm/s"},
    {30033, "f: %.1f Hz", "f: %.1f Hz", "频率：%.1f Hz"},
    {30034, "f: not found", "f: nicht bestimmt", "频率：未确定"},
    {30035, "%d: %5.1f %4.0f%%", "%d: %5.1f %4.0f%%", "%d：%5.1f %4.0f%%"},
    {30036, "DIN 4150-3, table 1, foundation", "DIN 4150-3, Tabelle 1, Fundament", "DIN 4150-3 表 1，基础"},
    {30037, "Line: mm/s, ratio", "Zeile: mm/s, Anteil", "行：mm/s，比例"},
    {30040, "KR S/N", "KR S/N", "KR 序列号"},
    {30041, "Sensor S/N", "Sensor S/N", "传感器序列号"},
    {30042, "Recording", "Aufzeichnung", "记录"},
    {30043, "Trigger channel", "Triggerkanal", "触发通道"},
    {30044, "Time of trigger", "Triggerzeitpunkt", "触发时间"},
    {30045, "Duration", "Dauer", "持续时间"},
    {30046, "Parameter settings", "Parametereinstellungen", "参数设置"},
    {30047, "Trigger levels", "Triggerschwellen", "触发阈值"},
    {30048, "     channel X", "     Kanal X", "     X 通道"},
    {30049, "     channel Y", "     Kanal Y", "     Y 通道"},
    {30050, "     channel Z", "     Kanal Z", "     Z 通道"},
    {30051, "Trigger-logic", "Triggerlogik", "触发逻辑"},
    {30052, "Pre-event time", "Vorlaufzeit", "触发前时间"},
    {30053, "Post-event time", "Nachlaufzeit", "触发后时间"},
    {30054, "Filter", "Filter", "滤波器"},
    {30055, "Recording mode", "Aufzeichnungsmodus", "记录模式"},
    {30056, "Instrument condition (self-test results)", "Gerätezustand (Selbsttestergebnisse)",
     "仪器状况（自检结果）"},
    {30057, "Main battery voltage", "Spannung Hauptbatterie", "主电池电压"},
    {30058, "Proc backup-battery voltage", "Spannung Prozessor-Pufferbatterie", "处理器备用电池电压"},
    {30059, "Memory backup-battery voltage", "Spannung Speicher-Pufferbatterie", "存储器备用电池电压"},
    {30060, "Number of restarts", "Anzahl der Neustarts", "重启次数"},
    {30061, "Number of power losses", "Anzahl der Stromausfälle", "断电次数"},
    {30062, "Date of last power loss", "Datum des letzten Stromausfalls", "最近一次断电日期"},
    {30063, "Firmware Version", "Firmware-Version", "固件版本"},
    {30064, "DSP Firmware Version", "DSP-Firmware-Version", "DSP 固件版本"},
    {30065, "Time base", "Zeitbasis", "时基"},
    {30066, "Last time mark", "Letzte Zeitmarke", "最近时间标记"},
    {30067, "Synchronization", "Synchronisation", "同步"},

    {30070, "Hardware-trigger", "Hardware-Trigger", "硬件触发"},
    {30071, "active, Channel X", "aktiv, Kanal X", "主动，X 通道"},
    {30072, "active, Channel Y", "aktiv, Kanal Y", "主动，Y 通道"},
    {30073, "active, Channel Z", "aktiv, Kanal Z", "主动，Z 通道"},
    {30074, "active, Alarm-trigger", "aktiv, Alarm-Trigger", "主动，报警触发"},
    {30075, "passive, HCU", "passiv, HCU", "被动，HCU"},
    {30076, "X", "X", "X"},
    {30077, "Y", "Y", "Y"},
    {30078, "Z", "Z", "Z"},
    {30079, "X / Y", "X / Y", "X / Y"},
    {30080, "X / Y / Z", "X / Y / Z", "X / Y / Z"},
    {30081, "X & Y & Z", "X & Y & Z", "X & Y & Z"},
    {30082, "Hardware", "Hardware", "硬件"},
    {30083, "Software", "Software", "软件"},
    {30084, "no card", "keine Karte", "无存储卡"},
    {30085, "low", "schwach", "电量低"},
    {30086, "bad", "defekt", "损坏"},
    {30087, "OK", "OK", "正常"},
    {30088, "N/A", "k. A.", "不适用"},
    {30089, "NONE", "KEINE", "无"},

    {30190, "commercial", "Gewerbe", "商业建筑"},
    {30191, "dwellings", "Wohngebäude", "住宅"},
    {30192, "sensitive", "empfindlich", "敏感建筑"},

    {30100,
     "Usage:\n"
     "  ondalyne [FILE ...]                  opens the window (with the files)\n"
     "  ondalyne -p FILE                     prints FILE on the default printer\n"
     "  ondalyne -pt FILE PRINTER            prints FILE on PRINTER\n"
     "  ondalyne --print-to-pdf OUT FILE     prints FILE into the PDF file OUT\n"
     "  ondalyne --describe FILE [--us-date]\n"
     "  ondalyne --render PAGE FILE OUT [--size WxH] [--channel all|x|y|z] [--offset on|off]\n"
     "           [--zoom FIRST:END] [--us-date] [--language en|de|zh]\n"
     "PAGE is status, time, frequency, vector-sum, peak-frequency or assessment; OUT ends in .png, .svg or .pdf.\n",
     "Aufruf:\n"
     "  ondalyne [DATEI ...]                 öffnet das Fenster (mit den Dateien)\n"
     "  ondalyne -p DATEI                    druckt DATEI auf dem Standarddrucker\n"
     "  ondalyne -pt DATEI DRUCKER           druckt DATEI auf DRUCKER\n"
     "  ondalyne --print-to-pdf AUS DATEI    druckt DATEI in die PDF-Datei AUS\n"
     "  ondalyne --describe DATEI [--us-date]\n"
     "  ondalyne --render SEITE DATEI AUS [--size BxH] [--channel all|x|y|z] [--offset on|off]\n"
     "           [--zoom ERSTER:ENDE] [--us-date] [--language en|de|zh]\n"
     "SEITE ist status, time, frequency, vector-sum, peak-frequency oder assessment; AUS endet auf .png, .svg oder .pdf.\n",
     "用法：\n"
     "  ondalyne [文件 ...]                  打开窗口（及文件）\n"
     "  ondalyne -p 文件                     在默认打印机上打印文件\n"
     "  ondalyne -pt 文件 打印机             在指定打印机上打印文件\n"
     "  ondalyne --print-to-pdf 输出 文件    将文件打印到 PDF 文件\n"
     "  ondalyne --describe 文件 [--us-date]\n"
     "  ondalyne --render 页面 文件 输出 [--size 宽x高] [--channel all|x|y|z] [--offset on|off]\n"
     "           [--zoom 起点:终点] [--us-date] [--language en|de|zh]\n"
     "页面为 status、time、frequency、vector-sum、peak-frequency 或 assessment；输出以 .png、.svg 或 .pdf 结尾。\n"},
    {30101, "Invalid argument: %s", "Ungültiges Argument: %s", "无效参数：%s"},
    {30102, "Cannot write %s", "%s kann nicht geschrieben werden", "无法写入 %s"},
    {30103, "This page is not available for this file: %s", "Diese Seite gibt es für diese Datei nicht: %s",
     "此文件没有该页面：%s"},
    {30104, "Cannot open %s", "%s kann nicht geöffnet werden", "无法打开 %s"},
    {30200, "&File", "&Datei", "文件(&F)"},
    {30201, "&Edit", "&Bearbeiten", "编辑(&E)"},
    {30202, "&View", "&Ansicht", "视图(&V)"},
    {30203, "&Analysis", "Ana&lyse", "分析(&A)"},
    {30204, "&Window", "&Fenster", "窗口(&W)"},
    {30205, "&Help", "&Hilfe", "帮助(&H)"},
    {30206, "Recent &Files", "&Zuletzt geöffnet", "最近的文件(&F)"},
    {30207, "All event files (*.skr *.vkr *.xkr *.vmx *.bkr)", "Alle Ereignisdateien (*.skr *.vkr *.xkr *.vmx *.bkr)",
     "所有事件文件 (*.skr *.vkr *.xkr *.vmx *.bkr)"},
    {30208, "Ondalyne Document", "Ondalyne-Dokument", "Ondalyne 文档"},
    {30209, "Ready", "Bereit", "就绪"},
    {30210, "%s Version %s\nViewer of the event files of the KR recorders.",
     "%s Version %s\nBetrachter der Ereignisdateien der KR-Rekorder.", "%s 版本 %s\nKR 记录仪事件文件查看器。"},
    {30211, "No printer is installed.", "Es ist kein Drucker eingerichtet.", "未安装打印机。"},
    {30212, "Printer not found: %s", "Drucker nicht gefunden: %s", "找不到打印机：%s"},
    {30213, "Printing failed: %s", "Drucken fehlgeschlagen: %s", "打印失败：%s"},
    {30214, "Zooming", "Zoomen", "缩放"},
    {30215, "Time frame", "Zeitbereich", "时间范围"},
    {30216, "Start time:", "Startzeit:", "开始时间："},
    {30217, "End time:", "Endzeit:", "结束时间："},
    {30218, "Whole time history ", "Ganzer Zeitverlauf ", "完整时程 "},
    {30219, "OK", "OK", "确定"},
    {30220, "Cancel", "Abbrechen", "取消"},
    {30221, "The help file %s is missing.", "Die Hilfedatei %s fehlt.", "缺少帮助文件 %s。"},
    {30222, "Toolbar", "Symbolleiste", "工具栏"},
    {30223, "s", "s", "秒"},
    {30224, "About %s", "Über %s", "关于 %s"},

    {32772, "&Time history", "&Zeitverlauf", "时程(&T)"},
    {32775, "&Frequency analysis", "&Frequenzanalyse", "频率分析(&F)"},
    {32776, "&Vector Sum", "&Vektorsumme", "矢量和(&V)"},
    {32777, "&Peak with Frequency", "&Spitzenwert mit Frequenz", "峰值与频率(&P)"},
    {32778, "&Instrument status", "&Gerätestatus", "仪器状态(&I)"},
    {32780, "&X-Channel", "&X-Kanal", "X 通道(&X)"},
    {32781, "&Y-Channel", "&Y-Kanal", "Y 通道(&Y)"},
    {32782, "&Z-Channel", "&Z-Kanal", "Z 通道(&Z)"},
    {32783, "Zoo&m...", "Zoo&m...", "缩放(&M)..."},
    {32784, "&Offset corrected", "&Offset korrigiert", "偏移校正(&O)"},
    {32785, "&All Channels", "&Alle Kanäle", "所有通道(&A)"},
    {32786, "&Increase Peak Dots", "Spitzenpunkte &vergrößern", "增大峰值点(&I)"},
    {32787, "&Decrease Peak Dots", "Spitzenpunkte ver&kleinern", "减小峰值点(&D)"},
    {32788, "A&ssessment", "&Beurteilung", "评估(&S)"},
    {57601, "&Open...\tCtrl+O", "Ö&ffnen...\tStrg+O", "打开(&O)...\tCtrl+O"},
    {57602, "&Close", "&Schließen", "关闭(&C)"},
    {57606, "P&rint Setup...", "Drucker&einrichtung...", "打印设置(&R)..."},
    {57607, "&Print...\tCtrl+P", "&Drucken...\tStrg+P", "打印(&P)...\tCtrl+P"},
    {57609, "Print Pre&view", "Seiten&ansicht", "打印预览(&V)"},
    {57634, "&Copy\tCtrl+C", "&Kopieren\tStrg+C", "复制(&C)\tCtrl+C"},
    {57648, "&New Window", "&Neues Fenster", "新建窗口(&N)"},
    {57650, "&Cascade", "Ü&berlappend", "层叠(&C)"},
    {57651, "&Tile", "&Nebeneinander", "平铺(&T)"},
    {57664, "&About Ondalyne...", "&Info über Ondalyne...", "关于 Ondalyne(&A)..."},
    {57665, "E&xit", "&Beenden", "退出(&X)"},
    {57667, "&Help Topics", "&Hilfethemen", "帮助主题(&H)"},
    {59392, "&Toolbar", "&Symbolleiste", "工具栏(&T)"},
    {59393, "&Status Bar", "S&tatusleiste", "状态栏(&S)"},
});
// clang-format on

}  // namespace

std::span<const kr::StringEntry> OndalyneStrings() {
  return kEntries;
}

kr::StringTable MakeOndalyneStringTable() {
  return kr::StringTable({OndalyneStrings()});
}

}  // namespace ondalyne
