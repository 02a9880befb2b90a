#include <array>

#include "tarvik/resources/tarvik_strings.h"

namespace tarvik {

namespace {

// The main window, its menus, dialogs and help entries. Ids 9600..9679 are new texts of this area;
// 151 is the document's string (window title, untitled name, file type) and 32928..32930 name the
// status-bar panes.
constexpr std::array kEntries = std::to_array<kr::StringEntry>({
    {151, "KR Communication\nUntitled\nTarvik\nKR Connection (*.krc)\n.krc\nTarvik.Document\nTarvik Document",
     "KR-Kommunikation\nUnbenannt\nTarvik\nKR-Verbindung (*.krc)\n.krc\nTarvik.Document\nTarvik-Dokument",
     "KR 通信\n无标题\nTarvik\nKR 连接 (*.krc)\n.krc\nTarvik.Document\nTarvik 文档"},
    // Menu bar.
    {9600, "&File", "&Datei", "文件(&F)"},
    {9601, "&View", "&Ansicht", "查看(&V)"},
    {9602, "&Transfer", "Ü&bertragung", "传输(&T)"},
    {9603, "&Info", "&Info", "信息(&I)"},
    {9604, "&Parameter", "&Parameter", "参数(&P)"},
    {9605, "T&ests", "&Tests", "测试(&E)"},
    {9606, "&Operate", "&Bedienen", "操作(&O)"},
    {9607, "&Activate", "A&ktivieren", "激活(&A)"},
    {9608, "&Help", "&Hilfe", "帮助(&H)"},
    // File.
    {9609, "&Direct Link", "&Direktverbindung", "直接连接(&D)"},
    {9610, "&Open...", "Ö&ffnen...", "打开(&O)..."},
    {9611, "Log&out", "&Abmelden", "注销(&L)"},
    {9612, "E&xit", "&Beenden", "退出(&X)"},
    // View and Transfer.
    {9613, "&Event", "&Ereignisse", "事件(&E)"},
    {9614, "&All Events", "&Alle Ereignisse", "所有事件(&A)"},
    {9615, "&Single Events", "&Einzelne Ereignisse", "单个事件(&S)"},
    {9616, "&CF Content", "&CF-Inhalt", "CF 卡内容(&C)"},
    {9617, "S&top Transfer", "Übertragung &stoppen", "停止传输(&T)"},
    // Info.
    {9618, "&Recorder", "&Rekorder", "记录仪(&R)"},
    {9619, "&Sensor", "&Sensor", "传感器(&S)"},
    {9620, "&HCU", "&HCU", "&HCU"},
    {9621, "&Network", "&Netzwerk", "网络(&N)"},
    // Parameter.
    {9622, "KR &Triggered Recording", "KR &Getriggerte Aufzeichnung", "KR 触发记录(&T)"},
    {9623, "T&imed Recording", "&Zeitgesteuerte Aufzeichnung", "定时记录(&I)"},
    {9624, "&Background Recording", "&Hintergrundaufzeichnung", "后台记录(&B)"},
    {9625, "KR &General", "KR &Allgemein", "KR 常规(&G)"},
    {9626, "KR A&lerting", "KR A&larmierung", "KR 报警通知(&L)"},
    {9627, "KR Ala&rm", "KR Ala&rm", "KR 警报(&R)"},
    {9628, "KR &CAV Alarm", "KR &CAV-Alarm", "KR &CAV 警报"},
    {9629, "&HCU", "&HCU", "&HCU"},
    // Tests.
    {9630, "Clear &KR System Flags", "&KR-Systemflags löschen", "清除 KR 系统标志(&K)"},
    {9631, "Clear &HCU System Flags", "&HCU-Systemflags löschen", "清除 HCU 系统标志(&H)"},
    {9632, "Display &A/D values", "&A/D-Werte anzeigen", "显示 A/D 值(&A)"},
    {9633, "Show KR &Test results", "KR-&Testergebnisse anzeigen", "显示 KR 测试结果(&T)"},
    {9634, "Show HCU T&est results", "HCU-T&estergebnisse anzeigen", "显示 HCU 测试结果(&E)"},
    {9635, "Show HCU &Comm. param", "HCU-&Kommunikationsparameter", "显示 HCU 通信参数(&C)"},
    {9636, "Record System Test K&R", "Aufzeichnungs-Systemtest K&R", "KR 记录系统测试(&R)"},
    {9637, "Record System Test HC&U", "Aufzeichnungs-Systemtest HC&U", "HCU 记录系统测试(&U)"},
    {9638, "&Set-up KR", "KR &einrichten", "设置 KR(&S)"},
    {9639, "Set-up H&CU", "H&CU einrichten", "设置 HCU(&C)"},
    {9640, "E&xport all KR parameters", "Alle KR-Parameter e&xportieren", "导出所有 KR 参数(&X)"},
    {9641, "Export all HCU &parameters", "Alle HCU-&Parameter exportieren", "导出所有 HCU 参数(&P)"},
    // Operate.
    {9642, "&Recording mode", "&Aufzeichnungsmodus", "记录模式(&R)"},
    {9643, "Choose &Filtertype", "&Filtertyp wählen", "选择滤波器类型(&F)"},
    {9644, "&Initialize Filter", "Filter &initialisieren", "初始化滤波器(&I)"},
    {9645, "&Erase", "&Löschen", "删除(&E)"},
    {9646, "Set &Baseline", "&Nulllinie setzen", "设置基线(&B)"},
    {9647, "Alarm Status Reset &KR", "Alarmstatus zurücksetzen &KR", "复位 KR 警报状态(&K)"},
    {9648, "Alarm Status Reset &HCU", "Alarmstatus zurücksetzen &HCU", "复位 HCU 警报状态(&H)"},
    {9649, "&Sync now from PC", "Uhrzeit vom PC &übernehmen", "从 PC 同步时间(&S)"},
    {9650, "Change &Password", "&Passwort ändern", "更改密码(&P)"},
    {9651, "&Memory Managment", "&Speicherverwaltung", "存储管理(&M)"},
    {9652, "Run &Macro", "&Makro ausführen", "运行宏(&M)"},
    // Activate and Help.
    {9653, "KR %d", "KR %d", "KR %d"},
    {9654, "&Help Topics", "&Hilfethemen", "帮助主题(&H)"},
    {9655, "&About Tarvik...", "&Info über Tarvik...", "关于 Tarvik(&A)..."},
    {9656, "Brevik on the &Web", "Brevik im &Web", "Brevik 网站(&W)"},
    {9657, "&Support", "&Support", "技术支持(&S)"},
    {9658, "Check for a &new version", "Nach &neuer Version suchen", "检查新版本(&N)"},
    // Dialogs.
    {9659, "Password:", "Passwort:", "密码："},
    {9660, "OK", "OK", "确定"},
    {9661, "Cancel", "Abbrechen", "取消"},
    {9662, "&Yes", "&Ja", "是(&Y)"},
    {9663, "&No", "&Nein", "否(&N)"},
    {9664, "&Retry", "&Wiederholen", "重试(&R)"},
    {9665, "&Connect", "&Verbinden", "连接(&C)"},
    {9666, "&Details >>", "&Details >>", "详细信息(&D) >>"},
    {9667, "<< &Details", "<< &Details", "<< 详细信息(&D)"},
    {9668, "Events of KR %d", "Ereignisse von KR %d", "KR %d 的事件"},
    {9669, "Transfer single events of KR %d", "Einzelne Ereignisse von KR %d übertragen",
     "传输 KR %d 的单个事件"},
    {9670, "&Transfer", "&Übertragen", "传输(&T)"},
    {9671, "No.\tType\tDate\tTime\tPeak 1\tPeak 2\tPeak 3\tSamples",
     "Nr.\tTyp\tDatum\tZeit\tSpitze 1\tSpitze 2\tSpitze 3\tAbtastwerte",
     "编号\t类型\t日期\t时间\t峰值 1\t峰值 2\t峰值 3\t采样数"},
    {9672, "Communication program for the KR recorders and the HCU control unit",
     "Kommunikationsprogramm für die KR-Rekorder und die HCU-Steuereinheit",
     "KR 记录仪和 HCU 控制单元的通信程序"},
    {9673, "Version %s", "Version %s", "版本 %s"},
    {9674, "Toolbar", "Symbolleiste", "工具栏"},
    {9675, "Port: COM%d\nBaud rate: %d\nDial command: %s\nPhone number: %s",
     "Anschluss: COM%d\nBaudrate: %d\nWählbefehl: %s\nRufnummer: %s",
     "端口：COM%d\n波特率：%d\n拨号命令：%s\n电话号码：%s"},
    {9676, "The help page \"%s\" can not be found.\nReinstall Tarvik.",
     "Die Hilfeseite \"%s\" wurde nicht gefunden.\nInstallieren Sie Tarvik neu.",
     "找不到帮助页面 \"%s\"。\n请重新安装 Tarvik。"},
    {9677, "Tarvik can not open \"%s\".\nNo program to show it was found.",
     "Tarvik kann \"%s\" nicht öffnen.\nEs wurde kein Programm zum Anzeigen gefunden.",
     "Tarvik 无法打开 \"%s\"。\n找不到可以显示它的程序。"},
    {9678, "Create &Link File...", "&Verbindungsdatei erstellen...", "创建连接文件(&L)..."},
    {9679, "&Settings...", "&Einstellungen...", "设置(&S)..."},
    {32928, "Date", "Datum", "日期"},
    {32929, "Time", "Zeit", "时间"},
    {32930, "Task", "Aufgabe", "任务"},
});

}  // namespace

std::span<const kr::StringEntry> GuiStrings() {
  return kEntries;
}

}  // namespace tarvik
